// Pointers on the book: drag a corner or swipe to turn, click or tap a
// page's outer part to turn, a mouse near a corner lifts it. Zoomed, one
// finger or the mouse moves the page around and never turns it; two fingers
// pinch to zoom; a double tap zooms to the tapped point and back. A mouse
// pressed on the page's words selects them instead.

Q.DOUBLE_TAP_MS = 300;
Q.DOUBLE_TAP_ZOOM = 2.5;

Q.Input = function (viewer) {
  this.viewer = viewer;
  this.gesture = null;
  this.pinch = null;
  this.pointers = {};
  this.lastTap = null;
  var stage = viewer.stage, self = this;
  // Touch screens get finger-sized link areas, from the start where the
  // browser says it has one, else from the first touch.
  if (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) viewer.root.classList.add('qv-touch');
  stage.addEventListener('pointerdown', function (e) { self.down(e); });
  stage.addEventListener('pointermove', function (e) { self.move(e); });
  stage.addEventListener('pointerup', function (e) { self.up(e, false); });
  stage.addEventListener('pointercancel', function (e) { self.up(e, true); });
  stage.addEventListener('lostpointercapture', function (e) { if (self.gesture) self.up(e, true); });
  stage.addEventListener('pointerleave', function () { if (!self.gesture) self.unpeek(); });
  stage.addEventListener('dragstart', function (e) { e.preventDefault(); });
};

Q.Input.prototype.dispose = function () {
  clearTimeout(this.tapTimer);
  if (this.pinch && this.pinch.frame) cancelAnimationFrame(this.pinch.frame);
  this.pinch = null;
  this.gesture = null;
};

Q.Input.prototype.bookPoint = function (e) {
  var r = this.viewer.bookEl.getBoundingClientRect();
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

Q.Input.prototype.count = function () {
  return Object.keys(this.pointers).length;
};

Q.Input.prototype.down = function (e) {
  var v = this.viewer;
  if (e.pointerType === 'touch') v.root.classList.add('qv-touch');
  if (e.target.closest && e.target.closest('.qv-panel')) return;
  if (e.pointerType !== 'mouse') this.pointers[e.pointerId] = { x: e.clientX, y: e.clientY };
  if (this.count() >= 2) return this.startPinch();
  if (e.button !== 0 || this.gesture || this.pinch) return;
  if (e.target.closest && e.target.closest('.qv-link, button, input, a')) return;
  var onWords = e.pointerType === 'mouse' && e.target.closest && e.target.closest('.qv-text-line');
  this.gesture = {
    id: e.pointerId, type: e.pointerType, x: e.clientX, y: e.clientY, t: e.timeStamp, book: this.bookPoint(e),
    pan: v.zoom > 1.001 && !onWords, select: !!onWords, scrollLeft: v.stage.scrollLeft, scrollTop: v.stage.scrollTop,
    turn: null, moved: false, vx: 0, lastX: e.clientX, lastT: e.timeStamp
  };
  if (onWords) return;   // the browser selects the words
  try { v.stage.setPointerCapture(e.pointerId); } catch (err) { /* not capturable */ }
};

Q.Input.prototype.move = function (e) {
  var v = this.viewer, g = this.gesture;
  if (this.pointers[e.pointerId]) this.pointers[e.pointerId] = { x: e.clientX, y: e.clientY };
  if (this.pinch) return this.movePinch();
  if (!g) {
    if (e.pointerType === 'mouse' && e.buttons === 0) this.hover(e);
    return;
  }
  if (e.pointerId !== g.id) return;
  var dx = e.clientX - g.x, dy = e.clientY - g.y;
  if (!g.moved && Math.abs(dx) < 6 && Math.abs(dy) < 6) return;
  g.moved = true;
  if (g.select) return;
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
  delete this.pointers[e.pointerId];
  if (this.pinch) {
    if (this.count() < 2) this.endPinch();
    return;
  }
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
  if (cancelled || g.moved || g.dead) return;
  if (g.select) {
    var selection = window.getSelection && window.getSelection();
    if (selection && !selection.isCollapsed) return;
  }
  if (g.type !== 'mouse') return this.tap(g, e);
  this.click(g);
};

// A click or a tap on a page's outer part turns it; zoomed, it does not.
Q.Input.prototype.click = function (g) {
  var v = this.viewer;
  if (v.zoom > 1.001 || !g.book.inside) return;
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

// A tap waits a moment to see whether a second one follows: two taps zoom
// to the tapped point, or back to the whole page.
Q.Input.prototype.tap = function (g, e) {
  var v = this.viewer, self = this, last = this.lastTap;
  clearTimeout(this.tapTimer);
  if (last && e.timeStamp - last.t < Q.DOUBLE_TAP_MS && Math.abs(e.clientX - last.x) < 40 &&
      Math.abs(e.clientY - last.y) < 40) {
    this.lastTap = null;
    if (v.zoom > 1.001) v.zoomTo(1, e.clientX, e.clientY);
    else v.zoomTo(Q.DOUBLE_TAP_ZOOM, e.clientX, e.clientY);
    return;
  }
  this.lastTap = { t: e.timeStamp, x: e.clientX, y: e.clientY };
  this.tapTimer = setTimeout(function () {
    self.lastTap = null;
    self.click(g);
  }, Q.DOUBLE_TAP_MS);
};

// Two fingers: the book grows with their spread, the point between them
// stays under them, and a turn that one finger had begun goes back.
Q.Input.prototype.startPinch = function () {
  var v = this.viewer, g = this.gesture;
  clearTimeout(this.tapTimer);
  this.lastTap = null;
  if (g) {
    this.gesture = null;
    try { v.stage.releasePointerCapture(g.id); } catch (err) { /* already released */ }
    if (g.turn) v.playTurn(g.turn, false);
  }
  if (v.turn) v.endTurnNow();
  var f = this.fingers();
  var book = v.bookEl.getBoundingClientRect();
  this.pinch = { distance: Math.max(10, f.distance), zoom: v.zoom,
    fx: (f.x - book.left) / book.width, fy: (f.y - book.top) / book.height, frame: 0 };
};

Q.Input.prototype.fingers = function () {
  var keys = Object.keys(this.pointers), a = this.pointers[keys[0]], b = this.pointers[keys[1]];
  return { x: (a.x + b.x) / 2, y: (a.y + b.y) / 2, distance: Math.sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y)) };
};

Q.Input.prototype.movePinch = function () {
  var self = this, p = this.pinch;
  if (this.count() < 2 || p.frame) return;
  p.frame = requestAnimationFrame(function () {
    p.frame = 0;
    if (self.pinch !== p || self.count() < 2) return;
    var v = self.viewer, f = self.fingers();
    v.zoom = Q.clamp(p.zoom * f.distance / p.distance, 1, Q.ZOOM_MAX);
    v.layout(v.spreads[v.spreadIndex].low, true);
    v.keepPoint(p.fx, p.fy, f.x, f.y);
  });
};

Q.Input.prototype.endPinch = function () {
  var v = this.viewer, p = this.pinch;
  if (p.frame) cancelAnimationFrame(p.frame);
  this.pinch = null;
  // The finger still down moves the page and never turns it.
  var keys = Object.keys(this.pointers);
  if (keys.length) {
    var rest = this.pointers[keys[0]];
    this.gesture = { id: Number(keys[0]), type: 'touch', x: rest.x, y: rest.y, book: { inside: false }, pan: true,
      scrollLeft: v.stage.scrollLeft, scrollTop: v.stage.scrollTop, moved: true, dead: true };
  }
  // Lays the book out afresh at the pinched size, the same part of it in
  // the middle.
  v.zoomTo(v.zoom < 1.05 ? 1 : v.zoom);
};

// A mouse resting near an outer corner lifts it a little.
Q.Input.prototype.hover = function (e) {
  var v = this.viewer;
  if (v.zoom > 1.001 || (v.turn && !v.turn.peek)) return;
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
