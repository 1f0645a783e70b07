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
