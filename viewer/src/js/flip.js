// The turning leaf. Soft leaves fold along a line that follows the lifted
// corner; stiff ("isHardPage") leaves rotate about the spine in 3D. The
// layer sits at the spine; for backward turns it is mirrored, and the page
// pictures inside are mirrored back so they read the right way round.

Q.Flip = function (host, options) {
  this.W = options.W;
  this.H = options.H;
  this.hard = !!options.hard;
  this.mirrored = !!options.mirrored;
  this.corner = { x: this.W, y: options.corner === 'top' ? 0 : this.H };
  this.point = { x: this.corner.x, y: this.corner.y };
  this.progress = 0;

  var layer = Q.el('div', 'qv-flip' + (this.hard ? ' qv-flip-hard' : ' qv-flip-soft') +
    (this.mirrored ? ' qv-flip-mirrored' : ''));
  this.layer = layer;
  var front = options.front, back = options.back;
  front.classList.add('qv-turn-front');
  back.classList.add('qv-turn-back');
  [front, back].forEach(function (face) {
    face.style.width = options.W + 'px';
    face.style.height = options.H + 'px';
  });
  this.front = front;
  this.back = back;

  if (this.hard) {
    layer.style.perspective = Math.round(this.W * 5) + 'px';
    layer.style.perspectiveOrigin = '0px ' + Math.round(this.H / 2) + 'px';
    this.leaf = Q.el('div', 'qv-leaf');
    this.leaf.style.width = this.W + 'px';
    this.leaf.style.height = this.H + 'px';
    this.frontShade = Q.el('div', 'qv-shade');
    this.backShade = Q.el('div', 'qv-shade');
    front.appendChild(this.frontShade);
    back.appendChild(this.backShade);
    this.leaf.appendChild(front);
    this.leaf.appendChild(back);
    layer.appendChild(this.leaf);
  } else {
    this.underShadow = Q.el('div', 'qv-under-shadow');
    this.underShadow.style.width = this.W + 'px';
    this.underShadow.style.height = this.H + 'px';
    this.underStrip = Q.el('div', 'qv-strip qv-strip-under');
    this.underShadow.appendChild(this.underStrip);
    this.frontStrip = Q.el('div', 'qv-strip qv-strip-front');
    front.appendChild(this.frontStrip);
    this.backStrip = Q.el('div', 'qv-strip qv-strip-back');
    back.appendChild(this.backStrip);
    this.flapShadow = Q.el('div', 'qv-flap-shadow');
    this.flapShadow.appendChild(back);
    layer.appendChild(this.underShadow);
    layer.appendChild(front);
    layer.appendChild(this.flapShadow);
  }
  host.appendChild(layer);
  this.setPoint(this.point);
};

// Moves the lifted corner (forward-frame coordinates) and redraws.
Q.Flip.prototype.setPoint = function (p) {
  var W = this.W, H = this.H;
  var q = Q.geometry.constrain(W, H, this.corner, p);
  this.point = q;
  if (this.hard) {
    this.progress = Q.clamp((W - q.x) / (2 * W), 0, 1);
    var angle = this.progress * 180;
    this.leaf.style.transform = 'rotateY(' + (-angle).toFixed(3) + 'deg)';
    this.frontShade.style.opacity = (Math.min(angle, 90) / 90 * 0.35).toFixed(3);
    this.backShade.style.opacity = (Math.min(180 - angle, 90) / 90 * 0.35).toFixed(3);
    return;
  }
  var f = Q.geometry.fold(W, H, this.corner, q);
  this.progress = f.progress;
  var g = Q.geometry;
  this.front.style.clipPath = g.polygonCss(f.front);
  this.front.style.visibility = f.front.length ? 'visible' : 'hidden';
  if (!f.matrix || !f.fold) {
    this.back.style.visibility = 'hidden';
    this.underShadow.style.visibility = 'hidden';
    this.frontStrip.style.visibility = 'hidden';
    return;
  }
  this.back.style.visibility = 'visible';
  this.back.style.transform = g.matrixCss(f.matrix);
  this.back.style.clipPath = g.polygonCss(f.back);
  this.underShadow.style.visibility = 'visible';
  this.underShadow.style.clipPath = g.polygonCss(f.flap);
  this.frontStrip.style.visibility = 'visible';

  // Shadows grow with the lift and fade as the leaf lands.
  var lift = Math.min(f.distance, W) / W;
  var fade = 1 - Math.pow(f.progress, 4);
  var reach = Math.max(W, H) * 3;
  var a = f.fold[0], b = f.fold[1];
  this.placeStrip(this.underStrip, a, b, this.corner, W * (0.08 + 0.25 * lift), reach, 0.45 * fade);
  var cornerOnBack = { x: W - this.corner.x, y: this.corner.y };
  this.placeStrip(this.backStrip, { x: W - a.x, y: a.y }, { x: W - b.x, y: b.y }, cornerOnBack,
    W * (0.05 + 0.2 * lift), reach, 0.3 * fade);
  var away = { x: 2 * ((a.x + b.x) / 2) - this.corner.x, y: 2 * ((a.y + b.y) / 2) - this.corner.y };
  this.placeStrip(this.frontStrip, a, b, away, W * (0.03 + 0.1 * lift), reach, 0.25 * fade);
};

Q.Flip.prototype.placeStrip = function (strip, a, b, toward, width, length, opacity) {
  strip.style.width = Math.max(1, width).toFixed(1) + 'px';
  strip.style.height = length.toFixed(0) + 'px';
  strip.style.transform = Q.geometry.matrixCss(Q.geometry.stripMatrix(a, b, toward, length));
  strip.style.opacity = opacity.toFixed(3);
};

Q.Flip.prototype.destroy = function () {
  if (this.layer.parentNode) this.layer.parentNode.removeChild(this.layer);
};

// A tween of the lifted corner from one point to another; the corner rises a
// little on the way, as a hand lifts a page.
Q.animatePoint = function (from, to, duration, lift, onFrame, onDone) {
  var start = null, stopped = false, frame = 0;
  function ease(t) {
    return t < 0.5 ? 2 * t * t : 1 - Math.pow(-2 * t + 2, 2) / 2;
  }
  function at(t) {
    var e = ease(t);
    return { x: from.x + (to.x - from.x) * e, y: from.y + (to.y - from.y) * e + lift * Math.sin(Math.PI * e) };
  }
  function step(now) {
    if (stopped) return;
    if (start === null) start = now;
    var t = duration > 0 ? Math.min(1, (now - start) / duration) : 1;
    onFrame(at(t));
    if (t < 1) frame = requestAnimationFrame(step);
    else { stopped = true; onDone(); }
  }
  frame = requestAnimationFrame(step);
  return {
    // Jumps to the end at once.
    finish: function () {
      if (stopped) return;
      stopped = true;
      cancelAnimationFrame(frame);
      onFrame(to);
      onDone();
    },
    cancel: function () {
      stopped = true;
      cancelAnimationFrame(frame);
    }
  };
};
