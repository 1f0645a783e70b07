// The address: "#page=N" names the spread on show. Turning pages rewrites
// the current history entry; a jump adds one, so the browser's Back button
// returns to where the reader was instead of leaving the book.

Q.addressOf = function (viewer, index) {
  return '#page=' + (viewer.spreads[index].low + 1);
};

Q.Viewer.prototype.keepHash = function () {
  var hash = Q.addressOf(this, this.spreadIndex);
  if (location.hash === hash) return;
  try {
    history.replaceState(history.state, '', hash);
  } catch (e) {
    try { location.replace(hash); } catch (e2) { /* the address stays as it is */ }
  }
};

Q.Viewer.prototype.pushAddress = function (index) {
  this.keepHash();
  var hash = Q.addressOf(this, index);
  if (location.hash === hash) return;
  try {
    history.pushState(null, '', hash);
  } catch (e) {
    try { location.hash = hash; } catch (e2) { /* no history entry */ }
  }
};

// Back, Forward and addresses typed or followed while the book is open.
Q.Viewer.prototype.followAddress = function () {
  var self = this;
  function follow() {
    var n = Q.pageFromHash(location.hash);
    if (n === null) return;
    var index = self.spreadOf(n - 1);
    if (index !== self.settledIndex()) self.goToSpread(index, true);
  }
  this.listen(window, 'hashchange', follow);
  this.listen(window, 'popstate', follow);
};
