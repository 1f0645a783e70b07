// Printing: the pages on show, each on its own sheet, printed from their
// picture files rather than from the screen-sized canvases. The pictures
// wait in the document unseen (fetched, not decoded) once the reader rests
// on a spread, since a browser prints what has arrived by the time it asks.

Q.PRINT_DELAY_MS = 800;

Q.PrintLayer = function (viewer) {
  var self = this;
  this.viewer = viewer;
  this.el = Q.el('div', 'qv-print', { 'aria-hidden': 'true' });
  this.shown = '';
  viewer.listen(window, 'beforeprint', function () { self.fill(); });
};

Q.PrintLayer.prototype.dispose = function () {
  clearTimeout(this.timer);
};

Q.PrintLayer.prototype.update = function () {
  var self = this;
  clearTimeout(this.timer);
  this.timer = setTimeout(function () { self.fill(); }, Q.PRINT_DELAY_MS);
};

Q.PrintLayer.prototype.fill = function () {
  var v = this.viewer;
  if (v.turn) return;
  var urls = v.visiblePositions().map(function (p) { return v.book.pages[p].url; }).filter(Boolean);
  var key = urls.join(' ');
  if (key === this.shown) return;
  this.shown = key;
  Q.clearChildren(this.el);
  urls.forEach(function (url) {
    this.el.appendChild(Q.el('img', 'qv-print-page', { alt: '', src: url }));
  }, this);
};
