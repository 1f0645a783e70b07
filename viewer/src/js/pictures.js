// Page pictures, decoded at the size they are shown and only around the
// spread. A decoded 1224 x 1584 picture takes 7.7 MB; drawn into a canvas
// 560 pixels wide it takes 1.6 MB. Pages within one spread of the one on
// show keep a canvas, pages within two keep their file's bytes, the rest
// nothing. Pictures are decoded one at a time, the pages on show first.

// kept: pictures drawn by the reader this one replaces (handOver()).
Q.PagePictures = function (pages, listener, kept) {
  this.pages = pages;
  this.kept = kept || null;
  this.listener = listener;   // pictureSize(w, h), pictureShown(), pictureFailed(position)
  this.entries = {};
  this.queue = [];
  this.busy = false;
  this.cssW = 0;
  this.cssH = 0;
  this.order = [];
  this.spare = [];
  var protocol = location.protocol;
  this.fetchBytes = (protocol === 'http:' || protocol === 'https:') && typeof fetch === 'function' &&
    typeof createImageBitmap === 'function';
};

Q.PagePictures.prototype.entry = function (position) {
  var e = this.entries[position];
  if (e) return e;
  e = this.entries[position] = { position: position, canvas: null, blob: null, natural: null, drawn: '', failed: false };
  var url = this.pages[position].url, kept = this.kept && url && this.kept[url];
  if (kept) {
    delete this.kept[url];
    e.canvas = kept.canvas;
    e.blob = kept.blob;
    e.natural = kept.natural;
    e.drawn = kept.drawn;
  }
  return e;
};

// A book loaded again in place has the same page files: the reader that
// replaces this one takes over its drawn pictures and the bytes it fetched
// ahead, by address, and shows the pictures of its first spread at once.
Q.PagePictures.prototype.handOver = function () {
  var kept = {};
  Object.keys(this.entries).forEach(function (key) {
    var e = this.entries[key], url = this.pages[e.position].url;
    if (!url || !e.natural) return;
    if (e.canvas && e.drawn) {
      kept[url] = { canvas: e.canvas, blob: e.blob, natural: e.natural, drawn: e.drawn };
      e.canvas = null;
    } else if (e.blob) {
      kept[url] = { canvas: null, blob: e.blob, natural: e.natural, drawn: '' };
    }
  }, this);
  return kept;
};

// The size of a picture handed over, for the book's shape; else null.
Q.PagePictures.prototype.keptSize = function () {
  var kept = this.kept || {}, urls = Object.keys(kept);
  return urls.length ? kept[urls[0]].natural : null;
};

// The canvas that shows a page: drawn now or as soon as its picture is
// ready. A page is on show in one place at a time, so it has one canvas.
Q.PagePictures.prototype.canvas = function (position) {
  var e = this.entry(position);
  if (!e.canvas) {
    e.canvas = this.spare.pop() || Q.el('canvas', 'qv-picture', { 'aria-hidden': 'true' });
    e.canvas.width = 0;
    e.canvas.height = 0;
  }
  this.request(e, true);
  var t = this.target(e);
  if (t && e.drawn === t.key) this.listener.pictureShown();
  return e.canvas;
};

Q.PagePictures.prototype.failed = function (position) {
  return !!(this.entries[position] && this.entries[position].failed);
};

// near: the pages that keep a drawn canvas, most wanted first; far: those
// whose bytes are kept (and fetched ahead).
Q.PagePictures.prototype.keep = function (near, far) {
  this.order = near.slice();
  Object.keys(this.entries).forEach(function (key) {
    var e = this.entries[key], p = e.position;
    if (near.indexOf(p) < 0 && e.canvas && !e.canvas.isConnected) this.release(e);
    if (far.indexOf(p) < 0) e.blob = null;
    if (!e.canvas && !e.blob && !e.failed) delete this.entries[key];
  }, this);
  near.forEach(function (p) { this.canvas(p); }, this);
  if (this.kept) far.forEach(function (p) { this.entry(p); }, this);
  this.kept = null;
  this.ahead = far.filter(function (p) { return near.indexOf(p) < 0; });
  this.sortQueue();
  this.pump();
};

// A canvas leaving the pages near the spread gives up its pixels; the
// element waits for the next page (browsers free a dropped canvas only when
// they collect garbage).
Q.PagePictures.prototype.release = function (e) {
  e.canvas.width = 0;
  e.canvas.height = 0;
  if (this.spare.length < 8) this.spare.push(e.canvas);
  e.canvas = null;
  e.drawn = '';
};

// The size of a page on the screen, in CSS pixels. During a pinch the
// canvases are stretched and drawn afresh once the fingers rest.
Q.PagePictures.prototype.setSize = function (width, height, live) {
  if (width === this.cssW && height === this.cssH) return;
  this.cssW = width;
  this.cssH = height;
  var self = this;
  clearTimeout(this.resizeTimer);
  function redraw() {
    Object.keys(self.entries).forEach(function (key) {
      if (self.entries[key].canvas) self.request(self.entries[key], false);
    });
    self.pump();
  }
  if (live) this.resizeTimer = setTimeout(redraw, 250);
  else redraw();
};

// Canvas and picture sizes in device pixels: the page's box on the screen,
// the picture fitted inside it, never more pixels than the picture has.
Q.PagePictures.prototype.target = function (e) {
  var n = e.natural;
  if (!n || !this.cssW) return null;
  var ratio = window.devicePixelRatio || 1;
  var w = this.cssW * ratio, h = this.cssH * ratio;
  var fit = Math.min(w / n.w, h / n.h);
  var k = fit > 1 ? 1 / fit : 1;
  var t = { w: Math.max(1, Math.round(w * k)), h: Math.max(1, Math.round(h * k)) };
  t.dw = Math.max(1, Math.round(n.w * fit * k));
  t.dh = Math.max(1, Math.round(n.h * fit * k));
  t.key = t.w + 'x' + t.h;
  return t;
};

Q.PagePictures.prototype.request = function (e, soon) {
  if (e.failed || !e.canvas) return;
  var t = this.target(e);
  if (t && e.drawn === t.key) return;
  if (this.queue.indexOf(e.position) < 0) this.queue.push(e.position);
  if (soon) {
    this.sortQueue();
    this.pump();
  }
};

Q.PagePictures.prototype.sortQueue = function () {
  var order = this.order;
  function rank(p) {
    var i = order.indexOf(p);
    return i < 0 ? order.length : i;
  }
  this.queue.sort(function (a, b) { return rank(a) - rank(b); });
};

// A reader replaced by a reloaded one draws nothing more; what it is
// decoding or fetching is dropped on arrival.
Q.PagePictures.prototype.dispose = function () {
  this.disposed = true;
  clearTimeout(this.resizeTimer);
  this.queue = [];
  this.ahead = [];
  this.thumbJobs = [];
};

// Draws the most wanted page, then the next; with nothing left to draw,
// fetches the bytes of the pages further ahead.
Q.PagePictures.prototype.pump = function () {
  if (this.busy || this.disposed) return;
  var self = this;
  while (this.queue.length) {
    var e = this.entries[this.queue.shift()];
    if (!e || !e.canvas || e.failed) continue;
    var t = this.target(e);
    if (t && e.drawn === t.key) continue;
    this.busy = true;
    this.draw(e, function () {
      self.busy = false;
      self.pump();
    });
    return;
  }
  var ahead = (this.ahead || []).filter(function (p) {
    var e = self.entries[p];
    return !e || (!e.blob && !e.failed);
  });
  if (ahead.length && this.fetchBytes) {
    var next = this.entry(ahead[0]);
    this.busy = true;
    this.bytes(next, function (got) {
      if (got === 'missing') next.failed = true;
      else if (!got) self.fetchBytes = false;
      self.busy = false;
      self.pump();
    });
  }
};

Q.PagePictures.prototype.draw = function (e, done) {
  var self = this;
  this.source(e, function (source) {
    var t = self.target(e);
    if (!source || !e.canvas || !t) {
      if (!source) self.fail(e);
      return done();
    }
    Q.decodeAt(source, t, function (picture) {
      if (!picture) self.fail(e);
      else if (e.canvas && !self.disposed) {
        Q.paint(e.canvas, picture, t);
        e.drawn = t.key;
        self.listener.pictureShown();
      }
      if (picture && picture.close) picture.close();
      if (source.img) source.img.src = '';
      done();
    });
  });
};

Q.PagePictures.prototype.fail = function (e) {
  e.failed = true;
  if (this.disposed) return;
  this.listener.pictureFailed(e.position);
};

// What to decode: the file's bytes where the page was fetched over http,
// else an image element (a book opened from disk may not fetch).
Q.PagePictures.prototype.source = function (e, done) {
  var self = this, url = this.pages[e.position].url;
  if (this.fetchBytes) {
    this.bytes(e, function (got) {
      if (got === 'missing') return done(null);
      if (got) return done({ blob: e.blob });
      self.fetchBytes = false;
      self.source(e, done);
    });
    return;
  }
  var img = new Image();
  img.decoding = 'async';
  var settled = false;
  function finish(ok) {
    if (settled) return;
    settled = true;
    if (ok && img.naturalWidth) self.natural(e, img.naturalWidth, img.naturalHeight);
    done(ok && img.naturalWidth ? { img: img } : null);
  }
  img.onload = function () { finish(true); };
  img.onerror = function () { finish(false); };
  img.src = url;
};

Q.PagePictures.prototype.bytes = function (e, done) {
  if (e.blob) return done(true);
  var self = this, missing = false;
  fetch(this.pages[e.position].url).then(function (response) {
    if (!response.ok) {
      missing = true;
      throw new Error(String(response.status));
    }
    return response.blob();
  }).then(function (blob) {
    // The frame header sits in the first few hundred bytes of the pages the
    // publisher writes; a page read costs a buffer that only the next garbage
    // collection frees, so read more only for files with large metadata.
    function measure(length) {
      return blob.slice(0, length).arrayBuffer().then(function (head) {
        var size = Q.pictureSize(new Uint8Array(head));
        if (size) return { blob: blob, size: size };
        if (length < 65536 && blob.size > length) return measure(65536);
        // An unusual file: measure it by decoding it once.
        return createImageBitmap(blob).then(function (b) {
          var s = { w: b.width, h: b.height };
          b.close();
          return { blob: blob, size: s };
        });
      });
    }
    return measure(2048);
  }).then(function (got) {
    e.blob = got.blob;
    self.natural(e, got.size.w, got.size.h);
    done(true);
  }, function () {
    done(missing ? 'missing' : false);
  });
};

Q.PagePictures.prototype.natural = function (e, w, h) {
  e.natural = { w: w, h: h };
  this.listener.pictureSize(w, h);
};

// A small picture of a page for the thumbnails panel, drawn into a canvas at
// the given size in CSS pixels, after the pages near the spread.
Q.PagePictures.prototype.thumbnail = function (position, canvas, width, height) {
  var self = this;
  // Empty until drawn (a new canvas is 300 x 150 of nothing).
  canvas.width = 0;
  canvas.height = 0;
  var e = { position: position, canvas: canvas, natural: null, drawn: '', failed: false };
  var job = function (done) {
    var t;
    self.source(e, function (source) {
      if (!source || !canvas.isConnected) return done();
      var ratio = window.devicePixelRatio || 1;
      var fit = Math.min(width * ratio / e.natural.w, height * ratio / e.natural.h, 1);
      t = { w: Math.round(e.natural.w * fit), h: Math.round(e.natural.h * fit) };
      t.dw = t.w;
      t.dh = t.h;
      Q.decodeAt(source, t, function (picture) {
        if (picture) Q.paint(canvas, picture, t);
        if (picture && picture.close) picture.close();
        if (source.img) source.img.src = '';
        e.blob = null;
        done();
      });
    });
  };
  (this.thumbJobs || (this.thumbJobs = [])).push(job);
  this.pumpThumbs();
};

Q.PagePictures.prototype.pumpThumbs = function () {
  if (this.thumbBusy || this.disposed || !this.thumbJobs.length) return;
  var self = this;
  this.thumbBusy = true;
  this.thumbJobs.shift()(function () {
    self.thumbBusy = false;
    self.pumpThumbs();
  });
};

Q.PagePictures.prototype.cancelThumbnails = function () {
  this.thumbJobs = [];
};

// Decodes a picture straight to the size it is drawn at where the browser
// can; else decodes it whole and lets the canvas scale it.
Q.decodeAt = function (source, t, done) {
  if (source.img) return done(source.img);
  createImageBitmap(source.blob, { resizeWidth: t.dw, resizeHeight: t.dh, resizeQuality: 'high' })
    .then(done, function () {
      createImageBitmap(source.blob).then(done, function () { done(null); });
    });
};

Q.paint = function (canvas, picture, t) {
  canvas.width = t.w;
  canvas.height = t.h;
  var ctx = canvas.getContext('2d');
  ctx.fillStyle = '#ffffff';
  ctx.fillRect(0, 0, t.w, t.h);
  ctx.imageSmoothingEnabled = true;
  ctx.imageSmoothingQuality = 'high';
  ctx.drawImage(picture, Math.round((t.w - t.dw) / 2), Math.round((t.h - t.dh) / 2), t.dw, t.dh);
};

// Width and height from a JPEG's frame header or a PNG's IHDR, or null.
Q.pictureSize = function (b) {
  if (b.length > 24 && b[0] === 0x89 && b[1] === 0x50 && b[2] === 0x4e && b[3] === 0x47) {
    var w = ((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19]) >>> 0;
    var h = ((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]) >>> 0;
    return w && h ? { w: w, h: h } : null;
  }
  if (b[0] !== 0xff || b[1] !== 0xd8) return null;
  var i = 2;
  while (i + 9 < b.length) {
    if (b[i] !== 0xff) return null;
    var marker = b[i + 1];
    if (marker === 0xff) { i++; continue; }
    var length = (b[i + 2] << 8) | b[i + 3];
    var frame = marker >= 0xc0 && marker <= 0xcf && marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc;
    if (frame) {
      var height = (b[i + 5] << 8) | b[i + 6], width = (b[i + 7] << 8) | b[i + 8];
      return width && height ? { w: width, h: height } : null;
    }
    if (marker === 0xd9 || marker === 0xda || length < 2) return null;
    i += 2 + length;
  }
  return null;
};
