// Keys and the mouse wheel. Arrows turn the right-hand or left-hand page,
// Page Down and Page Up read on or back, Home and End go to the covers, +
// and - zoom, Ctrl+F searches the book's text, Escape closes a panel and
// then leaves zoom. The wheel turns pages while the book is at rest and
// scrolls it when zoomed; with Ctrl held it zooms.

Q.WHEEL_TURN = 40;      // pixels of wheel travel that turn a page
Q.WHEEL_QUIET_MS = 200; // a pause that ends one wheel gesture

Q.Keys = function (viewer) {
  this.viewer = viewer;
  this.wheelTravel = 0;
  this.wheelLocked = false;
  var self = this;
  viewer.listen(document, 'keydown', function (e) { self.key(e); });
  viewer.stage.addEventListener('wheel', function (e) { self.wheel(e); }, { passive: false });
};

Q.Keys.prototype.dispose = function () {
  clearTimeout(this.wheelTimer);
};

Q.Keys.prototype.key = function (e) {
  var v = this.viewer;
  if (e.defaultPrevented || e.altKey) return;
  if ((e.ctrlKey || e.metaKey) && !e.shiftKey && (e.key === 'f' || e.key === 'F')) {
    if (!v.text.searchable()) return;
    e.preventDefault();
    v.openSearch();
    return;
  }
  if (e.ctrlKey || e.metaKey) return;
  var target = e.target;
  if (target && (target.tagName === 'INPUT' || target.tagName === 'TEXTAREA' || target.isContentEditable)) return;
  var inPanel = target && target.closest && target.closest('.qv-panel');
  var handled = true;
  switch (e.key) {
    case 'ArrowRight': if (inPanel) handled = false; else v.turnSide(true); break;
    case 'ArrowLeft': if (inPanel) handled = false; else v.turnSide(false); break;
    case 'PageDown': v.next(); break;
    case 'PageUp': v.previous(); break;
    case 'Home': if (inPanel) handled = false; else v.first(); break;
    case 'End': if (inPanel) handled = false; else v.last(); break;
    case '+': case '=': v.zoomStep(1); break;
    case '-': case '_': v.zoomStep(-1); break;
    case 'Escape':
      if (v.panel) v.closePanel();
      else if (v.zoom > 1.001) v.zoomTo(1);
      else handled = false;
      break;
    default: handled = false;
  }
  if (handled) e.preventDefault();
};

Q.Keys.prototype.wheel = function (e) {
  var v = this.viewer;
  var unit = e.deltaMode === 1 ? 16 : e.deltaMode === 2 ? 400 : 1;
  var dx = e.deltaX * unit, dy = e.deltaY * unit;
  if (e.ctrlKey || e.metaKey) {
    e.preventDefault();
    v.zoomTo(v.zoom * Math.exp(-dy * 0.0025), e.clientX, e.clientY);
    return;
  }
  if (v.zoom > 1.001) return;   // the stage scrolls
  e.preventDefault();
  var self = this;
  clearTimeout(this.wheelTimer);
  this.wheelTimer = setTimeout(function () {
    self.wheelLocked = false;
    self.wheelTravel = 0;
  }, Q.WHEEL_QUIET_MS);
  // One turn per wheel gesture: a trackpad's glide does not turn on.
  if (this.wheelLocked) return;
  this.wheelTravel += Math.abs(dy) >= Math.abs(dx) ? dy : (v.rtl ? -dx : dx);
  if (Math.abs(this.wheelTravel) < Q.WHEEL_TURN) return;
  this.wheelLocked = true;
  if (this.wheelTravel > 0) v.next();
  else v.previous();
  this.wheelTravel = 0;
};
