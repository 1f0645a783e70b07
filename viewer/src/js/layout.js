// Layout and zoom: one or two pages, their size for the window and the zoom
// factor, and where the book sits on the stage. Zooming lays the book out
// larger rather than scaling it, so the pages are drawn afresh at the size
// they are shown.

Q.ZOOM_STEPS = [1, 1.5, 2, 3, 4];
Q.ZOOM_MAX = 4;

// Chooses one or two pages and the page size for the space there is, then
// shows the spread holding the given page. A live layout (during a pinch)
// only resizes what is on show.
Q.Viewer.prototype.layout = function (position, live) {
  var rect = this.stage.getBoundingClientRect();
  var sw = Math.max(100, rect.width), sh = Math.max(100, rect.height);
  this.stageWidth = sw;
  this.stageHeight = sh;
  var double = this.pageMode === 'double' || (this.pageMode === 'auto' && sw >= 640 && sw >= sh * 0.95);
  if (this.book.pages.length === 1) double = false;
  var margin = sw < 520 ? 10 : Math.round(Math.min(40, sw * 0.03));
  var cols = double ? 2 : 1;
  var W = Math.min((sw - 2 * margin) / cols, (sh - 2 * margin) * this.aspect);
  this.W = Math.max(20, Math.floor(W * this.zoom));
  this.H = Math.max(20, Math.floor(W / this.aspect * this.zoom));
  this.margin = margin;
  if (double !== this.double || !this.spreads.length) {
    this.double = double;
    this.spreads = Q.buildSpreads(this.book.pages.length, double, this.rtl);
  }
  this.spreadIndex = Q.spreadIndexOf(this.spreads, position);
  this.root.setAttribute('data-mode', double ? 'double' : 'single');
  var zoomed = this.zoom > 1.001;
  this.root.classList.toggle('qv-zoomed', zoomed);
  this.root.setAttribute('data-zoom', String(Math.round(this.zoom * 100) / 100));
  this.root.style.setProperty('--qv-page-height', this.H + 'px');

  var bookW = cols * this.W;
  this.spineX = double ? this.W : 0;
  var canvasW = Math.max(sw, bookW + 2 * margin), canvasH = Math.max(sh, this.H + 2 * margin);
  this.canvas.style.width = canvasW + 'px';
  this.canvas.style.height = canvasH + 'px';
  var b = this.bookEl.style;
  b.width = bookW + 'px';
  b.height = this.H + 'px';
  b.top = Math.round((canvasH - this.H) / 2) + 'px';
  this.placeBook();
  this.leftSlot.style.left = (this.spineX - this.W) + 'px';
  this.rightSlot.style.left = this.spineX + 'px';
  [this.leftSlot, this.rightSlot].forEach(function (slot) {
    slot.style.width = this.W + 'px';
    slot.style.height = this.H + 'px';
  }, this);
  if (!zoomed) {
    this.stage.scrollLeft = 0;
    this.stage.scrollTop = 0;
  }
  this.pictures.setSize(this.W, this.H, live);
  this.liveLayout = !!live;
  if (!live) this.render();
};

// Centres the book; an open panel takes its side of the window where the
// book fits beside it.
Q.Viewer.prototype.placeBook = function () {
  var bookW = (this.double ? 2 : 1) * this.W, canvasW = this.canvas.offsetWidth, sw = this.stageWidth;
  var aside = this.panel && this.zoom <= 1.001 ? this.panel.el.offsetWidth : 0;
  var left = aside && sw - aside >= bookW + 2 * this.margin ? aside + (sw - aside - bookW) / 2 : (canvasW - bookW) / 2;
  this.bookEl.style.left = Math.round(left) + 'px';
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

Q.Viewer.prototype.fillSlot = function (slot, position, atRest) {
  Q.clearChildren(slot);
  slot.classList.toggle('qv-filled', position >= 0);
  if (position >= 0) slot.appendChild(Q.makeFace(this, position, atRest));
};

// The first page picture gives the book its shape.
Q.Viewer.prototype.pictureSize = function (width, height) {
  if (this.aspectFromPicture || !width || !height) return;
  this.aspectFromPicture = true;
  var ratio = width / height;
  if (Math.abs(ratio - this.aspect) / this.aspect > 0.01) {
    this.aspect = Q.clamp(ratio, 0.2, 5);
    if (!this.turn && this.spreads.length) this.relayout();
  }
};

Q.Viewer.prototype.pictureShown = function () {
  if (this.firstPictureShown) return;
  this.firstPictureShown = true;
  // For measuring how soon a reader sees the book, loaded or reloaded.
  Q.mark('quire-first-page');
};

// Zooms to a factor, keeping the point of the book under (x, y) (client
// coordinates; the middle of the stage when not given) where it is.
Q.Viewer.prototype.zoomTo = function (zoom, x, y, live) {
  zoom = Q.clamp(zoom, 1, Q.ZOOM_MAX);
  if (Math.abs(zoom - this.zoom) < 0.001 && !live && !this.liveLayout) return;
  if (this.turn) this.endTurnNow();
  var stage = this.stage.getBoundingClientRect();
  if (x === undefined) {
    x = stage.left + stage.width / 2;
    y = stage.top + stage.height / 2;
  }
  var book = this.bookEl.getBoundingClientRect();
  var fx = (x - book.left) / book.width, fy = (y - book.top) / book.height;
  this.zoom = zoom;
  this.layout(this.spreads[this.spreadIndex].low, live);
  this.keepPoint(fx, fy, x, y);
  if (this.toolbar) this.toolbar.update();
};

// Scrolls so that the book's point (fx, fy), as fractions of its size, is
// under the client point (x, y).
Q.Viewer.prototype.keepPoint = function (fx, fy, x, y) {
  var book = this.bookEl.getBoundingClientRect();
  this.stage.scrollLeft += book.left + fx * book.width - x;
  this.stage.scrollTop += book.top + fy * book.height - y;
};

// The zoom buttons and keys step through fixed factors.
Q.Viewer.prototype.zoomStep = function (direction) {
  var steps = Q.ZOOM_STEPS, z = this.zoom, target = direction > 0 ? Q.ZOOM_MAX : 1;
  for (var i = 0; i < steps.length; i++) {
    var s = direction > 0 ? steps[i] : steps[steps.length - 1 - i];
    if (direction > 0 ? s > z + 0.01 : s < z - 0.01) {
      target = s;
      break;
    }
  }
  this.zoomTo(target);
};
