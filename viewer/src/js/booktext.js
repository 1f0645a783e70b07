// What a book may have besides its pictures (viewer/BOOKFILES.md): the list
// "files/extras.js" of printed page labels, thumbnails and pages with words,
// and the words themselves, a small script for each group of pages under
// "files/text/". They are scripts rather than data files so that a book
// opened from disk reads them too. A book without them opens as before; the
// words of a page are fetched with its picture, all of them only when the
// reader searches.

Q.EXTRAS_URL = 'files/extras.js';
Q.TEXT_FOLDER = 'files/text/';
Q.THUMB_FOLDER = 'files/thumb/';
Q.TEXT_UNITS = 10000;   // places in the files are ten-thousandths of the page
Q.TEXT_LOADS = 4;       // scripts fetched at once

Q.BookText = function (book, listener) {
  this.book = book;
  this.listener = listener;   // extrasArrived(), textArrived(position)
  this.extras = null;
  this.pages = {};            // position -> page words, or false for none
  this.groups = {};           // group -> 'loading' or 'done'
  this.queue = [];
  this.active = 0;
  this.waiters = [];
  var self = this;
  window.quireExtras = function (data) { self.takeExtras(data); };
  window.quireText = function (group, data) { self.takeText(group, data); };
};

Q.BookText.prototype.start = function () {
  var self = this;
  Q.loadScript(Q.fresh(Q.EXTRAS_URL), function () {
    if (self.extras && !self.disposed) self.listener.extrasArrived();
  });
};

// Nothing more for a reader that a reloaded one replaces: words still on
// their way go to the new one where it asked for them too.
Q.BookText.prototype.dispose = function () {
  this.disposed = true;
  this.queue = [];
  this.waiters.forEach(function (w) { w.stop(); });
  this.waiters = [];
};

Q.loadScript = function (url, done) {
  var script = document.createElement('script');
  script.src = url;
  script.async = true;
  script.onload = script.onerror = function (event) {
    script.remove();
    done(event.type === 'load');
  };
  document.head.appendChild(script);
};

// Keeps what the list says only where it fits this book.
Q.BookText.prototype.takeExtras = function (data) {
  var count = this.book.pages.length;
  if (!data || data.version !== 1 || data.count !== count || !Array.isArray(data.pages) ||
      data.pages.length !== count) return;
  function list(key, check) {
    var v = data[key];
    if (!Array.isArray(v) || v.length !== count) return null;
    return v.map(function (item) { return check(item) ? item : null; });
  }
  // An empty label, like none, shows the page's number.
  var labels = list('labels', function (l) { return typeof l === 'string' && l.length > 0 && l.length <= 40; });
  var thumbs = list('thumbs', function (s) {
    return Array.isArray(s) && s.length === 2 && s[0] > 0 && s[1] > 0;
  });
  var group = data.textGroup;
  var text = group >= 1 && group % 1 === 0 ? list('text', function (t) { return t === 1; }) : null;
  var pages = data.pages.map(function (n) { return typeof n === 'number' && n >= 0 && n % 1 === 0 ? n : null; });
  var byLabel = {};
  if (labels) {
    labels.forEach(function (label, position) {
      var key = label && label.toLowerCase();
      if (key && !Object.prototype.hasOwnProperty.call(byLabel, key)) byLabel[key] = position;
    });
  }
  this.extras = { pages: pages, labels: labels && labels.some(Boolean) ? labels : null, thumbs: thumbs, text: text,
    group: group, byLabel: byLabel };
};

Q.BookText.prototype.label = function (position) {
  var labels = this.extras && this.extras.labels;
  return labels && labels[position] ? labels[position] : null;
};

Q.BookText.prototype.hasLabels = function () {
  return !!(this.extras && this.extras.labels);
};

Q.BookText.prototype.positionOfLabel = function (text) {
  var map = this.extras ? this.extras.byLabel : {};
  var key = text.toLowerCase();
  return Object.prototype.hasOwnProperty.call(map, key) ? map[key] : null;
};

Q.BookText.prototype.longestLabel = function () {
  var longest = String(this.book.pages.length).length;
  ((this.extras && this.extras.labels) || []).forEach(function (l) { if (l) longest = Math.max(longest, l.length); });
  return Math.min(longest, 12);
};

Q.BookText.prototype.thumbUrl = function (position) {
  var e = this.extras;
  if (!e || !e.thumbs || !e.thumbs[position] || e.pages[position] === null) return null;
  return Q.THUMB_FOLDER + e.pages[position] + '.jpg';
};

Q.BookText.prototype.hasText = function (position) {
  var e = this.extras;
  return !!(e && e.text && e.text[position]);
};

Q.BookText.prototype.searchable = function () {
  var e = this.extras;
  return !!(e && e.text && e.text.some(function (t) { return t; }));
};

// The words of a page once they have arrived, else null.
Q.BookText.prototype.page = function (position) {
  return this.pages[position] || null;
};

// Fetches the words of these pages, the first ones first.
Q.BookText.prototype.want = function (positions) {
  positions.forEach(function (p) {
    if (!this.hasText(p)) return;
    var group = Math.floor(p / this.extras.group);
    if (!this.groups[group] && this.queue.indexOf(group) < 0) this.queue.push(group);
  }, this);
  this.pump();
};

Q.BookText.prototype.pump = function () {
  while (this.active < Q.TEXT_LOADS && this.queue.length) {
    var group = this.queue.shift();
    if (this.groups[group]) continue;
    this.groups[group] = 'loading';
    this.active++;
    Q.loadScript(Q.fresh(Q.TEXT_FOLDER + group + '.js'), this.loaded.bind(this, group));
  }
  if (!this.active && !this.queue.length) {
    var waiters = this.waiters;
    this.waiters = [];
    waiters.forEach(function (w) { w(); });
  }
};

// A script that ran has handed its words over; a compressed one may still
// be inflating.
Q.BookText.prototype.loaded = function (group) {
  var self = this;
  function finish() {
    self.groups[group] = 'done';
    var size = self.extras.group;
    for (var p = group * size; p < Math.min((group + 1) * size, self.book.pages.length); p++) {
      if (self.pages[p] === undefined) self.pages[p] = false;
    }
    self.active--;
    self.pump();
  }
  if (this.inflating && this.inflating[group]) this.inflating[group].push(finish);
  else finish();
};

Q.BookText.prototype.takeText = function (group, data) {
  if (this.groups[group] !== 'loading' || !data) return;
  var self = this;
  function take(pages) {
    if (!Array.isArray(pages)) return;
    var first = group * self.extras.group;
    pages.slice(0, self.extras.group).forEach(function (blocks, i) {
      if (first + i >= self.book.pages.length || self.pages[first + i] !== undefined) return;
      var page = blocks ? Q.readBlocks(blocks) : null;
      self.pages[first + i] = page || false;
      if (page && !self.disposed) self.listener.textArrived(first + i);
    });
  }
  if (Array.isArray(data.pages)) return take(data.pages);
  if (typeof data.deflated !== 'string' || !(data.size > 0)) return;
  var bytes;
  try {
    bytes = Q.base64ToBytes(data.deflated);
  } catch (e) {
    return;
  }
  this.inflating = this.inflating || {};
  var after = this.inflating[group] = [];
  Q.inflate(bytes, data.size, function (error, out) {
    delete self.inflating[group];
    if (!error) {
      try {
        take(JSON.parse(new TextDecoder('utf-8').decode(out)));
      } catch (e) { /* unreadable: its pages have no words */ }
    }
    after.forEach(function (f) { f(); });
  });
};

// Blocks of lines of [direction, word, x, y, w, h, word, ...] to the page's
// words in reading order, places as fractions of the page.
Q.readBlocks = function (blocks) {
  if (!Array.isArray(blocks)) return null;
  var words = [], lines = [], u = Q.TEXT_UNITS;
  blocks.forEach(function (block, b) {
    if (!Array.isArray(block)) return;
    block.forEach(function (raw) {
      if (!Array.isArray(raw) || (raw.length - 1) % 5 !== 0) return;
      var line = { dir: [0, 1, 2, 3].indexOf(raw[0]) >= 0 ? raw[0] : 0, block: b, words: [] };
      for (var i = 1; i < raw.length; i += 5) {
        var text = raw[i], x = raw[i + 1], y = raw[i + 2], w = raw[i + 3], h = raw[i + 4];
        if (typeof text !== 'string' || !text || !isFinite(x) || !isFinite(y) || !(w >= 0) || !(h > 0)) continue;
        var word = { text: text, x: x / u, y: y / u, w: w / u, h: h / u, line: lines.length, index: words.length };
        line.words.push(word);
        words.push(word);
      }
      if (line.words.length) lines.push(line);
    });
  });
  return { words: words, lines: lines };
};

// The words inside an area of a page (a link's), in reading order; of a
// contents line only what stands before its dot leader. Empty when the
// page's words have not arrived.
Q.BookText.prototype.wordsIn = function (position, area) {
  var page = this.page(position);
  if (!page) return '';
  var inside = page.words.filter(function (w) {
    var cx = w.x + w.w / 2, cy = w.y + w.h / 2;
    return cx >= area.x && cx <= area.x + area.width && cy >= area.y && cy <= area.y + area.height;
  }).map(function (w) { return w.text; });
  var text = inside.join(' ');
  var leader = /\s*[.\u2026\u00b7_]{3,}/.exec(text);
  if (leader && leader.index > 0) text = text.slice(0, leader.index);
  return text.replace(/\s+/g, ' ').trim();
};

// Calls back once every page with words has arrived (for searching), with
// the number of pages still to come along the way.
Q.BookText.prototype.loadAll = function (progress, done) {
  var all = [];
  for (var p = 0; p < this.book.pages.length; p++) if (this.hasText(p)) all.push(p);
  var self = this;
  function remaining() {
    return all.filter(function (p) { return self.pages[p] === undefined; }).length;
  }
  if (!remaining()) return done();
  this.want(all);
  var timer = setInterval(function () { progress(all.length - remaining(), all.length); }, 150);
  var waiter = function () {
    clearInterval(timer);
    done();
  };
  waiter.stop = function () { clearInterval(timer); };
  this.waiters.push(waiter);
};
