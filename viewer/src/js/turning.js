// Turning: the leaf between two spreads, played by an animation or moved by
// the reader's finger, and the sound it makes.

// Sets up the leaf for a turn to the spread "to": the pages that stay, the
// page revealed under the leaf, and the leaf's two faces. With two pages the
// leaf turns about the spine, mirrored when the left-hand page turns. With
// one page the leaf is hinged on the page's spine-side edge: a forward turn
// lifts the current page away, a backward turn brings the previous page
// back (the same turn played in reverse).
Q.Viewer.prototype.beginTurn = function (to, corner) {
  var from = this.spreadIndex;
  var cur = this.spreads[from], tgt = this.spreads[to];
  var onward = to > from;
  var rightHand = onward !== this.rtl;   // the right-hand page turns
  var frontPos, backPos, left, right, mirrored, reverse, hinge;
  if (this.double) {
    frontPos = rightHand ? cur.right : cur.left;
    backPos = rightHand ? tgt.left : tgt.right;
    left = rightHand ? cur.left : tgt.left;
    right = rightHand ? tgt.right : cur.right;
    mirrored = !rightHand;
    reverse = false;
    hinge = this.spineX;
  } else {
    frontPos = onward ? cur.right : tgt.right;
    backPos = -1;
    left = -1;
    right = onward ? tgt.right : cur.right;
    mirrored = this.rtl;
    reverse = !onward;
    hinge = this.rtl ? this.W : 0;
  }
  this.fillSlot(this.leftSlot, left, false);
  this.fillSlot(this.rightSlot, right, false);
  var pages = this.book.pages;
  var hard = (frontPos >= 0 && pages[frontPos].hard) || (backPos >= 0 && pages[backPos].hard);
  var host = Q.el('div', 'qv-flip-host');
  host.style.left = hinge + 'px';
  this.bookEl.appendChild(host);
  var flip = new Q.Flip(host, {
    W: this.W, H: this.H, hard: hard, mirrored: mirrored, corner: corner,
    front: Q.makeFace(this, frontPos, false), back: Q.makeFace(this, backPos, false)
  });
  var turn = {
    from: from, to: to, flip: flip, host: host, rightHand: rightHand, mirrored: mirrored, reverse: reverse,
    scale: this.double ? 1 : 2,
    start: reverse ? { x: -this.W, y: flip.corner.y } : { x: flip.corner.x, y: flip.corner.y },
    end: reverse ? { x: flip.corner.x, y: flip.corner.y } : { x: -this.W, y: flip.corner.y },
    shiftFrom: this.shiftFor(cur), shiftTo: this.shiftFor(tgt), dragging: false, animation: null
  };
  if (reverse) flip.setPoint(turn.start);
  this.turn = turn;
  this.root.setAttribute('data-turning', hard ? 'hard' : 'soft');
  return turn;
};

// How far the turn has gone, from 0 at its start to 1 at its end.
Q.turnFraction = function (turn) {
  return turn.reverse ? 1 - turn.flip.progress : turn.flip.progress;
};

Q.Viewer.prototype.movePoint = function (turn, p) {
  turn.flip.setPoint(p);
  this.setShift(turn.shiftFrom + (turn.shiftTo - turn.shiftFrom) * Q.turnFraction(turn));
};

// Animates the corner to the turn's end (complete) or back to its start.
Q.Viewer.prototype.playTurn = function (turn, complete) {
  var self = this, flip = turn.flip;
  var from = flip.point;
  var to = complete ? turn.end : turn.start;
  var share = Math.abs(to.x - from.x) / (2 * flip.W);
  var fresh = from.x === turn.start.x && from.y === turn.start.y;
  var lift = fresh ? (flip.corner.y > 0 ? -1 : 1) * flip.H * 0.12 : 0;
  var duration = this.duration * Math.max(0.35, Math.min(1, share));
  turn.dragging = false;
  turn.destination = complete ? turn.to : turn.from;
  if (complete) this.turnSound(turn);
  turn.animation = Q.animatePoint(from, to, duration, lift, function (p) {
    self.movePoint(turn, p);
  }, function () {
    self.endTurn(turn, complete);
  });
};

Q.Viewer.prototype.endTurn = function (turn, complete) {
  if (this.turn !== turn) return;
  this.turn = null;
  turn.host.remove();
  this.root.removeAttribute('data-turning');
  if (complete) this.spreadIndex = turn.to;
  this.render();
};

// Finishes a turn at once (a new command arrived, or the window changed).
Q.Viewer.prototype.endTurnNow = function () {
  var turn = this.turn;
  if (!turn) return;
  if (turn.peek) {
    if (turn.animation) turn.animation.cancel();
    this.endTurn(turn, false);
  } else if (turn.animation) turn.animation.finish();
  else this.endTurn(turn, false);
};

// Once per turn that really happens (not for a corner lifted on hover).
Q.Viewer.prototype.turnSound = function (turn) {
  if (turn.sounded) return;
  turn.sounded = true;
  this.playSound();
};

Q.Viewer.prototype.playSound = function () {
  if (!this.soundUrl || !this.soundOn) return;
  if (!this.sound) {
    this.sound = new Audio(this.soundUrl);
    this.sound.preload = 'auto';
  }
  try {
    this.sound.currentTime = 0;
    var played = this.sound.play();
    if (played && played.catch) played.catch(function () {});
  } catch (e) { /* no sound */ }
};

// The reader's sound choice, kept in the browser for the next visit.
Q.SOUND_KEY = 'quire-viewer-sound';

Q.storedSound = function () {
  try {
    return window.localStorage.getItem(Q.SOUND_KEY) !== 'off';
  } catch (e) {
    return true;
  }
};

Q.Viewer.prototype.toggleSound = function () {
  this.soundOn = !this.soundOn;
  try {
    window.localStorage.setItem(Q.SOUND_KEY, this.soundOn ? 'on' : 'off');
  } catch (e) { /* kept for this visit only */ }
  if (!this.soundOn && this.sound) this.sound.pause();
  if (this.toolbar) this.toolbar.update();
};
