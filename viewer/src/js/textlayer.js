// The text layer: the page's words, invisible, laid over its picture in
// reading order, so a screen reader reads the page and a reader can select
// and copy its text; and under them, the marks of the search hits. Font
// sizes follow the page's height (a custom property the layout sets), so
// the layer follows the page through zoom.

Q.TEXT_FONT = 'sans-serif';

// Width of a text at a font size of 100 pixels.
Q.textWidth = function (text) {
  var ctx = Q.measuring || (Q.measuring = document.createElement('canvas').getContext('2d'));
  ctx.font = '100px ' + Q.TEXT_FONT;
  return ctx.measureText(text).width || 1;
};

Q.makeTextLayer = function (viewer, position) {
  var page = viewer.text.page(position);
  if (!page) return null;
  var layer = Q.el('div', 'qv-text-layer');
  var hits = Q.makeHitLayer(viewer, position, page);
  if (hits) layer.appendChild(hits);
  var text = Q.el('div', 'qv-text');
  var block = null, blockIndex = -1;
  page.lines.forEach(function (line) {
    if (line.block !== blockIndex) {
      block = Q.el('div', 'qv-text-block');
      text.appendChild(block);
      blockIndex = line.block;
    }
    block.appendChild(Q.lineSpan(line, viewer.aspect));
    // Copied text breaks where the lines do.
    block.appendChild(document.createElement('br'));
  });
  layer.appendChild(text);
  return layer;
};

// One line as one span, stretched to the line's box: the words stay in one
// piece for screen readers and copying.
Q.lineSpan = function (line, aspect) {
  var x0 = 1, y0 = 1, x1 = 0, y1 = 0;
  line.words.forEach(function (w) {
    x0 = Math.min(x0, w.x);
    y0 = Math.min(y0, w.y);
    x1 = Math.max(x1, w.x + w.w);
    y1 = Math.max(y1, w.y + w.h);
  });
  var words = line.words.map(function (w) { return w.text; }).join(' ');
  var span = Q.el('span', 'qv-text-line', null, words);
  var across = line.dir === 1 || line.dir === 3;
  var thick = across ? x1 - x0 : y1 - y0, long = across ? y1 - y0 : x1 - x0;
  var measured = Q.textWidth(words);
  // Long side over thickness, both in pixels, over the text's own shape.
  var scale = (long / Math.max(thick, 1e-4)) * (across ? 1 / aspect : aspect) * 100 / measured;
  var origin = [[x0, y0], [x1, y0], [x1, y1], [x0, y1]][line.dir];
  var s = span.style;
  s.left = (origin[0] * 100).toFixed(3) + '%';
  s.top = (origin[1] * 100).toFixed(3) + '%';
  s.fontSize = 'calc(var(--qv-page-height) * ' + (thick * (across ? aspect : 1)).toFixed(5) + ')';
  s.transform = (line.dir ? 'rotate(' + line.dir * 90 + 'deg) ' : '') + 'scaleX(' + scale.toFixed(4) + ')';
  return span;
};

// Marks over the words of the search hits on this page, the chosen one
// stronger.
Q.makeHitLayer = function (viewer, position, page) {
  var search = viewer.search;
  if (!search || !search.query) return null;
  var hits = Q.findHits(page, search.query);
  if (!hits.length) return null;
  var layer = Q.el('div', 'qv-hits', { 'aria-hidden': 'true' });
  hits.forEach(function (hit) {
    var current = search.current && search.current.position === position && search.current.first === hit.first;
    for (var i = hit.first; i <= hit.last; i++) {
      var w = page.words[i];
      var mark = Q.el('div', 'qv-hit' + (current ? ' qv-hit-current' : ''));
      mark.style.left = (w.x * 100).toFixed(3) + '%';
      mark.style.top = (w.y * 100).toFixed(3) + '%';
      mark.style.width = (w.w * 100).toFixed(3) + '%';
      mark.style.height = (w.h * 100).toFixed(3) + '%';
      layer.appendChild(mark);
    }
  });
  return layer;
};

// The words of a page on show have arrived, or the search changed: its
// faces at rest get their text layer and their links their names.
Q.Viewer.prototype.textArrived = function (position) {
  var faces = this.bookEl.querySelectorAll('.qv-page.qv-rest[data-position="' + (position + 1) + '"]');
  for (var i = 0; i < faces.length; i++) {
    var content = faces[i].querySelector('.qv-face-content');
    var old = content.querySelector('.qv-text-layer');
    var layer = Q.makeTextLayer(this, position);
    var links = content.querySelector('.qv-links');
    if (old) old.remove();
    if (layer) content.insertBefore(layer, links);
    if (links) Q.nameLinks(this, position, links);
  }
  if (this.searchPanelWaiting) this.searchPanelWaiting(position);
};

Q.Viewer.prototype.extrasArrived = function () {
  this.render();
  if (this.panel) this.panel.refresh();
};
