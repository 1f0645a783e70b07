// Raw deflate decoding: a plain canonical-Huffman decoder. A book's
// configuration and each group of its words are a few hundred kilobytes at
// most, which it inflates in a few milliseconds.

Q.inflateRaw = (function () {
  var LENGTH_BASE = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59,
    67, 83, 99, 115, 131, 163, 195, 227, 258];
  var LENGTH_EXTRA = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
  var DIST_BASE = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769,
    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577];
  var DIST_EXTRA = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11,
    12, 12, 13, 13];
  var CLEN_ORDER = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];

  // count[len] = number of codes of each length; symbol = symbols by code.
  function buildTable(lengths, offset, n) {
    var count = new Uint16Array(16);
    var symbol = new Uint16Array(n);
    var s, len;
    for (s = 0; s < n; s++) count[lengths[offset + s]]++;
    if (count[0] === n) return { count: count, symbol: symbol };
    var left = 1;
    for (len = 1; len < 16; len++) {
      left = (left << 1) - count[len];
      if (left < 0) throw Q.damaged('over-subscribed code');
    }
    var next = new Uint16Array(16);
    for (len = 1; len < 15; len++) next[len + 1] = next[len] + count[len];
    for (s = 0; s < n; s++) {
      if (lengths[offset + s] !== 0) symbol[next[lengths[offset + s]]++] = s;
    }
    return { count: count, symbol: symbol };
  }

  var fixedLit = null, fixedDist = null;
  function fixedTables() {
    if (!fixedLit) {
      var l = new Uint8Array(288 + 30);
      var s = 0;
      for (; s < 144; s++) l[s] = 8;
      for (; s < 256; s++) l[s] = 9;
      for (; s < 280; s++) l[s] = 7;
      for (; s < 288; s++) l[s] = 8;
      for (; s < 318; s++) l[s] = 5;
      fixedLit = buildTable(l, 0, 288);
      fixedDist = buildTable(l, 288, 30);
    }
  }

  return function inflateRaw(input, expectedSize) {
    var out = new Uint8Array(expectedSize > 0 ? expectedSize : Math.max(1024, input.length * 4));
    var outPos = 0, inPos = 0, bitBuf = 0, bitCnt = 0;

    function bits(n) {
      while (bitCnt < n) {
        if (inPos >= input.length) throw Q.damaged('compressed data ends early');
        bitBuf |= input[inPos++] << bitCnt;
        bitCnt += 8;
      }
      var v = bitBuf & ((1 << n) - 1);
      bitBuf >>>= n;
      bitCnt -= n;
      return v;
    }

    function room(n) {
      if (outPos + n <= out.length) return;
      var bigger = new Uint8Array(Math.max(out.length * 2, outPos + n));
      bigger.set(out.subarray(0, outPos));
      out = bigger;
    }

    function decode(table) {
      var code = 0, first = 0, index = 0;
      for (var len = 1; len < 16; len++) {
        code |= bits(1);
        var count = table.count[len];
        if (code - first < count) return table.symbol[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
      }
      throw Q.damaged('bad Huffman code');
    }

    function stored() {
      bitBuf = 0;
      bitCnt = 0;
      if (inPos + 4 > input.length) throw Q.damaged('stored block ends early');
      var len = input[inPos] | (input[inPos + 1] << 8);
      var nlen = input[inPos + 2] | (input[inPos + 3] << 8);
      inPos += 4;
      if (len !== (~nlen & 0xffff)) throw Q.damaged('stored block length');
      if (inPos + len > input.length) throw Q.damaged('stored block ends early');
      room(len);
      out.set(input.subarray(inPos, inPos + len), outPos);
      outPos += len;
      inPos += len;
    }

    function codes(lit, dist) {
      for (;;) {
        var sym = decode(lit);
        if (sym < 256) {
          room(1);
          out[outPos++] = sym;
        } else if (sym === 256) {
          return;
        } else {
          sym -= 257;
          if (sym >= 29) throw Q.damaged('bad length code');
          var len = LENGTH_BASE[sym] + bits(LENGTH_EXTRA[sym]);
          var d = decode(dist);
          if (d >= 30) throw Q.damaged('bad distance code');
          var distance = DIST_BASE[d] + bits(DIST_EXTRA[d]);
          if (distance > outPos) throw Q.damaged('distance too far back');
          room(len);
          for (var k = 0; k < len; k++, outPos++) out[outPos] = out[outPos - distance];
        }
      }
    }

    function dynamic() {
      var nlen = bits(5) + 257, ndist = bits(5) + 1, ncode = bits(4) + 4;
      if (nlen > 286 || ndist > 30) throw Q.damaged('bad code counts');
      var lengths = new Uint8Array(320);
      var k;
      for (k = 0; k < ncode; k++) lengths[CLEN_ORDER[k]] = bits(3);
      var lencode = buildTable(lengths, 0, 19);
      lengths = new Uint8Array(320);
      var index = 0;
      while (index < nlen + ndist) {
        var sym = decode(lencode);
        if (sym < 16) {
          lengths[index++] = sym;
        } else {
          var value = 0, repeat;
          if (sym === 16) {
            if (index === 0) throw Q.damaged('repeat without a length');
            value = lengths[index - 1];
            repeat = 3 + bits(2);
          } else if (sym === 17) {
            repeat = 3 + bits(3);
          } else {
            repeat = 11 + bits(7);
          }
          if (index + repeat > nlen + ndist) throw Q.damaged('too many lengths');
          while (repeat--) lengths[index++] = value;
        }
      }
      if (lengths[256] === 0) throw Q.damaged('no end-of-block code');
      codes(buildTable(lengths, 0, nlen), buildTable(lengths, nlen, ndist));
    }

    var last;
    do {
      last = bits(1);
      var type = bits(2);
      if (type === 0) stored();
      else if (type === 1) { fixedTables(); codes(fixedLit, fixedDist); }
      else if (type === 2) dynamic();
      else throw Q.damaged('bad block type');
    } while (!last);
    return out.length === outPos ? out : out.slice(0, outPos);
  };
})();
