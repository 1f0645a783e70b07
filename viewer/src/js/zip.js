// Just enough of ZIP to find one entry through the central directory and
// take its compressed bytes.

Q.crc32 = (function () {
  var table = null;
  return function (bytes) {
    if (!table) {
      table = new Int32Array(256);
      for (var n = 0; n < 256; n++) {
        var c = n;
        for (var k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        table[n] = c;
      }
    }
    var crc = -1;
    for (var i = 0; i < bytes.length; i++) crc = table[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    return (crc ^ -1) >>> 0;
  };
})();

Q.readZipDirectory = function (bytes) {
  function u16(at) {
    if (at + 2 > bytes.length) throw Q.damaged('archive ends early');
    return bytes[at] | (bytes[at + 1] << 8);
  }
  function u32(at) {
    if (at + 4 > bytes.length) throw Q.damaged('archive ends early');
    return (bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (bytes[at + 3] << 24)) >>> 0;
  }
  var eocd = -1;
  for (var at = bytes.length - 22; at >= 0 && at >= bytes.length - 22 - 65535; at--) {
    if (u32(at) === 0x06054b50) { eocd = at; break; }
  }
  if (eocd < 0) throw Q.damaged('no end of central directory');
  var count = u16(eocd + 10);
  var offset = u32(eocd + 16);
  var names = new TextDecoder('utf-8');
  var entries = [];
  for (var e = 0; e < count; e++) {
    if (u32(offset) !== 0x02014b50) throw Q.damaged('bad central directory');
    var nameLength = u16(offset + 28);
    if (offset + 46 + nameLength > bytes.length) throw Q.damaged('archive ends early');
    entries.push({
      name: names.decode(bytes.subarray(offset + 46, offset + 46 + nameLength)),
      method: u16(offset + 10),
      crc: u32(offset + 16),
      compressedSize: u32(offset + 20),
      size: u32(offset + 24),
      localOffset: u32(offset + 42)
    });
    offset += 46 + nameLength + u16(offset + 30) + u16(offset + 32);
  }
  entries.localData = function (entry) {
    var local = entry.localOffset;
    if (u32(local) !== 0x04034b50) throw Q.damaged('bad local header');
    var start = local + 30 + u16(local + 26) + u16(local + 28);
    if (start + entry.compressedSize > bytes.length) throw Q.damaged('entry ends early');
    return bytes.subarray(start, start + entry.compressedSize);
  };
  return entries;
};
