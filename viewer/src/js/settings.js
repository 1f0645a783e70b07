// Reading template property values. Every value arrives as text; nothing read
// here is ever inserted as markup, and colours, files and addresses are
// checked before they reach a style or an attribute.

// The system's truth test: exact words in any case, no trimming.
Q.valueAsBool = function (text) {
  if (text === null || text === undefined) return false;
  var upper = String(text).toUpperCase();
  return upper === 'YES' || upper === 'SHOW' || upper === 'ENABLE' || upper === 'TRUE';
};

// "0x" and six hexadecimal digits; gives a CSS colour or null.
Q.parseColour = function (text) {
  if (typeof text !== 'string') return null;
  var m = /^0x([0-9a-fA-F]{6})$/.exec(text);
  return m ? '#' + m[1].toLowerCase() : null;
};

Q.parseInteger = function (text) {
  if (typeof text !== 'string') return null;
  var m = /^\s*([+-]?\d{1,9})(\.\d*)?\s*$/.exec(text);
  return m ? parseInt(m[1], 10) : null;
};

// Absolute addresses a reader may be sent to: http, https and mailto only.
Q.safeLinkUrl = function (text) {
  if (typeof text !== 'string') return null;
  var trimmed = text.trim();
  if (!trimmed || /[\u0000-\u001f]/.test(trimmed)) return null;
  var url;
  try {
    url = new URL(trimmed);
  } catch (e) {
    return null;
  }
  if (url.protocol === 'http:' || url.protocol === 'https:') return url.host ? url.href : null;
  if (url.protocol === 'mailto:') return url.href;
  return null;
};

// A file the publisher copied for a file-typed property: "./files/extfiles/"
// + key + "." + extension. An empty value leaves the text ending in a dot and
// no file behind it, which means "none".
Q.extFileUrl = function (text, extensions) {
  if (typeof text !== 'string') return null;
  var m = /^\.\/files\/extfiles\/[A-Za-z0-9_-]+\.([A-Za-z0-9]+)$/.exec(text);
  if (!m) return null;
  return extensions.indexOf(m[1].toLowerCase()) >= 0 ? Q.fresh(text) : null;
};

Q.IMAGE_EXTENSIONS = ['jpg', 'jpeg', 'png', 'gif', 'webp'];
Q.SOUND_EXTENSIONS = ['mp3', 'wav', 'ogg', 'm4a'];

// A font list of family names only (letters, digits, blanks, commas, quotes
// and hyphens), so nothing else can reach the style sheet.
Q.safeFontFamily = function (text) {
  if (typeof text !== 'string') return null;
  var trimmed = text.trim();
  if (!trimmed || trimmed.length > 200 || !/^[A-Za-z0-9 ,'"_-]+$/.test(trimmed)) return null;
  return trimmed;
};

// The page's document number from its URL ("./files/page/12.jpg" gives 12).
Q.pageNumberFromUrl = function (url) {
  if (typeof url !== 'string') return null;
  var m = /(?:^|\/)(\d+)(?:\.[A-Za-z0-9]*)?$/.exec(url);
  return m ? parseInt(m[1], 10) : null;
};

// A page picture address must stay inside the book: relative, no scheme.
Q.isRelativeUrl = function (url) {
  return typeof url === 'string' && url.length > 0 && !/^[A-Za-z][A-Za-z0-9+.-]*:/.test(url) &&
    url.indexOf('//') !== 0 && url.indexOf('\\') < 0;
};

// Whether a host may show the book; an empty list allows every host.
Q.hostAllowed = function (listText, hostname) {
  if (typeof listText !== 'string' || !listText.trim()) return true;
  var host = String(hostname || '').toLowerCase();
  return listText.split(',').some(function (entry) {
    var name = entry.trim().toLowerCase();
    if (!name) return false;
    return host === name || host.slice(-(name.length + 1)) === '.' + name;
  });
};

// The settings of one book, read from its "extConfig" items by name (the
// first item of a name counts, as in the template's own lookups).
Q.Settings = function (items) {
  this.items = items || {};
};

Q.Settings.prototype.text = function (key, fallback) {
  return Object.prototype.hasOwnProperty.call(this.items, key) ? this.items[key] : fallback;
};

Q.Settings.prototype.bool = function (key, fallback) {
  if (!Object.prototype.hasOwnProperty.call(this.items, key)) return fallback;
  return Q.valueAsBool(this.items[key]);
};

Q.Settings.prototype.colour = function (key, fallback) {
  return Q.parseColour(this.items[key]) || fallback;
};

Q.Settings.prototype.integer = function (key, fallback, min, max) {
  var n = Q.parseInteger(this.items[key]);
  if (n === null) return fallback;
  return Q.clamp(n, min, max);
};

Q.Settings.prototype.number = function (key, fallback, min, max) {
  var text = this.items[key];
  var n = typeof text === 'string' && /^\s*\d+(\.\d+)?\s*$/.test(text) ? parseFloat(text) : NaN;
  if (!isFinite(n)) return fallback;
  return Q.clamp(n, min, max);
};

Q.Settings.prototype.choice = function (key, choices, fallback) {
  var value = this.items[key];
  return choices.indexOf(value) >= 0 ? value : fallback;
};
