// Which pages show together. Two-page reading puts the first page alone on
// the front side, then pairs; right-to-left books mirror each pair. One-page
// reading shows every page alone, on the front side.

Q.buildSpreads = function (count, double, rtl) {
  var spreads = [];
  function spread(low, high) {
    var s = rtl ? { left: high, right: low } : { left: low, right: high };
    s.low = low >= 0 ? low : high;
    s.high = high >= 0 ? high : low;
    return s;
  }
  if (!double) {
    for (var i = 0; i < count; i++) spreads.push({ left: -1, right: i, low: i, high: i });
    return spreads;
  }
  if (count > 0) spreads.push(spread(-1, 0));
  for (var p = 1; p < count; p += 2) spreads.push(spread(p, p + 1 < count ? p + 1 : -1));
  return spreads;
};

Q.spreadIndexOf = function (spreads, position) {
  for (var i = 0; i < spreads.length; i++) {
    if (position >= spreads[i].low && position <= spreads[i].high) return i;
  }
  return position < 0 ? 0 : spreads.length - 1;
};

// The deep link's page, counted from 1, or null.
Q.pageFromHash = function (hash) {
  var m = /(?:^#|[&#])page=(\d{1,9})(?:&|$)/.exec(hash || '');
  return m ? parseInt(m[1], 10) : null;
};
