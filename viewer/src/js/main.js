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

Q.start = function () {
  var root = document.getElementById('qv');
  if (!root) return;
  var browserLanguage = (navigator.language || 'en');
  if (typeof Uint8Array !== 'function' || typeof DOMParser !== 'function' || typeof TextDecoder !== 'function') {
    return Q.showError(root, new Q.BookError('browser'), Q.translator(browserLanguage));
  }
  var status = root.querySelector('.qv-status-text');
  if (status) status.textContent = Q.translator(browserLanguage)('loading');
  Q.loadBook(function (error, book) {
    if (error) return Q.showError(root, error, Q.translator(browserLanguage));
    var t = Q.translator(book.settings.text('languageSetting', 'en'));
    if (!book.pages.length) return Q.showError(root, new Q.BookError('empty'), t);
    var protocol = location.protocol;
    if ((protocol === 'http:' || protocol === 'https:') &&
        !Q.hostAllowed(book.settings.text('allowedHosts', ''), location.hostname)) {
      return Q.showError(root, new Q.BookError('host', location.hostname), t);
    }
    var title = book.settings.text('bookTitle', '');
    if (title && !document.title) document.title = title;
    try {
      Q.viewer = new Q.Viewer(root, book);
    } catch (e) {
      Q.showError(root, e instanceof Q.BookError ? e : Q.damaged(String(e && e.stack || e)), t);
    }
  });
};

if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', Q.start);
else Q.start();
