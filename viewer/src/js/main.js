// Start-up: open the book, or say clearly why it cannot be shown.

Q.showError = function (root, error, t) {
  var status = root.querySelector('.qv-status');
  if (status) status.remove();
  var kind = error && error.kind;
  var key = kind === 'missing' ? 'errMissing' : kind === 'empty' ? 'errEmpty' : kind === 'host' ? 'errHost' :
    kind === 'browser' ? 'errBrowser' : 'errDamaged';
  var box = Q.el('div', 'qv-error', { role: 'alert' });
  box.appendChild(Q.el('h1', 'qv-error-title', null, t('errorTitle')));
  box.appendChild(Q.el('p', 'qv-error-text', null, t(key)));
  root.appendChild(box);
  root.setAttribute('data-state', 'error');
  root.setAttribute('data-error', kind || 'damaged');
  if (window.console && console.error) console.error('Quire viewer:', error && error.message ? error.message : error);
};

// Opens the book into the root that place() gives once the book is read (or
// has failed to be), so that a reader already on show stays until then,
// with the pictures it hands over. A later opening overrides one still
// reading.
Q.openings = 0;
Q.openBook = function (place, container) {
  var opening = ++Q.openings;
  var browserLanguage = (navigator.language || 'en');
  if (typeof Uint8Array !== 'function' || typeof DOMParser !== 'function' || typeof TextDecoder !== 'function') {
    return Q.showError(place().root, new Q.BookError('browser'), Q.translator(browserLanguage));
  }
  Q.loadBook(function (error, book) {
    if (opening !== Q.openings) return;
    if (error) return Q.showError(place().root, error, Q.translator(browserLanguage));
    var t = Q.translator(book.settings.text('languageSetting', 'en'));
    if (!book.pages.length) return Q.showError(place().root, new Q.BookError('empty'), t);
    var protocol = location.protocol;
    if ((protocol === 'http:' || protocol === 'https:') &&
        !Q.hostAllowed(book.settings.text('allowedHosts', ''), location.hostname)) {
      return Q.showError(place().root, new Q.BookError('host', location.hostname), t);
    }
    var title = book.settings.text('bookTitle', '');
    if (title && !document.title) document.title = title;
    var placed = place();
    try {
      Q.viewer = new Q.Viewer(placed.root, book, placed.pictures);
      if (placed.focused) Q.viewer.stage.focus({ preventScroll: true });
    } catch (e) {
      Q.showError(placed.root, e instanceof Q.BookError ? e : Q.damaged(String(e && e.stack || e)), t);
    }
  }, container);
};

Q.start = function () {
  var root = document.getElementById('qv');
  if (!root) return;
  // The root as the page has it, for a reload to start from.
  Q.pristine = root.cloneNode(true);
  var status = root.querySelector('.qv-status-text');
  if (status) status.textContent = Q.translator(navigator.language || 'en')('loading');
  Q.openBook(function () { return { root: root }; });
};

// The page's host (the application's preview) asks for the book again after
// it rewrote the configuration: the reader on show is replaced by a new one
// on the same page, without loading the page. The host may hand over the
// new container (base64) rather than have it read again. False when the
// reader has not started.
Q.reload = function (container) {
  if (!Q.pristine) return false;
  Q.reloads++;
  Q.mark('quire-reload');
  Q.openBook(function () {
    var pictures = Q.viewer ? Q.viewer.pictures.handOver() : null;
    if (Q.viewer) Q.viewer.dispose();
    Q.viewer = null;
    var old = document.getElementById('qv'), root = Q.pristine.cloneNode(true);
    var focused = old.contains(document.activeElement);
    old.parentNode.replaceChild(root, old);
    // Keys go on reaching the book.
    return { root: root, pictures: pictures, focused: focused };
  }, container);
  return true;
};
window.quireReloadBook = Q.reload;

if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', Q.start);
else Q.start();
