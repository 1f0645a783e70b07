// Pointer and keyboard: drag a corner or swipe to turn, click or tap a
// page's outer part to turn, drag to pan when zoomed, keys for everything.

Q.Input = function (viewer) {
  this.viewer = viewer;
  this.gesture = null;
  var stage = viewer.stage, self = this;
  stage.addEventListener('pointerdown', function (e) { self.down(e); });
  stage.addEventListener('pointermove', function (e) { self.move(e); });
  stage.addEventListener('pointerup', function (e) { self.up(e, false); });
  stage.addEventListener('pointercancel', function (e) { self.up(e, true); });
  stage.addEventListener('lostpointercapture', function (e) { self.up(e, true); });
  stage.addEventListener('pointerleave', function (e) { if (!self.gesture) self.unpeek(); });
  stage.addEventListener('dragstart', function (e) { e.preventDefault(); });
  document.addEventListener('keydown', function (e) { self.key(e); });
};

Q.Input.prototype.bookPoint = function (e) {
  var v = this.viewer, r = v.bookEl.getBoundingClientRect();
  return { x: e.clientX - r.left, y: e.clientY - r.top, inside: e.clientX >= r.left && e.clientX <= r.right &&
    e.clientY >= r.top && e.clientY <= r.bottom };
};

// Which side a point is on and how far out: 0 at the spine, 1 at the edge.
Q.Input.prototype.side = function (p) {
  var v = this.viewer;
  if (!v.double) {
    var mid = v.W / 2;
    return { right: p.x >= mid, out: Math.abs(p.x - mid) / mid };
  }
  var x = p.x - v.spineX;
  return { right: x >= 0, out: Math.abs(x) / v.W };
};

Q.Input.prototype.down = function (e) {
  var v = this.viewer;
  if (e.button !== 0 || this.gesture) return;
  if (e.target.closest && e.target.closest('.qv-link, button, input, a, .qv-panel')) return;
  this.gesture = {
    id: e.pointerId, x: e.clientX, y: e.clientY, t: e.timeStamp, book: this.bookPoint(e),
    pan: v.zoomLevel > 0, scrollLeft: v.stage.scrollLeft, scrollTop: v.stage.scrollTop,
    turn: null, moved: false, vx: 0, lastX: e.clientX, lastT: e.timeStamp
  };
  try { v.stage.setPointerCapture(e.pointerId); } catch (err) { /* not capturable */ }
};

Q.Input.prototype.move = function (e) {
  var v = this.viewer, g = this.gesture;
  if (!g) {
    if (e.pointerType === 'mouse' && e.buttons === 0) this.hover(e);
    return;
  }
  if (e.pointerId !== g.id) return;
  var dx = e.clientX - g.x, dy = e.clientY - g.y;
  if (!g.moved && Math.abs(dx) < 6 && Math.abs(dy) < 6) return;
  g.moved = true;
  if (g.pan) {
    v.stage.scrollLeft = g.scrollLeft - dx;
    v.stage.scrollTop = g.scrollTop - dy;
    return;
  }
  if (!g.turn && !g.dead) {
    if (Math.abs(dx) < Math.abs(dy) * 0.8) return;
    var rightHand = dx < 0;
    var target = v.spreadIndex + (rightHand !== v.rtl ? 1 : -1);
    var peek = v.turn && v.turn.peek ? v.turn : null;
    if (peek && peek.to === target && peek.rightHand === rightHand) {
      if (peek.animation) peek.animation.cancel();
      peek.peek = false;
      g.turn = peek;
    } else {
      this.unpeekNow();
      if (target < 0 || target >= v.spreads.length || v.turn) {
        g.dead = true;
        return;
      }
      g.turn = v.beginTurn(target, g.book.y < v.H * 0.3 ? 'top' : 'bottom');
    }
    g.turn.dragging = true;
    v.turnSound(g.turn);
    if (v.autoFlipOn) v.setAutoFlip(false);
    g.origin = { x: g.turn.flip.point.x, y: g.turn.flip.point.y };
    g.x = e.clientX;
    g.y = e.clientY;
    dx = 0;
    dy = 0;
  }
  if (!g.turn) return;
  var dt = Math.max(1, e.timeStamp - g.lastT);
  g.vx = 0.7 * ((e.clientX - g.lastX) / dt) + 0.3 * g.vx;
  g.lastX = e.clientX;
  g.lastT = e.timeStamp;
  var sign = (g.turn.mirrored ? -1 : 1) * g.turn.scale;
  v.movePoint(g.turn, { x: g.origin.x + dx * sign, y: g.origin.y + dy });
};

Q.Input.prototype.up = function (e, cancelled) {
  var v = this.viewer, g = this.gesture;
  if (!g || e.pointerId !== g.id) return;
  this.gesture = null;
  try { v.stage.releasePointerCapture(e.pointerId); } catch (err) { /* already released */ }
  if (g.turn) {
    // Finger speed along the way the turn goes, in pixels per millisecond.
    var toward = g.vx * (g.turn.mirrored ? 1 : -1) * (g.turn.reverse ? -1 : 1);
    var complete = !cancelled && (Q.turnFraction(g.turn) > 0.5 || toward > 0.45);
    v.playTurn(g.turn, complete);
    return;
  }
  if (cancelled || g.moved || g.pan || !g.book.inside) return;
  var side = this.side(g.book);
  if (side.out < 0.2) return;
  var peek = v.turn && v.turn.peek ? v.turn : null;
  if (peek && peek.rightHand === side.right) {
    peek.peek = false;
    if (peek.animation) peek.animation.cancel();
    v.playTurn(peek, true);
    return;
  }
  this.unpeekNow();
  v.turnSide(side.right);
};

// A mouse resting near an outer corner lifts it a little.
Q.Input.prototype.hover = function (e) {
  var v = this.viewer;
  if (v.zoomLevel > 0 || (v.turn && !v.turn.peek)) return;
  var p = this.bookPoint(e);
  var side = this.side(p);
  var near = p.inside && v.double && side.out > 0.85 && (p.y > v.H * 0.85 || p.y < v.H * 0.15);
  var turn = v.turn;
  if (!near) {
    if (turn && turn.peek) this.unpeek();
    return;
  }
  var top = p.y < v.H / 2;
  if (turn && turn.peek && turn.rightHand === side.right && turn.corner === (top ? 'top' : 'bottom')) return;
  this.unpeekNow();
  var target = v.spreadIndex + (side.right !== v.rtl ? 1 : -1);
  if (target < 0 || target >= v.spreads.length) return;
  turn = v.beginTurn(target, top ? 'top' : 'bottom', true);
  turn.peek = true;
  turn.corner = top ? 'top' : 'bottom';
  var c = turn.flip.corner, d = Math.min(v.W, v.H) * 0.1;
  turn.animation = Q.animatePoint(turn.flip.point, { x: c.x - d * 1.3, y: c.y + (top ? d : -d) * 0.6 }, 220, 0,
    function (pt) { v.movePoint(turn, pt); }, function () { turn.animation = null; });
};

Q.Input.prototype.unpeek = function () {
  var v = this.viewer, turn = v.turn;
  if (!turn || !turn.peek || turn.leaving) return;
  turn.leaving = true;
  if (turn.animation) turn.animation.cancel();
  turn.animation = Q.animatePoint(turn.flip.point, turn.flip.corner, 180, 0,
    function (pt) { v.movePoint(turn, pt); }, function () { v.endTurn(turn, false); });
};

Q.Input.prototype.unpeekNow = function () {
  var v = this.viewer, turn = v.turn;
  if (!turn || !turn.peek) return;
  if (turn.animation) turn.animation.cancel();
  v.endTurn(turn, false);
};

Q.Input.prototype.key = function (e) {
  var v = this.viewer;
  if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey) return;
  var target = e.target;
  if (target && (target.tagName === 'INPUT' || target.tagName === 'TEXTAREA' || target.isContentEditable)) return;
  var inPanel = target && target.closest && target.closest('.qv-panel');
  var handled = true;
  switch (e.key) {
    case 'ArrowRight': if (inPanel) handled = false; else v.turnSide(true); break;
    case 'ArrowLeft': if (inPanel) handled = false; else v.turnSide(false); break;
    case 'PageDown': v.next(); break;
    case 'PageUp': v.previous(); break;
    case 'Home': if (inPanel) handled = false; else v.first(); break;
    case 'End': if (inPanel) handled = false; else v.last(); break;
    case '+': case '=': v.zoomBy(1); break;
    case '-': case '_': v.zoomBy(-1); break;
    case 'Escape':
      if (v.panel) v.closePanel();
      else if (v.zoomLevel > 0) v.zoomBy(-v.zoomLevel);
      else handled = false;
      break;
    default: handled = false;
  }
  if (handled) e.preventDefault();
};
