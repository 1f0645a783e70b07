// The reader: its state, the spread on show and the ways to move through
// the book. Layout and zoom, the turning leaf and the address are added to
// Q.Viewer by layout.js, turning.js and address.js.

// keptPictures: what the reader this one replaces handed over, if any.
Q.Viewer = function (root, book, keptPictures) {
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
  this.zoom = 1;
  this.spreads = [];
  this.spreadIndex = 0;
  this.double = false;
  this.turn = null;
  this.panel = null;
  this.autoFlipOn = false;
  this.autoTimer = 0;
  this.listeners = [];
  this.text = new Q.BookText(book, this);
  this.pictures = new Q.PagePictures(book.pages, this, keptPictures);
  var kept = this.pictures.keptSize();
  if (kept) this.pictureSize(kept.w, kept.h);
  this.soundOn = Q.storedSound();

  this.applyLook();
  this.buildDom();
  this.input = new Q.Input(this);
  this.keys = new Q.Keys(this);

  var fromHash = Q.pageFromHash(location.hash);
  var start = fromHash !== null ? fromHash : s.integer('startPage', 1, 1, book.pages.length);
  this.layout(Q.clamp(start, 1, book.pages.length) - 1);
  root.setAttribute('data-state', 'ready');
  if (s.bool('autoFlip', false)) this.setAutoFlip(true);

  var self = this;
  this.listen(window, 'resize', function () {
    // Only a real change of size lays the book out again (and so keeps a
    // selection in the text).
    var rect = self.stage.getBoundingClientRect();
    if (Math.max(100, rect.width) !== self.stageWidth || Math.max(100, rect.height) !== self.stageHeight) self.relayout();
  });
  this.followAddress();
  ['fullscreenchange', 'webkitfullscreenchange'].forEach(function (name) {
    self.listen(document, name, function () { self.relayout(); if (self.toolbar) self.toolbar.update(); });
  });
  this.text.start();
};

// Listeners on the window and the document outlive the reader's elements:
// each is noted, so that a reader replaced by a reloaded one leaves none.
Q.Viewer.prototype.listen = function (target, type, handler) {
  target.addEventListener(type, handler);
  this.listeners.push({ target: target, type: type, handler: handler });
};

// Stops everything the reader keeps going (listeners, timers, turns,
// sounds, fetches), before a reloaded book replaces it.
Q.Viewer.prototype.dispose = function () {
  this.disposed = true;
  this.listeners.forEach(function (l) { l.target.removeEventListener(l.type, l.handler); });
  this.listeners = [];
  clearInterval(this.autoTimer);
  clearTimeout(this.slideTimer);
  this.autoFlipOn = false;
  this.searchRun = null;
  if (this.turn && this.turn.animation) this.turn.animation.cancel();
  this.turn = null;
  if (this.panel) this.panel.destroy();
  this.panel = null;
  this.input.dispose();
  this.keys.dispose();
  this.printLayer.dispose();
  this.pictures.dispose();
  this.text.dispose();
  if (this.sound) this.sound.pause();
  this.sound = null;
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
  var language = Q.languageFor(s.text('languageSetting', 'en'));
  this.root.setAttribute('lang', language);
  document.documentElement.setAttribute('lang', language);
  this.soundUrl = Q.extFileUrl(s.text('flipSound'), Q.SOUND_EXTENSIONS);
};

// The toolbar comes first in the document, so the Tab key reaches the
// controls before the link areas of the pages; CSS puts it at the bottom
// when the template asks for that.
Q.Viewer.prototype.buildDom = function () {
  var root = this.root, t = this.t;
  var status = root.querySelector('.qv-status');
  if (status) status.remove();
  var title = this.book.settings.text('bookTitle', '');
  this.stage = Q.el('main', 'qv-stage', { tabindex: '0', 'aria-label': title ? t('bookNamed', title) : t('bookPages') });
  this.canvas = Q.el('div', 'qv-canvas');
  this.bookEl = Q.el('div', 'qv-book');
  this.leftSlot = Q.el('div', 'qv-slot qv-slot-left');
  this.rightSlot = Q.el('div', 'qv-slot qv-slot-right');
  this.bookEl.appendChild(this.leftSlot);
  this.bookEl.appendChild(this.rightSlot);
  this.canvas.appendChild(this.bookEl);
  this.stage.appendChild(this.canvas);
  this.live = Q.el('div', 'qv-live', { 'aria-live': 'polite', 'aria-atomic': 'true' });
  this.stage.appendChild(this.live);
  var showBar = this.book.settings.bool('showToolbar', true);
  var top = this.book.settings.choice('toolbarPosition', ['bottom', 'top'], 'bottom') === 'top';
  root.classList.toggle('qv-bar-top', top);
  root.classList.toggle('qv-no-bar', !showBar);
  if (showBar) {
    this.toolbar = new Q.Toolbar(this);
    root.appendChild(this.toolbar.el);
  }
  root.appendChild(this.stage);
  this.printLayer = new Q.PrintLayer(this);
  root.appendChild(this.printLayer.el);
};

// Shows the current spread at rest.
Q.Viewer.prototype.render = function () {
  var spread = this.spreads[this.spreadIndex];
  this.fillSlot(this.leftSlot, spread.left, true);
  this.fillSlot(this.rightSlot, spread.right, true);
  this.pictures.keep(this.nearPositions(1), this.nearPositions(2));
  this.setShift(this.shiftFor(spread));
  this.root.setAttribute('data-spread', this.spreadLabel());
  if (this.toolbar) this.toolbar.update();
  if (this.panel) this.panel.update();
  var t = this.t;
  this.live.textContent = spread.low === spread.high ? t('pageStatus', this.pageName(spread.low), this.book.pages.length)
    : t('pagesStatus', this.pageName(spread.low) + '-' + this.pageName(spread.high), this.book.pages.length);
  this.keepHash();
  this.printLayer.update();
  this.text.want(this.nearPositions(1));
};

// The pages of the spreads within "reach" spreads of the one on show, those
// on show first, then outward.
Q.Viewer.prototype.nearPositions = function (reach) {
  var out = [];
  for (var d = 0; d <= reach; d++) {
    [d, -d].forEach(function (step) {
      var s = this.spreads[this.spreadIndex + step];
      if (!s) return;
      [s.left, s.right].forEach(function (p) { if (p >= 0 && out.indexOf(p) < 0) out.push(p); });
    }, this);
  }
  return out;
};

// Book positions as the reader sees them: the page's printed label where the
// book has labels, else its number counted from 1.
Q.Viewer.prototype.pageName = function (position) {
  var label = this.text.label(position);
  return label !== null ? label : String(position + 1);
};

Q.Viewer.prototype.spreadLabel = function () {
  var s = this.spreads[this.spreadIndex];
  return s.low === s.high ? String(s.low + 1) : (s.low + 1) + '-' + (s.high + 1);
};

// The page box's text: labels where the book has them.
Q.Viewer.prototype.spreadName = function () {
  var s = this.spreads[this.spreadIndex];
  return s.low === s.high ? this.pageName(s.low) : this.pageName(s.low) + '-' + this.pageName(s.high);
};

Q.Viewer.prototype.visiblePositions = function () {
  var s = this.spreads[this.spreadIndex];
  return s.low === s.high ? [s.low] : [s.low, s.high];
};

// Navigation in reading order.
Q.Viewer.prototype.goTo = function (position, animate) {
  this.goToSpread(this.spreadOf(position), animate);
};
Q.Viewer.prototype.spreadOf = function (position) {
  return Q.spreadIndexOf(this.spreads, Q.clamp(position, 0, this.book.pages.length - 1));
};
Q.Viewer.prototype.next = function () { this.goToSpread(this.settledIndex() + 1, true); };
Q.Viewer.prototype.previous = function () { this.goToSpread(this.settledIndex() - 1, true); };
Q.Viewer.prototype.first = function () { this.goToSpread(0, true); };
Q.Viewer.prototype.last = function () { this.goToSpread(this.spreads.length - 1, true); };

// A jump (a link, a contents entry, a thumbnail, the page box, a search hit)
// is a place the reader may want to come back from: it gets its own entry
// in the browser's history.
Q.Viewer.prototype.jumpTo = function (position) {
  var index = this.spreadOf(position);
  if (index === this.settledIndex()) return;
  this.pushAddress(index);
  this.goToSpread(index, true);
};

// Where the book will rest once the running turn has ended.
Q.Viewer.prototype.settledIndex = function () {
  var turn = this.turn;
  return turn && !turn.peek && turn.destination !== undefined ? turn.destination : this.spreadIndex;
};

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
  this.playTurn(this.beginTurn(index, 'bottom'), true);
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
  if (!same) {
    this.panel = new Q.Panel(this, kind, opener);
    this.slideBook();
  }
  if (this.toolbar) this.toolbar.update();
  return this.panel;
};

Q.Viewer.prototype.closePanel = function (keepFocus) {
  if (!this.panel) return;
  var opener = this.panel.opener;
  this.panel.destroy();
  this.panel = null;
  this.slideBook();
  if (this.toolbar) this.toolbar.update();
  if (!keepFocus) (opener || this.stage).focus({ preventScroll: true });
};

// The book moves beside an opening panel, or back, with the panel's motion.
Q.Viewer.prototype.slideBook = function () {
  var root = this.root, before = this.bookEl.style.left;
  this.placeBook();
  if (this.bookEl.style.left === before) return;
  root.classList.add('qv-sliding');
  clearTimeout(this.slideTimer);
  this.slideTimer = setTimeout(function () { root.classList.remove('qv-sliding'); }, 250);
};

// After a choice in a panel: the panel stays open only where it leaves the
// spread the reader is going to wholly in view.
Q.Viewer.prototype.closePanelIfCovering = function () {
  if (!this.panel) return;
  var stage = this.stage.getBoundingClientRect();
  var bookLeft = stage.left + this.bookEl.offsetLeft - this.stage.scrollLeft;
  if (this.panel.el.getBoundingClientRect().right > bookLeft + 1) this.closePanel();
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
