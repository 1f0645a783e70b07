// Geometry of a soft page turn. Everything is in the "forward" frame: the
// spine is the line x = 0, the turning page lies on [0, W] x [0, H] and its
// outer corner C is lifted to the point P. A backward turn is the mirror
// image, drawn by mirroring the whole flip layer.

Q.geometry = (function () {
  function sub(a, b) { return { x: a.x - b.x, y: a.y - b.y }; }
  function dot(a, b) { return a.x * b.x + a.y * b.y; }
  function length(a) { return Math.sqrt(a.x * a.x + a.y * a.y); }

  // Paper does not stretch: the corner stays within a page width of the
  // spine point on its own edge, and within the page's diagonal of the
  // spine point on the other edge.
  function constrain(W, H, corner, p) {
    var near = { x: 0, y: corner.y };
    var far = { x: 0, y: H - corner.y };
    var diagonal = Math.sqrt(W * W + H * H);
    var q = { x: p.x, y: p.y };
    for (var pass = 0; pass < 3; pass++) {
      var d = sub(q, near), len = length(d);
      if (len > W) q = { x: near.x + d.x * W / len, y: near.y + d.y * W / len };
      d = sub(q, far); len = length(d);
      if (len > diagonal) q = { x: far.x + d.x * diagonal / len, y: far.y + d.y * diagonal / len };
    }
    return q;
  }

  // The part of a convex polygon where dot(X - m, n) * sign >= 0.
  function clip(polygon, m, n, sign) {
    var out = [];
    for (var i = 0; i < polygon.length; i++) {
      var a = polygon[i], b = polygon[(i + 1) % polygon.length];
      var da = dot(sub(a, m), n) * sign, db = dot(sub(b, m), n) * sign;
      if (da >= 0) out.push(a);
      if ((da >= 0) !== (db >= 0)) {
        var t = da / (da - db);
        out.push({ x: a.x + (b.x - a.x) * t, y: a.y + (b.y - a.y) * t, onFold: true });
      }
    }
    if (out.length < 3) return [];
    var twice = 0;
    for (var k = 0; k < out.length; k++) {
      var u = out[k], w = out[(k + 1) % out.length];
      twice += u.x * w.y - w.x * u.y;
    }
    return Math.abs(twice) > 1e-6 ? out : [];
  }

  function rect(W, H) {
    return [{ x: 0, y: 0 }, { x: W, y: 0 }, { x: W, y: H }, { x: 0, y: H }];
  }

  // The fold for the corner lifted to p (already constrained):
  //   front  - what still shows of the turning page (front-local points)
  //   flap   - the folded part, where it was (front-local points)
  //   back   - the same part on the back page (back-local points)
  //   matrix - CSS matrix that lays the back page, placed like the front
  //            page, over the fold: reflection across the fold line after
  //            the reflection across the spine
  //   fold   - the two ends of the fold line (front-local points) or null
  //   progress - 0 when flat, 1 when the page lies on the other side
  function fold(W, H, corner, p) {
    var progress = Q.clamp((W - p.x) / (2 * W), 0, 1);
    var cp = sub(corner, p), distance = length(cp);
    if (distance < 0.5) {
      return { front: rect(W, H), flap: [], back: [], matrix: null, fold: null, progress: 0, distance: 0 };
    }
    var n = { x: cp.x / distance, y: cp.y / distance };
    var m = { x: (corner.x + p.x) / 2, y: (corner.y + p.y) / 2 };
    var front = clip(rect(W, H), m, n, -1);
    var flap = clip(rect(W, H), m, n, 1);
    var a = 2 * n.x * n.x - 1, b = 2 * n.x * n.y, c = -2 * n.x * n.y, d = 1 - 2 * n.y * n.y;
    var mn = 2 * dot(m, n);
    var matrix = [a, b, c, d, mn * n.x - a * W, mn * n.y - b * W];
    var ends = flap.filter(function (v) { return v.onFold; });
    if (ends.length < 2) {
      ends = flap.filter(function (v) { return Math.abs(dot(sub(v, m), n)) < 1e-6 * (W + H); });
    }
    return {
      front: front,
      flap: flap,
      back: flap.map(function (v) { return { x: W - v.x, y: v.y }; }),
      matrix: matrix,
      fold: ends.length >= 2 ? [ends[0], ends[ends.length - 1]] : null,
      normal: n,
      progress: progress,
      distance: distance
    };
  }

  // A CSS matrix that lays a strip's left edge along the line a-b, its x
  // axis pointing to the side of "toward" and its y axis along the line.
  function stripMatrix(a, b, toward, length) {
    var dx = b.x - a.x, dy = b.y - a.y, len = Math.sqrt(dx * dx + dy * dy) || 1;
    var ux = dx / len, uy = dy / len;
    var nx = -uy, ny = ux;
    if ((toward.x - a.x) * nx + (toward.y - a.y) * ny < 0) { nx = -nx; ny = -ny; }
    var cx = (a.x + b.x) / 2 - ux * length / 2, cy = (a.y + b.y) / 2 - uy * length / 2;
    return [nx, ny, ux, uy, cx, cy];
  }

  function polygonCss(points) {
    if (!points.length) return 'polygon(0 0, 0 0, 0 0)';
    return 'polygon(' + points.map(function (v) {
      return v.x.toFixed(2) + 'px ' + v.y.toFixed(2) + 'px';
    }).join(', ') + ')';
  }

  function matrixCss(m) {
    return 'matrix(' + m.map(function (v) { return +v.toFixed(6); }).join(', ') + ')';
  }

  return {
    constrain: constrain,
    clip: clip,
    fold: fold,
    stripMatrix: stripMatrix,
    polygonCss: polygonCss,
    matrixCss: matrixCss
  };
})();
