// The book as "book.xml" describes it: settings, pages, outline and links.

Q.parseBook = function (xmlText) {
  var doc = new DOMParser().parseFromString(xmlText, 'application/xml');
  var root = doc.documentElement;
  if (!root || doc.getElementsByTagName('parsererror').length || root.nodeName !== 'flipbook') {
    throw Q.damaged('book.xml is not a book');
  }

  var items = Q.readItems(Q.firstChildElement(root, 'extConfig'));

  var pages = [];
  var positionOfNumber = {};
  Q.childElements(Q.firstChildElement(root, 'pages'), 'page').forEach(function (page) {
    // The configuration's large and thumbnail addresses are the normal
    // picture's: thumbnails come from the book's extra files or are drawn.
    var normal = Q.childText(page, 'normalUrl');
    if (!Q.isRelativeUrl(normal)) normal = null;
    var entry = {
      position: pages.length,
      url: normal,
      hard: page.getAttribute('isHardPage') === 'true',
      number: Q.pageNumberFromUrl(normal)
    };
    if (entry.number !== null && !Object.prototype.hasOwnProperty.call(positionOfNumber, entry.number)) {
      positionOfNumber[entry.number] = entry.position;
    }
    pages.push(entry);
  });

  function positionForNumber(number) {
    return Object.prototype.hasOwnProperty.call(positionOfNumber, number) ? positionOfNumber[number] : -1;
  }

  function readOutline(parent) {
    return Q.childElements(parent, 'o').map(function (o) {
      var number = Q.parseInteger(Q.childText(o, 'p') || '');
      return {
        caption: Q.childText(o, 'c') || '',
        position: number === null ? -1 : positionForNumber(number),
        children: readOutline(Q.firstChildElement(o, 'ci'))
      };
    });
  }
  var ols = Q.firstChildElement(root, 'ols');
  var outline = ols ? readOutline(ols) : [];

  var links = {};
  Q.childElements(Q.firstChildElement(root, 'pagesAnnos'), 'pageAnnos').forEach(function (pageAnnos) {
    var index = Q.parseInteger(pageAnnos.getAttribute('pageIndex') || '');
    if (index === null || index < 1 || index > pages.length) return;
    var list = links[index - 1] || (links[index - 1] = []);
    Q.childElements(pageAnnos, 'anno').forEach(function (anno) {
      var link = Q.parseLink(anno, positionForNumber);
      if (link) list.push(link);
    });
  });

  return {
    settings: new Q.Settings(items),
    pages: pages,
    outline: outline,
    links: links
  };
};

// The template values of an "extConfig" element by name, the first of a
// name counting.
Q.readItems = function (extConfig) {
  var items = {};
  Q.childElements(extConfig, 'item').forEach(function (item) {
    var name = item.getAttribute('name');
    if (name !== null && !Object.prototype.hasOwnProperty.call(items, name)) items[name] = item.textContent;
  });
  return items;
};

// A book read again with only its template values changed (the
// application's preview after Apply) keeps the pages, outline and links read
// the time before: the rest of its text is the same, and parsing the whole
// of a long book's text is the slowest part of reading it again.
Q.readBook = function (xmlText) {
  var close = '</extConfig>', start = xmlText.indexOf('<extConfig>'), end = xmlText.indexOf(close);
  var parts = start >= 0 && end > start ? { before: xmlText.slice(0, start), after: xmlText.slice(end + close.length) }
    : null;
  var last = Q.lastRead, book = null;
  if (parts && last && parts.before === last.before && parts.after === last.after) {
    var doc = new DOMParser().parseFromString(xmlText.slice(start, end + close.length), 'application/xml');
    if (!doc.getElementsByTagName('parsererror').length && doc.documentElement.nodeName === 'extConfig') {
      book = { settings: new Q.Settings(Q.readItems(doc.documentElement)), pages: last.book.pages,
        outline: last.book.outline, links: last.book.links };
    }
  }
  if (!book) book = Q.parseBook(xmlText);
  Q.lastRead = parts ? { before: parts.before, after: parts.after, book: book } : null;
  return book;
};

// One "anno": its area as fractions of the page, and what it does. Links
// whose address is not http, https or mailto keep their area but do nothing.
Q.parseLink = function (anno, positionForNumber) {
  var location = Q.firstChildElement(anno, 'location');
  var action = Q.firstChildElement(anno, 'action');
  if (!location || !action) return null;
  function fraction(name) {
    var v = parseFloat(location.getAttribute(name));
    return isFinite(v) ? v : NaN;
  }
  var x = fraction('x'), y = fraction('y'), w = fraction('width'), h = fraction('height');
  if (!(w > 0 && h > 0) || isNaN(x) || isNaN(y)) return null;
  var left = Q.clamp(x, 0, 1), top = Q.clamp(y, 0, 1);
  var right = Q.clamp(x + w, 0, 1), bottom = Q.clamp(y + h, 0, 1);
  if (right <= left || bottom <= top) return null;
  var link = { x: left, y: top, width: right - left, height: bottom - top, kind: 'none' };
  var type = action.getAttribute('actionType') || '';
  if (/TAnnoActionOpenURL$/.test(type)) {
    var raw = Q.childText(action, 'url');
    link.url = Q.safeLinkUrl(raw);
    link.kind = link.url ? 'url' : 'blocked';
  } else if (/TAnnoActionGotoPage$/.test(type)) {
    var number = Q.parseInteger(Q.childText(action, 'pageIndex') || '');
    link.position = number === null ? -1 : positionForNumber(number);
    link.kind = link.position >= 0 ? 'page' : 'none';
  }
  return link;
};
