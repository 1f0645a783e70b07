// Searching the book's words: a field in a panel (Ctrl+F), the hits listed
// with their page and the words around them. Choosing a hit turns to its
// spread and marks its words on the page. Case and accents are ignored.

Q.MAX_HITS = 500;
Q.SNIPPET_WORDS = 6;

Q.normalizeText = function (text) {
  var s = String(text).toLowerCase();
  if (s.normalize) s = s.normalize('NFD').replace(/[\u0300-\u036f]/g, '');
  return s.replace(/[\u2018\u2019\u02bc]/g, '\'').replace(/[\u201c\u201d]/g, '"').replace(/[\u2010-\u2015]/g, '-');
};

// The page's words as one normalized text, with where each word starts.
Q.indexPage = function (page) {
  var text = '', starts = [];
  page.words.forEach(function (w) {
    starts.push(text.length);
    text += Q.normalizeText(w.text) + ' ';
  });
  return { text: text, starts: starts };
};

// The hits of a query on a page: the first and last word of each.
Q.findHits = function (page, query) {
  var q = Q.normalizeText(query).replace(/\s+/g, ' ').trim();
  if (!q) return [];
  var index = page.index || (page.index = Q.indexPage(page));
  function wordAt(offset) {
    var lo = 0, hi = index.starts.length - 1;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (index.starts[mid] <= offset) lo = mid;
      else hi = mid - 1;
    }
    return lo;
  }
  var hits = [], at = index.text.indexOf(q);
  while (at >= 0) {
    hits.push({ first: wordAt(at), last: wordAt(at + q.length - 1) });
    at = index.text.indexOf(q, at + q.length);
  }
  return hits;
};

Q.Viewer.prototype.openSearch = function (opener) {
  if (!this.text.searchable()) return;
  if (!this.panel || this.panel.kind !== 'search') this.togglePanel('search', opener || null);
  var input = this.panel.el.querySelector('.qv-search-input');
  input.focus();
  input.select();
};

// Finds a query in every page with words, fetching the words first.
Q.Viewer.prototype.runSearch = function (query, progress, done) {
  var self = this, run = this.searchRun = {};
  this.text.loadAll(progress, function () {
    if (self.searchRun !== run) return;
    var results = [], total = 0;
    for (var p = 0; p < self.book.pages.length; p++) {
      var page = self.text.page(p);
      if (!page) continue;
      Q.findHits(page, query).forEach(function (hit) {
        total++;
        if (results.length < Q.MAX_HITS) results.push({ position: p, first: hit.first, last: hit.last });
      });
    }
    self.search = { query: query, results: results, total: total, current: null };
    self.refreshText();
    done(self.search);
  });
};

Q.Viewer.prototype.showHit = function (hit) {
  this.search.current = hit;
  this.jumpTo(hit.position);
  this.refreshText();
  this.closePanelIfCovering();
};

// Rebuilds the text layers of the pages on show (new search marks).
Q.Viewer.prototype.refreshText = function () {
  this.visiblePositions().forEach(function (p) { this.textArrived(p); }, this);
};

// The words around a hit, the hit's own apart.
Q.snippet = function (page, hit) {
  function words(from, to) {
    return page.words.slice(Math.max(0, from), Math.max(0, to)).map(function (w) { return w.text; }).join(' ');
  }
  return {
    before: (hit.first > Q.SNIPPET_WORDS ? '\u2026 ' : '') + words(hit.first - Q.SNIPPET_WORDS, hit.first),
    hit: words(hit.first, hit.last + 1),
    after: words(hit.last + 1, hit.last + 1 + Q.SNIPPET_WORDS) +
      (hit.last + 1 + Q.SNIPPET_WORDS < page.words.length ? ' \u2026' : '')
  };
};

Q.Panel.prototype.buildSearch = function () {
  var viewer = this.viewer, t = viewer.t, self = this;
  var form = Q.el('form', 'qv-search-form', { role: 'search' });
  var input = Q.el('input', 'qv-search-input', { type: 'search', 'aria-label': t('searchLabel'),
    placeholder: t('searchLabel'), autocomplete: 'off', spellcheck: 'false' });
  form.appendChild(input);
  this.searchStatus = Q.el('p', 'qv-search-status', { role: 'status' });
  this.searchList = Q.el('ol', 'qv-search-results', { 'aria-label': t('searchResults') });
  this.body.appendChild(form);
  this.body.appendChild(this.searchStatus);
  this.body.appendChild(this.searchList);
  var asked = null;
  function run() {
    clearTimeout(self.searchTimer);
    var query = input.value.trim();
    if (query === asked) return;
    asked = query;
    Q.clearChildren(self.searchList);
    if (!query) {
      viewer.search = null;
      viewer.searchRun = null;
      viewer.refreshText();
      self.searchStatus.textContent = '';
      return;
    }
    self.searchStatus.textContent = t('searching');
    viewer.runSearch(query, function (done, all) {
      self.searchStatus.textContent = t('searchingPages', done, all);
    }, function (search) {
      self.showResults(search);
    });
  }
  input.addEventListener('input', function () {
    clearTimeout(self.searchTimer);
    self.searchTimer = setTimeout(run, 300);
  });
  // Enter searches, and once the hits are listed goes to the next one.
  form.addEventListener('submit', function (event) {
    event.preventDefault();
    var search = viewer.search;
    if (search && search.query === input.value.trim() && asked === search.query && search.results.length) {
      var buttons = self.searchList.querySelectorAll('.qv-search-hit');
      var current = self.searchList.querySelector('[aria-current]');
      var next = Array.prototype.indexOf.call(buttons, current) + 1;
      buttons[next % buttons.length].click();
      return;
    }
    run();
  });
  input.addEventListener('keydown', function (event) {
    if (event.key === 'ArrowDown') {
      var first = self.searchList.querySelector('button');
      if (first) first.focus();
      event.preventDefault();
    }
  });
  this.searchList.addEventListener('keydown', function (event) {
    if (event.key !== 'ArrowDown' && event.key !== 'ArrowUp') return;
    var buttons = Array.prototype.slice.call(self.searchList.querySelectorAll('button'));
    var i = buttons.indexOf(document.activeElement) + (event.key === 'ArrowDown' ? 1 : -1);
    if (i < 0) input.focus();
    else if (buttons[i]) buttons[i].focus();
    event.preventDefault();
  });
  if (viewer.search) {
    input.value = viewer.search.query;
    asked = viewer.search.query;
    this.showResults(viewer.search);
  }
};

Q.Panel.prototype.showResults = function (search) {
  var viewer = this.viewer, t = viewer.t, list = this.searchList;
  Q.clearChildren(list);
  this.searchStatus.textContent = !search.total ? t('noHits', search.query) :
    search.total > search.results.length ? t('manyHits', search.total, search.results.length) : t('hits', search.total);
  search.results.forEach(function (hit) {
    var page = viewer.text.page(hit.position), parts = Q.snippet(page, hit);
    var item = Q.el('li', 'qv-search-item');
    var button = Q.el('button', 'qv-search-hit', { type: 'button' });
    button.appendChild(Q.el('span', 'qv-search-page', null, t('page', viewer.pageName(hit.position))));
    var words = Q.el('span', 'qv-search-words');
    words.appendChild(document.createTextNode(parts.before + ' '));
    words.appendChild(Q.el('mark', null, null, parts.hit));
    words.appendChild(document.createTextNode(' ' + parts.after));
    button.appendChild(words);
    if (search.current && search.current.position === hit.position && search.current.first === hit.first) {
      button.setAttribute('aria-current', 'true');
    }
    button.addEventListener('click', function () {
      var previous = list.querySelector('[aria-current]');
      if (previous) previous.removeAttribute('aria-current');
      button.setAttribute('aria-current', 'true');
      if (button.scrollIntoView) button.scrollIntoView({ block: 'nearest' });
      viewer.showHit(hit);
    });
    item.appendChild(button);
    list.appendChild(item);
  });
};
