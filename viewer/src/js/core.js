// Small DOM and error helpers shared by every part of the viewer.

Q.BookError = function (kind, detail) {
  this.kind = kind;          // "missing", "damaged", "empty", "host"
  this.detail = detail || '';
  this.message = kind + (detail ? ': ' + detail : '');
};
Q.BookError.prototype = Object.create(Error.prototype);
Q.BookError.prototype.name = 'BookError';

Q.damaged = function (detail) {
  return new Q.BookError('damaged', detail);
};

// Creates an element with a class and attributes; never parses markup.
Q.el = function (tag, className, attrs, text) {
  var node = document.createElement(tag);
  if (className) node.className = className;
  if (attrs) {
    Object.keys(attrs).forEach(function (name) {
      if (attrs[name] !== null && attrs[name] !== undefined) node.setAttribute(name, attrs[name]);
    });
  }
  if (text !== undefined && text !== null) node.textContent = text;
  return node;
};

// Files the page's host may rewrite under the same name while the page is
// open (the configuration, a template's pictures and sound): once the book
// has been reloaded in place they are asked for with a query of their own,
// so that no copy the browser keeps stands in for them. Addresses of files
// on disk ignore the query.
Q.reloads = 0;
Q.fresh = function (url) {
  return url && Q.reloads ? url + '?r=' + Q.reloads : url;
};

// A performance mark set afresh, so that the page's observers see each one.
Q.mark = function (name) {
  if (!window.performance || !performance.mark) return;
  if (performance.clearMarks) performance.clearMarks(name);
  performance.mark(name);
};

Q.clearChildren = function (node) {
  while (node.firstChild) node.removeChild(node.firstChild);
};

Q.clamp = function (value, min, max) {
  return value < min ? min : value > max ? max : value;
};

// Direct element children with a given name, in document order.
Q.childElements = function (node, name) {
  var out = [];
  if (!node) return out;
  for (var c = node.firstChild; c; c = c.nextSibling) {
    if (c.nodeType === 1 && (!name || c.nodeName === name)) out.push(c);
  }
  return out;
};

Q.firstChildElement = function (node, name) {
  if (!node) return null;
  for (var c = node.firstChild; c; c = c.nextSibling) {
    if (c.nodeType === 1 && c.nodeName === name) return c;
  }
  return null;
};

Q.childText = function (node, name) {
  var c = Q.firstChildElement(node, name);
  return c ? c.textContent : null;
};
