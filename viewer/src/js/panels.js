// Side panels: table of contents, page thumbnails, search, about text.

Q.THUMB_WIDTH = 110;   // CSS pixels of a thumbnail drawn from a page picture

Q.Panel = function (viewer, kind, opener) {
  var t = viewer.t;
  this.viewer = viewer;
  this.kind = kind;
  this.opener = opener || null;
  var titles = { contents: t('contents'), thumbnails: t('thumbnails'), about: t('about'), search: t('search') };
  var el = Q.el('div', 'qv-panel qv-panel-' + kind, { role: 'dialog', 'aria-label': titles[kind] });
  var head = Q.el('div', 'qv-panel-head');
  head.appendChild(Q.el('h2', 'qv-panel-title', null, titles[kind]));
  head.appendChild(Q.iconButton('close', t('close'), function () { viewer.closePanel(); }));
  el.appendChild(head);
  this.body = Q.el('div', 'qv-panel-body');
  el.appendChild(this.body);
  this.el = el;
  el.addEventListener('keydown', function (event) {
    if (event.key === 'Escape') {
      event.stopPropagation();
      viewer.closePanel();
    }
  });
  this.build();
  viewer.root.appendChild(el);
  requestAnimationFrame(function () { el.classList.add('qv-open'); });
  if (kind !== 'search') this.focusFirst();
};

Q.Panel.prototype.build = function () {
  var kind = this.kind;
  if (kind === 'contents') this.buildContents();
  else if (kind === 'thumbnails') this.buildThumbnails();
  else if (kind === 'search') this.buildSearch();
  else this.body.appendChild(Q.el('p', 'qv-about-text', null, this.viewer.book.settings.text('aboutText', '')));
};

// The book's extra files arrived: page labels and thumbnails change what
// the contents and thumbnails show.
Q.Panel.prototype.refresh = function () {
  if (this.kind !== 'contents' && this.kind !== 'thumbnails') return;
  var scroll = this.body.scrollTop;
  if (this.observer) this.observer.disconnect();
  this.viewer.pictures.cancelThumbnails();
  Q.clearChildren(this.body);
  this.build();
  this.body.scrollTop = scroll;
};

Q.Panel.prototype.focusFirst = function () {
  var target = this.body.querySelector('[aria-current="page"]') || this.body.querySelector('button:not([disabled]), a') ||
    this.el.querySelector('button');
  if (target) {
    target.focus({ preventScroll: true });
    if (target.scrollIntoView) target.scrollIntoView({ block: 'center' });
  }
};

// A choice in a panel jumps there, and closes the panel where it would hide
// part of the spread.
Q.Panel.prototype.choose = function (position) {
  this.viewer.jumpTo(position);
  this.viewer.closePanelIfCovering();
};

Q.Panel.prototype.buildContents = function () {
  var viewer = this.viewer, t = viewer.t, self = this;
  var total = 0;
  (function count(list) { list.forEach(function (i) { total++; count(i.children); }); })(viewer.book.outline);
  var expandAll = total <= 40;
  function list(items, depth) {
    var ul = Q.el('ul', 'qv-toc-list', { role: depth === 0 ? 'tree' : 'group' });
    items.forEach(function (item) {
      var li = Q.el('li', 'qv-toc-item', { role: 'treeitem' });
      var row = Q.el('div', 'qv-toc-row');
      var sub = null;
      if (item.children.length) {
        var open = expandAll || depth === 0;
        var toggle = Q.el('button', 'qv-toc-toggle', { type: 'button', 'aria-label': t(open ? 'collapse' : 'expand'),
          'aria-expanded': String(open) });
        toggle.appendChild(Q.icon('chevron'));
        sub = list(item.children, depth + 1);
        sub.hidden = !open;
        toggle.addEventListener('click', function () {
          sub.hidden = !sub.hidden;
          toggle.setAttribute('aria-expanded', String(!sub.hidden));
          toggle.setAttribute('aria-label', t(sub.hidden ? 'expand' : 'collapse'));
        });
        row.appendChild(toggle);
      } else {
        row.appendChild(Q.el('span', 'qv-toc-spacer'));
      }
      var entry = Q.el('button', 'qv-toc-entry', { type: 'button' });
      entry.appendChild(Q.el('span', 'qv-toc-caption', null, item.caption));
      if (item.position >= 0) {
        entry.appendChild(Q.el('span', 'qv-toc-page', null, viewer.pageName(item.position)));
        entry.addEventListener('click', function () { self.choose(item.position); });
      } else {
        entry.disabled = true;
      }
      row.appendChild(entry);
      li.appendChild(row);
      if (sub) li.appendChild(sub);
      ul.appendChild(li);
    });
    return ul;
  }
  if (viewer.book.outline.length) this.body.appendChild(list(viewer.book.outline, 0));
  else this.body.appendChild(Q.el('p', 'qv-empty', null, t('noContents')));
};

// Thumbnails: the book's own small pictures where it has them, else the
// page pictures drawn small; either only once scrolled into view.
Q.Panel.prototype.buildThumbnails = function () {
  var viewer = this.viewer, t = viewer.t, self = this;
  var grid = Q.el('div', 'qv-thumbs');
  var shown = viewer.visiblePositions();
  function show(button) {
    var position = Number(button.getAttribute('data-position')) - 1;
    var frame = button.firstChild;
    if (frame.firstChild) return;
    var url = viewer.text.thumbUrl(position);
    if (url) {
      frame.appendChild(Q.el('img', null, { alt: '', draggable: 'false', decoding: 'async', src: url }));
    } else if (viewer.book.pages[position].url) {
      var canvas = Q.el('canvas', null, { 'aria-hidden': 'true' });
      frame.appendChild(canvas);
      viewer.pictures.thumbnail(position, canvas, Q.THUMB_WIDTH, Q.THUMB_WIDTH / viewer.aspect);
    }
  }
  var observer = 'IntersectionObserver' in window ? new IntersectionObserver(function (entries) {
    entries.forEach(function (e) {
      if (!e.isIntersecting) return;
      show(e.target);
      observer.unobserve(e.target);
    });
  }, { root: this.body, rootMargin: '200px 0px' }) : null;
  this.observer = observer;
  viewer.book.pages.forEach(function (page) {
    var name = viewer.pageName(page.position);
    var button = Q.el('button', 'qv-thumb', { type: 'button', 'aria-label': t('goToPage', name),
      'data-position': String(page.position + 1) });
    if (shown.indexOf(page.position) >= 0) button.setAttribute('aria-current', 'page');
    var frame = Q.el('span', 'qv-thumb-frame');
    frame.style.aspectRatio = String(viewer.aspect);
    button.appendChild(frame);
    button.appendChild(Q.el('span', 'qv-thumb-number', null, name));
    button.addEventListener('click', function () { self.choose(page.position); });
    grid.appendChild(button);
    if (observer) observer.observe(button);
    else show(button);
  });
  this.body.appendChild(grid);
};

// Marks the pages on show after a turn.
Q.Panel.prototype.update = function () {
  if (this.kind !== 'thumbnails') return;
  var shown = this.viewer.visiblePositions();
  var buttons = this.body.querySelectorAll('.qv-thumb');
  for (var i = 0; i < buttons.length; i++) {
    if (shown.indexOf(i) >= 0) buttons[i].setAttribute('aria-current', 'page');
    else buttons[i].removeAttribute('aria-current');
  }
};

Q.Panel.prototype.destroy = function () {
  clearTimeout(this.searchTimer);
  if (this.observer) this.observer.disconnect();
  if (this.kind === 'thumbnails') this.viewer.pictures.cancelThumbnails();
  this.el.remove();
};
