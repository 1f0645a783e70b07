// The reader: lays the book out, shows the current spread and turns pages.

Q.ZOOM_LEVELS = [1, 1.5, 2, 3, 4];

Q.Viewer = function (root, book) {
  var s = book.settings;
  this.root = root;
  this.book = book;
  this.t = Q.translator(s.text('languageSetting', 'en'));
  this.rtl = s.bool('rightToLeft', false);
  this.pageMode = s.choice('pageMode', ['auto', 'double', 'single'], 'auto');
  this.duration = s.integer('flipDuration', 700, 0, 5000);
  if (window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches) this.duration = 0;
  var pw = s.number('pageWidth', 600, 1, 100000), ph = s.number('pageHeight', 800, 1, 100000);
  this.aspect = Q.clamp(pw / ph, 0.2, 5);
  this.aspectFromPicture = false;
  this.zoomLevel = 0;
  this.spreads = [];
  this.spreadIndex = 0;
  this.double = false;
  this.turn = null;
  this.panel = null;
  this.pictures = new Q.PictureCache(24);
  this.autoFlipOn = false;
  this.autoTimer = 0;

  this.applyLook();
  this.buildDom();
  this.input = new Q.Input(this);

  var fromHash = Q.pageFromHash(location.hash);
  var start = fromHash !== null ? fromHash : s.integer('startPage', 1, 1, book.pages.length);
  this.layout(Q.clamp(start, 1, book.pages.length) - 1);
  root.setAttribute('data-state', 'ready');
  if (s.bool('autoFlip', false)) this.setAutoFlip(true);

  var self = this;
  window.addEventListener('resize', function () { self.relayout(); });
  window.addEventListener('hashchange', function () {
    var n = Q.pageFromHash(location.hash);
    if (n !== null && self.visiblePositions().indexOf(n - 1) < 0) self.goTo(n - 1, true);
  });
  ['fullscreenchange', 'webkitfullscreenchange'].forEach(function (name) {
    document.addEventListener(name, function () { self.relayout(); self.toolbar && self.toolbar.update(); });
  });
};

// Colours, background and font from the template's values.
Q.Viewer.prototype.applyLook = function () {
  var s = this.book.settings, style = this.root.style;
  function colour(variable, key) {
    var c = Q.parseColour(s.text(key));
    if (c) style.setProperty(variable, c);
  }
  colour('--qv-background', 'backgroundColor');
  colour('--qv-bar', 'toolbarColor');
  colour('--qv-icon', 'toolbarIconColor');
  colour('--qv-accent', 'accentColor');
  var font = Q.safeFontFamily(s.text('fontFamily'));
  if (font) style.setProperty('--qv-font', font);
  var picture = Q.extFileUrl(s.text('backgroundImage'), Q.IMAGE_EXTENSIONS);
  if (picture) {
    var mode = s.choice('backgroundMode', ['cover', 'tile', 'center'], 'cover');
    var bg = this.root.querySelector('.qv-backdrop');
    bg.style.backgroundImage = 'url("' + picture + '")';
    bg.classList.add('qv-backdrop-' + mode);
  }
  if (!s.bool('pageShadow', true)) this.root.classList.add('qv-no-shadow');
  this.root.classList.toggle('qv-rtl', this.rtl);
  this.root.setAttribute('lang', Q.languageFor(s.text('languageSetting', 'en')));
  document.documentElement.setAttribute('lang', Q.languageFor(s.text('languageSetting', 'en')));
  var sound = Q.extFileUrl(s.text('flipSound'), Q.SOUND_EXTENSIONS);
  this.soundUrl = sound;
};

Q.Viewer.prototype.buildDom = function () {
  var root = this.root, t = this.t;
  var status = root.querySelector('.qv-status');
  if (status) status.remove();
  this.stage = Q.el('main', 'qv-stage', { tabindex: '0', 'aria-label': t('book'), 'aria-roledescription': t('book') });
  this.canvas = Q.el('div', 'qv-canvas');
  this.bookEl = Q.el('div', 'qv-book');
  this.leftSlot = Q.el('div', 'qv-slot qv-slot-left');
  this.rightSlot = Q.el('div', 'qv-slot qv-slot-right');
  this.bookEl.appendChild(this.leftSlot);
  this.bookEl.appendChild(this.rightSlot);
  this.canvas.appendChild(this.bookEl);
  this.stage.appendChild(this.canvas);
  this.live = Q.el('div', 'qv-live', { 'aria-live': 'polite', 'aria-atomic': 'true' });
  var showBar = this.book.settings.bool('showToolbar', true);
  var top = this.book.settings.choice('toolbarPosition', ['bottom', 'top'], 'bottom') === 'top';
  root.classList.toggle('qv-bar-top', top);
  root.classList.toggle('qv-no-bar', !showBar);
  if (showBar) {
    this.toolbar = new Q.Toolbar(this);
    if (this.rtl) this.toolbar.el.classList.add('qv-rtl');
  }
  if (showBar && top) root.appendChild(this.toolbar.el);
  root.appendChild(this.stage);
  if (showBar && !top) root.appendChild(this.toolbar.el);
  root.appendChild(this.live);
};

Q.Viewer.prototype.narrow = function () {
  return this.stageWidth < 700;
};

// Chooses one or two pages and the page size for the space there is, then
// shows the spread holding the given page.
Q.Viewer.prototype.layout = function (position) {
  var rect = this.stage.getBoundingClientRect();
  var sw = Math.max(100, rect.width), sh = Math.max(100, rect.height);
  this.stageWidth = sw;
  this.stageHeight = sh;
  var double = this.pageMode === 'double' || (this.pageMode === 'auto' && sw >= 640 && sw >= sh * 0.95);
  if (this.book.pages.length === 1) double = false;
  var margin = sw < 520 ? 10 : Math.round(Math.min(40, sw * 0.03));
  var availW = sw - 2 * margin, availH = sh - 2 * margin;
  var cols = double ? 2 : 1;
  var W = Math.min(availW / cols, availH * this.aspect);
  var H = W / this.aspect;
  this.baseW = W;
  this.baseH = H;
  var zoom = Q.ZOOM_LEVELS[this.zoomLevel];
  this.W = Math.max(20, Math.floor(W * zoom));
  this.H = Math.max(20, Math.floor(H * zoom));
  this.margin = margin;
  if (double !== this.double || !this.spreads.length) {
    this.double = double;
    this.spreads = Q.buildSpreads(this.book.pages.length, double, this.rtl);
  }
  this.spreadIndex = Q.spreadIndexOf(this.spreads, position);
  this.root.setAttribute('data-mode', double ? 'double' : 'single');
  this.root.classList.toggle('qv-zoomed', this.zoomLevel > 0);

  var bookW = cols * this.W;
  this.spineX = double ? this.W : 0;
  var canvasW = Math.max(sw, bookW + 2 * margin), canvasH = Math.max(sh, this.H + 2 * margin);
  this.canvas.style.width = canvasW + 'px';
  this.canvas.style.height = canvasH + 'px';
  var b = this.bookEl.style;
  b.width = bookW + 'px';
  b.height = this.H + 'px';
  b.left = Math.round((canvasW - bookW) / 2) + 'px';
  b.top = Math.round((canvasH - this.H) / 2) + 'px';
  this.leftSlot.style.left = (this.spineX - this.W) + 'px';
  this.rightSlot.style.left = this.spineX + 'px';
  [this.leftSlot, this.rightSlot].forEach(function (slot) {
    slot.style.width = this.W + 'px';
    slot.style.height = this.H + 'px';
  }, this);
  this.render();
};

Q.Viewer.prototype.relayout = function () {
  if (this.turn) this.endTurnNow();
  this.layout(this.spreads[this.spreadIndex].low);
};

Q.Viewer.prototype.shiftFor = function (spread) {
  if (!this.double) return 0;
  if (spread.left < 0 && spread.right >= 0) return -this.W / 2;
  if (spread.right < 0 && spread.left >= 0) return this.W / 2;
  return 0;
};

Q.Viewer.prototype.setShift = function (shift) {
  this.bookEl.style.transform = shift ? 'translateX(' + shift.toFixed(2) + 'px)' : '';
};

Q.Viewer.prototype.fillSlot = function (slot, position, withLinks) {
  Q.clearChildren(slot);
  slot.classList.toggle('qv-filled', position >= 0);
  if (position >= 0) slot.appendChild(Q.makeFace(this, position, withLinks));
};

// Shows the current spread at rest.
Q.Viewer.prototype.render = function () {
  var spread = this.spreads[this.spreadIndex];
  this.fillSlot(this.leftSlot, spread.left, true);
  this.fillSlot(this.rightSlot, spread.right, true);
  this.setShift(this.shiftFor(spread));
  this.root.setAttribute('data-spread', this.spreadLabel());
  if (this.toolbar) this.toolbar.update();
  if (this.panel) this.panel.update();
  this.live.textContent = this.t(spread.low === spread.high ? 'pageStatus' : 'pagesStatus', this.spreadLabel(),
    this.book.pages.length);
  this.keepHash();
  this.prefetch();
};

Q.Viewer.prototype.spreadLabel = function () {
  var s = this.spreads[this.spreadIndex];
  return s.low === s.high ? String(s.low + 1) : (s.low + 1) + '-' + (s.high + 1);
};

Q.Viewer.prototype.visiblePositions = function () {
  var s = this.spreads[this.spreadIndex];
  return s.low === s.high ? [s.low] : [s.low, s.high];
};

Q.Viewer.prototype.keepHash = function () {
  var hash = '#page=' + (this.spreads[this.spreadIndex].low + 1);
  if (location.hash === hash) return;
  try {
    history.replaceState(history.state, '', hash);
  } catch (e) {
    try { location.replace(hash); } catch (e2) { /* the address stays as it is */ }
  }
};

// Fetches the pictures of the two spreads on either side, nearest first.
Q.Viewer.prototype.prefetch = function () {
  var order = [0, 1, -1, 2, -2];
  var urls = [];
  order.forEach(function (d) {
    var s = this.spreads[this.spreadIndex + d];
    if (!s) return;
    [s.low, s.high].forEach(function (p) {
      var url = p >= 0 && this.book.pages[p].url;
      if (url && urls.indexOf(url) < 0) urls.push(url);
    }, this);
  }, this);
  // Oldest first, so the nearest pages end up most recently wanted.
  for (var i = urls.length - 1; i >= 0; i--) this.pictures.want(urls[i]);
};

Q.Viewer.prototype.pictureLoaded = function (img) {
  if (!this.firstPictureShown) {
    this.firstPictureShown = true;
    // For measuring how soon a reader sees the book.
    if (window.performance && performance.mark) performance.mark('quire-first-page');
  }
  if (this.aspectFromPicture || !img.naturalWidth || !img.naturalHeight) return;
  this.aspectFromPicture = true;
  var ratio = img.naturalWidth / img.naturalHeight;
  if (Math.abs(ratio - this.aspect) / this.aspect > 0.01) {
    this.aspect = Q.clamp(ratio, 0.2, 5);
    if (!this.turn) this.relayout();
  }
};

// Navigation in reading order.
Q.Viewer.prototype.goTo = function (position, animate) {
  this.goToSpread(Q.spreadIndexOf(this.spreads, Q.clamp(position, 0, this.book.pages.length - 1)), animate);
};
Q.Viewer.prototype.next = function () { this.goToSpread(this.settledIndex() + 1, true); };
Q.Viewer.prototype.previous = function () { this.goToSpread(this.settledIndex() - 1, true); };

// Where the book will rest once the running turn has ended.
Q.Viewer.prototype.settledIndex = function () {
  var turn = this.turn;
  return turn && !turn.peek && turn.destination !== undefined ? turn.destination : this.spreadIndex;
};
Q.Viewer.prototype.first = function () { this.goToSpread(0, true); };
Q.Viewer.prototype.last = function () { this.goToSpread(this.spreads.length - 1, true); };

// Turning the right-hand page (forward) or the left-hand page (backward),
// whatever the reading direction.
Q.Viewer.prototype.turnSide = function (rightHand) {
  if (rightHand !== this.rtl) this.next();
  else this.previous();
};

Q.Viewer.prototype.goToSpread = function (index, animate) {
  if (this.autoFlipOn && !this.autoStepping) this.setAutoFlip(false);
  if (this.turn) {
    if (this.turn.dragging) return;
    this.endTurnNow();
  }
  if (index < 0 || index >= this.spreads.length || index === this.spreadIndex) return;
  if (!animate) {
    this.spreadIndex = index;
    this.render();
    return;
  }
  var turn = this.beginTurn(index, 'bottom');
  this.playTurn(turn, true);
};

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
  if (!this.soundUrl) return;
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

// Zoom: the book is laid out larger rather than scaled, so the pictures are
// drawn from their full resolution.
Q.Viewer.prototype.zoomBy = function (step) {
  var level = Q.clamp(this.zoomLevel + step, 0, Q.ZOOM_LEVELS.length - 1);
  if (level === this.zoomLevel) return;
  if (this.turn) this.endTurnNow();
  var stage = this.stage;
  var cx = (stage.scrollLeft + stage.clientWidth / 2) / Math.max(1, this.canvas.offsetWidth);
  var cy = (stage.scrollTop + stage.clientHeight / 2) / Math.max(1, this.canvas.offsetHeight);
  this.zoomLevel = level;
  this.layout(this.spreads[this.spreadIndex].low);
  stage.scrollLeft = cx * this.canvas.offsetWidth - stage.clientWidth / 2;
  stage.scrollTop = cy * this.canvas.offsetHeight - stage.clientHeight / 2;
};

Q.Viewer.prototype.toggleFullscreen = function () {
  var d = document, root = this.root;
  if (Q.isFullscreen()) {
    (d.exitFullscreen || d.webkitExitFullscreen).call(d);
  } else {
    var request = root.requestFullscreen || root.webkitRequestFullscreen;
    var result = request && request.call(root);
    if (result && result.catch) result.catch(function () {});
  }
};

Q.Viewer.prototype.togglePanel = function (kind, opener) {
  var same = this.panel && this.panel.kind === kind;
  this.closePanel(!same);
  if (!same) this.panel = new Q.Panel(this, kind, opener);
  if (this.toolbar) this.toolbar.update();
};

Q.Viewer.prototype.closePanel = function (keepFocus) {
  if (!this.panel) return;
  var opener = this.panel.opener;
  this.panel.destroy();
  this.panel = null;
  if (this.toolbar) this.toolbar.update();
  if (!keepFocus) (opener || this.stage).focus({ preventScroll: true });
};

Q.Viewer.prototype.toggleAutoFlip = function () {
  this.setAutoFlip(!this.autoFlipOn);
};

Q.Viewer.prototype.setAutoFlip = function (on) {
  var self = this;
  clearInterval(this.autoTimer);
  this.autoFlipOn = on;
  if (on) {
    var seconds = this.book.settings.number('autoFlipInterval', 5, 0.5, 3600);
    this.autoTimer = setInterval(function () {
      if (self.turn || self.panel) return;
      if (self.spreadIndex >= self.spreads.length - 1) {
        self.setAutoFlip(false);
        return;
      }
      self.autoStepping = true;
      self.next();
      self.autoStepping = false;
    }, seconds * 1000);
  }
  if (this.toolbar) this.toolbar.update();
};
