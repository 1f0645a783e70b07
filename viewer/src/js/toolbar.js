// The toolbar: navigation, the page box and the tools the template and the
// book switch on.

Q.ICONS = {
  first: 'M17 6l-6 6l6 6M7 6v12',
  previous: 'M15 6l-6 6l6 6',
  next: 'M9 6l6 6l-6 6',
  last: 'M7 6l6 6l-6 6M17 6v12',
  contents: 'M4 6h16M4 12h16M4 18h11',
  thumbnails: 'M4 4h7v7H4zM13 4h7v7h-7zM4 13h7v7H4zM13 13h7v7h-7z',
  search: 'M10.5 4a6.5 6.5 0 1 0 0 13a6.5 6.5 0 1 0 0-13zM15.5 15.5L20 20',
  zoomIn: 'M10.5 4a6.5 6.5 0 1 0 0 13a6.5 6.5 0 1 0 0-13zM15.5 15.5L20 20M10.5 7.5v6M7.5 10.5h6',
  zoomOut: 'M10.5 4a6.5 6.5 0 1 0 0 13a6.5 6.5 0 1 0 0-13zM15.5 15.5L20 20M7.5 10.5h6',
  fullscreen: 'M4 9V4h5M15 4h5v5M20 15v5h-5M9 20H4v-5',
  exitFullscreen: 'M9 4v5H4M20 9h-5V4M15 20v-5h5M4 15h5v5',
  soundOn: 'M4 9h4l5-4v14l-5-4H4zM16.5 8.5a5 5 0 0 1 0 7M19 6a8.5 8.5 0 0 1 0 12',
  soundOff: 'M4 9h4l5-4v14l-5-4H4zM16 9l5 6M21 9l-5 6',
  about: 'M12 3a9 9 0 1 0 0 18a9 9 0 1 0 0-18zM12 11v6M12 7.5v.5',
  play: 'M8 5l11 7l-11 7z',
  pause: 'M8 5v14M16 5v14',
  close: 'M6 6l12 12M18 6L6 18',
  chevron: 'M9 6l6 6l-6 6'
};

Q.icon = function (name) {
  var ns = 'http://www.w3.org/2000/svg';
  var svg = document.createElementNS(ns, 'svg');
  svg.setAttribute('viewBox', '0 0 24 24');
  svg.setAttribute('aria-hidden', 'true');
  svg.setAttribute('focusable', 'false');
  svg.setAttribute('class', 'qv-icon');
  var path = document.createElementNS(ns, 'path');
  path.setAttribute('d', Q.ICONS[name]);
  svg.appendChild(path);
  return svg;
};

Q.iconButton = function (name, label, onClick) {
  var button = Q.el('button', 'qv-button qv-button-' + name, { type: 'button', title: label, 'aria-label': label });
  button.appendChild(Q.icon(name));
  button.addEventListener('click', onClick);
  return button;
};

Q.Toolbar = function (viewer) {
  var t = viewer.t, s = viewer.book.settings;
  this.viewer = viewer;
  var bar = Q.el('nav', 'qv-toolbar', { 'aria-label': t('controls') });
  if (viewer.rtl) bar.classList.add('qv-rtl');
  this.el = bar;

  var start = Q.el('div', 'qv-bar-start');
  var logo = Q.extFileUrl(s.text('logoImage'), Q.IMAGE_EXTENSIONS);
  if (logo) {
    var logoLink = Q.safeLinkUrl(s.text('logoLink', ''));
    var holder = logoLink ? Q.el('a', 'qv-logo', { href: logoLink, target: '_blank', rel: 'noopener noreferrer' })
      : Q.el('span', 'qv-logo');
    var logoImg = Q.el('img', null, { alt: logoLink ? t('logoLink', logoLink) : '', src: logo });
    logoImg.addEventListener('error', function () { holder.remove(); });
    holder.appendChild(logoImg);
    start.appendChild(holder);
  }
  var title = s.text('bookTitle', '');
  if (title) start.appendChild(Q.el('span', 'qv-title', { title: title }, title));
  bar.appendChild(start);

  var nav = Q.el('div', 'qv-bar-nav');
  this.first = Q.iconButton('first', t('first'), function () { viewer.first(); });
  this.previous = Q.iconButton('previous', t('previous'), function () { viewer.previous(); });
  this.next = Q.iconButton('next', t('next'), function () { viewer.next(); });
  this.last = Q.iconButton('last', t('last'), function () { viewer.last(); });
  this.pageBox = new Q.PageBox(viewer);
  [this.first, this.previous, this.pageBox.el, this.next, this.last].forEach(function (n) { nav.appendChild(n); });
  bar.appendChild(nav);

  var end = Q.el('div', 'qv-bar-end');
  this.tools = {};
  var self = this;
  function tool(key, name, label, action) {
    var b = Q.iconButton(name, label, action);
    b.classList.add('qv-button-' + key);
    self.tools[key] = b;
    end.appendChild(b);
    return b;
  }
  tool('search', 'search', t('search'), function () { viewer.openSearch(this); }).hidden = true;
  if (s.bool('showContents', true) && viewer.book.outline.length) {
    tool('contents', 'contents', t('contents'), function () { viewer.togglePanel('contents', this); });
  }
  if (s.bool('showThumbnails', true)) {
    tool('thumbnails', 'thumbnails', t('thumbnails'), function () { viewer.togglePanel('thumbnails', this); });
  }
  if (s.bool('showZoom', true)) {
    tool('zoomOut', 'zoomOut', t('zoomOut'), function () { viewer.zoomStep(-1); });
    tool('zoomIn', 'zoomIn', t('zoomIn'), function () { viewer.zoomStep(1); });
  }
  if (viewer.soundUrl) tool('sound', 'soundOn', t('sound'), function () { viewer.toggleSound(); });
  if (s.bool('showFullscreen', true) && Q.fullscreenSupported()) {
    tool('fullscreen', 'fullscreen', t('fullscreen'), function () { viewer.toggleFullscreen(); });
  }
  if (s.text('aboutText', '')) {
    tool('about', 'about', t('about'), function () { viewer.togglePanel('about', this); });
  }
  if (s.bool('autoFlip', false)) {
    tool('play', 'pause', t('pause'), function () { viewer.toggleAutoFlip(); });
  }
  bar.appendChild(end);
};

Q.Toolbar.prototype.update = function () {
  var v = this.viewer, t = v.t;
  var atStart = v.spreadIndex <= 0, atEnd = v.spreadIndex >= v.spreads.length - 1;
  this.first.disabled = atStart;
  this.previous.disabled = atStart;
  this.next.disabled = atEnd;
  this.last.disabled = atEnd;
  this.pageBox.update();
  this.tools.search.hidden = !v.text.searchable();
  if (this.tools.zoomIn) this.tools.zoomIn.disabled = v.zoom >= Q.ZOOM_MAX - 0.001;
  if (this.tools.zoomOut) this.tools.zoomOut.disabled = v.zoom <= 1.001;
  if (this.tools.fullscreen) {
    var full = Q.isFullscreen();
    this.setIcon(this.tools.fullscreen, full ? 'exitFullscreen' : 'fullscreen', t(full ? 'exitFullscreen' : 'fullscreen'));
    this.tools.fullscreen.setAttribute('aria-pressed', String(full));
  }
  if (this.tools.sound) {
    this.setIcon(this.tools.sound, v.soundOn ? 'soundOn' : 'soundOff', t('sound'));
    this.tools.sound.setAttribute('aria-pressed', String(v.soundOn));
  }
  if (this.tools.play) {
    var on = v.autoFlipOn;
    this.setIcon(this.tools.play, on ? 'pause' : 'play', t(on ? 'pause' : 'play'));
    this.tools.play.setAttribute('aria-pressed', String(on));
  }
  var panel = v.panel ? v.panel.kind : '';
  ['contents', 'thumbnails', 'about', 'search'].forEach(function (kind) {
    if (this.tools[kind]) this.tools[kind].setAttribute('aria-expanded', String(panel === kind));
  }, this);
};

Q.Toolbar.prototype.setIcon = function (button, name, label) {
  if (button.getAttribute('data-icon') === name) return;
  button.setAttribute('data-icon', name);
  button.replaceChild(Q.icon(name), button.querySelector('svg'));
  button.title = label;
  button.setAttribute('aria-label', label);
};

// The page box: shows the pages on show (by their printed labels where the
// book has them) and takes a page to go to. It selects its whole text when
// it gains focus, however it gains it, so typing replaces what was there.
Q.PageBox = function (viewer) {
  var t = viewer.t, self = this;
  this.viewer = viewer;
  this.el = Q.el('label', 'qv-page-entry');
  var input = this.input = Q.el('input', 'qv-page-input', {
    type: 'text', inputmode: 'numeric', autocomplete: 'off', spellcheck: 'false', 'aria-label': t('pageNumber')
  });
  this.total = Q.el('span', 'qv-page-total');
  this.el.appendChild(input);
  this.el.appendChild(this.total);
  input.addEventListener('mousedown', function (event) {
    if (document.activeElement === input) return;
    // Focus without the caret landing where the pointer was.
    event.preventDefault();
    input.focus();
  });
  input.addEventListener('focus', function () { input.select(); });
  input.addEventListener('input', function () {
    var allowed = viewer.text.hasLabels() ? /[^0-9A-Za-z.\-]/g : /[^0-9]/g;
    var clean = input.value.replace(allowed, '');
    if (clean !== input.value) input.value = clean;
  });
  input.addEventListener('keydown', function (event) {
    if (event.key === 'Enter') {
      var position = self.parse(input.value);
      if (position !== null) viewer.jumpTo(position);
      self.update(true);
      input.select();
    } else if (event.key === 'Escape') {
      self.update(true);
      input.blur();
    }
    event.stopPropagation();
  });
  input.addEventListener('blur', function () { self.update(true); });
};

// A printed label first, then a page number counted from 1.
Q.PageBox.prototype.parse = function (text) {
  var value = text.trim();
  if (!value) return null;
  var byLabel = this.viewer.text.positionOfLabel(value);
  if (byLabel !== null) return byLabel;
  if (!/^\d+$/.test(value)) return null;
  var n = parseInt(value, 10);
  return n >= 1 ? Math.min(n, this.viewer.book.pages.length) - 1 : null;
};

// Shows the spread on show unless the reader is typing into the box.
Q.PageBox.prototype.update = function (force) {
  var v = this.viewer, count = v.book.pages.length;
  var labels = v.text.hasLabels();
  if (force || document.activeElement !== this.input || this.input.value === this.shown) {
    this.shown = labels ? v.spreadName() : v.spreadLabel();
    this.input.value = this.shown;
  }
  this.input.setAttribute('inputmode', labels ? 'text' : 'numeric');
  var longest = labels ? v.text.longestLabel() : String(count).length;
  this.input.style.width = ((v.double ? 2 * longest + 1 : longest) + 2) + 'ch';
  this.total.textContent = labels ? v.t('pageOfNumbered', v.spreadLabel(), count) : v.t('pageOf', 0, count);
  this.el.classList.toggle('qv-labelled', labels);
};

Q.fullscreenSupported = function () {
  var d = document.documentElement;
  return !!(d.requestFullscreen || d.webkitRequestFullscreen);
};

Q.isFullscreen = function () {
  return !!(document.fullscreenElement || document.webkitFullscreenElement);
};
