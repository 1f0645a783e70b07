// The viewer's pure parts, run in Node from the same sources the pages
// inline: cipher, ZIP reader, inflater, settings, spreads, fold geometry,
// picture sizes, the pages' words and search, and the shape of every
// shipped template page.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const vm = require('vm');
const zlib = require('zlib');
const crypto = require('crypto');

const source = process.env.QUIRE_SOURCE_DIR || path.resolve(__dirname, '..', '..');
const build = require(path.join(source, 'viewer', 'build.js'));

function loadViewer() {
  const context = vm.createContext({ TextDecoder, URL, console, window: {} });
  vm.runInContext('var Q = {};\n' + build.scriptText(['core.js', 'settings.js', 'i18n.js', 'rc4.js', 'inflate.js',
    'zip.js', 'geometry.js', 'spreads.js', 'pictures.js', 'booktext.js', 'viewer.js', 'panels.js', 'search.js']) +
    '\nthis.Q = Q;', context);
  return context.Q;
}
const Q = loadViewer();

// A reference CRC-32 of our own (zlib.crc32 needs a newer Node than
// Debian ships).
function crc32(bytes) {
  let crc = 0xffffffff;
  for (const b of bytes) {
    crc ^= b;
    for (let k = 0; k < 8; k++) crc = crc & 1 ? (crc >>> 1) ^ 0xedb88320 : crc >>> 1;
  }
  return (crc ^ 0xffffffff) >>> 0;
}

function zipOf(entries, comment) {
  const locals = [], centrals = [];
  let offset = 0;
  for (const e of entries) {
    const name = Buffer.from(e.name);
    const data = e.method === 0 ? e.data : zlib.deflateRawSync(e.data);
    const extra = Buffer.from([0x55, 0x54, 0x01, 0x00, 0x07]);
    const lh = Buffer.alloc(30);
    lh.writeUInt32LE(0x04034b50, 0); lh.writeUInt16LE(20, 4); lh.writeUInt16LE(e.method, 8);
    lh.writeUInt32LE(crc32(e.data), 14); lh.writeUInt32LE(data.length, 18); lh.writeUInt32LE(e.data.length, 22);
    lh.writeUInt16LE(name.length, 26); lh.writeUInt16LE(extra.length, 28);
    const ch = Buffer.alloc(46);
    ch.writeUInt32LE(0x02014b50, 0); ch.writeUInt16LE(20, 4); ch.writeUInt16LE(20, 6); ch.writeUInt16LE(e.method, 10);
    ch.writeUInt32LE(crc32(e.data), 16); ch.writeUInt32LE(data.length, 20); ch.writeUInt32LE(e.data.length, 24);
    ch.writeUInt16LE(name.length, 28); ch.writeUInt32LE(offset, 42);
    const local = Buffer.concat([lh, name, extra, data]);
    locals.push(local);
    centrals.push(Buffer.concat([ch, name]));
    offset += local.length;
  }
  const cd = Buffer.concat(centrals);
  const note = Buffer.from(comment || '');
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054b50, 0); end.writeUInt16LE(entries.length, 8); end.writeUInt16LE(entries.length, 10);
  end.writeUInt32LE(cd.length, 12); end.writeUInt32LE(offset, 16); end.writeUInt16LE(note.length, 20);
  return new Uint8Array(Buffer.concat([...locals, cd, end, note]));
}

function damagedError(fn) {
  assert.throws(fn, (e) => e && e.kind === 'damaged');
}

test('RC4 gives the published test vectors and deciphers what it enciphers', () => {
  const hex = (u8) => Buffer.from(u8).toString('hex');
  assert.equal(hex(Q.rc4('Key', Buffer.from('Plaintext'))), 'bbf316e8d940af0ad3');
  assert.equal(hex(Q.rc4('Wiki', Buffer.from('pedia'))), '1021bf0420');
  const data = crypto.randomBytes(5000);
  const sealed = Q.rc4(Q.BOOK_KEY, data);
  assert.notEqual(hex(sealed), data.toString('hex'));
  assert.equal(hex(Q.rc4('leafcase-key-01', sealed)), data.toString('hex'));
});

test('the inflater decodes what zlib deflates, at every level and block kind', () => {
  const text = Buffer.from(fs.readFileSync(path.join(source, 'viewer', 'src', 'js', 'viewer.js')));
  const samples = [Buffer.alloc(0), Buffer.from('a'), Buffer.from('abcabcabcabcabcabcabc'), crypto.randomBytes(70000),
    Buffer.alloc(100000, 7), text, Buffer.concat([text, crypto.randomBytes(3000), text])];
  for (const sample of samples) {
    for (const level of [0, 1, 6, 9]) {
      for (const strategy of [zlib.constants.Z_DEFAULT_STRATEGY, zlib.constants.Z_FIXED, zlib.constants.Z_HUFFMAN_ONLY]) {
        const packed = zlib.deflateRawSync(sample, { level, strategy });
        const out = Q.inflateRaw(new Uint8Array(packed), sample.length);
        assert.equal(Buffer.from(out).compare(sample), 0, 'length ' + sample.length + ' level ' + level);
        // Without a size hint the buffer grows as needed.
        assert.equal(Buffer.from(Q.inflateRaw(new Uint8Array(packed), 0)).compare(sample), 0);
      }
    }
  }
});

test('the inflater reports damage instead of returning garbage', () => {
  const packed = new Uint8Array(zlib.deflateRawSync(Buffer.from('hello hello hello hello world'.repeat(40))));
  damagedError(() => Q.inflateRaw(packed.subarray(0, packed.length - 5), 0));
  damagedError(() => Q.inflateRaw(new Uint8Array([0x07]), 0));              // block type 3
  damagedError(() => Q.inflateRaw(new Uint8Array([0x01, 0x05, 0x00, 0x00, 0x00]), 0)); // stored, bad NLEN
  damagedError(() => Q.inflateRaw(new Uint8Array(0), 0));
});

test('the ZIP reader finds an entry through the central directory', () => {
  const xml = Buffer.from('<flipbook count="0"><extConfig/><pages/></flipbook>'.repeat(20));
  const archive = zipOf([{ name: 'other.txt', data: Buffer.from('x'), method: 0 },
    { name: 'book.xml', data: xml, method: 8 }], 'a comment after the directory');
  const entries = Q.readZipDirectory(archive);
  assert.deepEqual(Array.from(entries, (e) => e.name), ['other.txt', 'book.xml']);
  const entry = entries[1];
  assert.equal(entry.method, 8);
  assert.equal(entry.size, xml.length);
  assert.equal(entry.crc, crc32(xml));
  const data = entries.localData(entry);
  assert.equal(data.length, entry.compressedSize);
  assert.equal(Buffer.from(Q.inflateRaw(data, entry.size)).compare(xml), 0);
  assert.equal(Q.crc32(xml), crc32(xml));
  assert.equal(Q.crc32(Buffer.from('123456789')), 0xcbf43926);
  assert.equal(Buffer.from(entries.localData(entries[0])).toString(), 'x');
});

test('a truncated, foreign or wrongly keyed archive is damaged', () => {
  const archive = zipOf([{ name: 'book.xml', data: Buffer.from('<flipbook/>'), method: 8 }]);
  damagedError(() => Q.readZipDirectory(archive.subarray(0, archive.length - 10)));
  damagedError(() => Q.readZipDirectory(new Uint8Array(crypto.randomBytes(400))));
  damagedError(() => Q.readZipDirectory(Q.rc4('another-key-000', Q.rc4(Q.BOOK_KEY, archive))));
  const entries = Q.readZipDirectory(archive);
  const cut = archive.slice();
  cut.fill(0, 0, 4);   // the local header's signature
  damagedError(() => Q.readZipDirectory(cut).localData(entries[0]));
});

test('switches are read like the system reads them', () => {
  for (const yes of ['YES', 'yes', 'Show', 'enable', 'TRUE', 'tRuE']) assert.equal(Q.valueAsBool(yes), true, yes);
  for (const no of ['NO', '1', 'on', '', ' YES', 'TRUE ', null, undefined]) assert.equal(Q.valueAsBool(no), false, String(no));
  const s = new Q.Settings({ a: 'Yes', b: 'no', n: ' 12 ', bad: '12px', c: '0xABCDEF', m: 'top' });
  assert.equal(s.bool('a', false), true);
  assert.equal(s.bool('b', true), false);
  assert.equal(s.bool('missing', true), true);
  assert.equal(s.integer('n', 1, 0, 100), 12);
  assert.equal(s.integer('n', 1, 0, 5), 5);
  assert.equal(s.integer('bad', 7, 0, 100), 7);
  assert.equal(s.colour('c', null), '#abcdef');
  assert.equal(s.choice('m', ['bottom', 'top'], 'bottom'), 'top');
  assert.equal(s.choice('a', ['bottom', 'top'], 'bottom'), 'bottom');
});

test('colours, files, addresses and fonts are checked before use', () => {
  assert.equal(Q.parseColour('0x2f3b4a'), '#2f3b4a');
  for (const bad of ['0X2f3b4a', '#2f3b4a', '0x2f3b4', '0x2f3b4g', 'red', '0x2f3b4a;x', '', null]) {
    assert.equal(Q.parseColour(bad), null, String(bad));
  }
  assert.equal(Q.safeLinkUrl('https://example.org/a?b=1'), 'https://example.org/a?b=1');
  assert.equal(Q.safeLinkUrl('http://127.0.0.1:8080/x'), 'http://127.0.0.1:8080/x');
  assert.equal(Q.safeLinkUrl('mailto:someone@example.org'), 'mailto:someone@example.org');
  for (const bad of ['javascript:alert(1)', ' JavaScript:alert(1)', 'java\tscript:alert(1)', 'data:text/html,x',
    'vbscript:x', 'file:///etc/passwd', 'page.html', '//example.org/x', '', null]) {
    assert.equal(Q.safeLinkUrl(bad), null, String(bad));
  }
  const images = Q.IMAGE_EXTENSIONS;
  assert.equal(Q.extFileUrl('./files/extfiles/backgroundImage.jpg', images), './files/extfiles/backgroundImage.jpg');
  assert.equal(Q.extFileUrl('./files/extfiles/logoImage.PNG', images), './files/extfiles/logoImage.PNG');
  for (const bad of ['./files/extfiles/backgroundImage.', './files/extfiles/../x.jpg', 'http://x/a.jpg',
    './files/extfiles/a.exe', 'javascript:a.jpg', '']) {
    assert.equal(Q.extFileUrl(bad, images), null, bad);
  }
  assert.equal(Q.safeFontFamily('DejaVu Sans, "Helvetica Neue", sans-serif'), 'DejaVu Sans, "Helvetica Neue", sans-serif');
  assert.equal(Q.safeFontFamily('x; background:url(evil)'), null);
  assert.equal(Q.hostAllowed('', 'anything.org'), true);
  assert.equal(Q.hostAllowed('example.org, books.test', 'www.example.org'), true);
  assert.equal(Q.hostAllowed('example.org', 'EXAMPLE.org'), true);
  assert.equal(Q.hostAllowed('example.org', 'badexample.org'), false);
  assert.equal(Q.pageNumberFromUrl('./files/page/12.jpg'), 12);
  assert.equal(Q.pageNumberFromUrl('./files/page/7'), 7);
  assert.equal(Q.pageNumberFromUrl('./files/page/cover.jpg'), null);
  assert.equal(Q.isRelativeUrl('./files/page/1.jpg'), true);
  assert.equal(Q.isRelativeUrl('javascript:alert(1)'), false);
  assert.equal(Q.isRelativeUrl('//evil.test/1.jpg'), false);
});

test('both languages carry every text', () => {
  const en = Object.keys(Q.STRINGS.en).sort(), fr = Object.keys(Q.STRINGS.fr).sort();
  assert.deepEqual(fr, en);
  assert.equal(Q.languageFor('fr'), 'fr');
  assert.equal(Q.languageFor('fr-CA'), 'fr');
  assert.equal(Q.languageFor('de'), 'en');
  assert.equal(Q.languageFor(null), 'en');
  assert.equal(Q.translator('fr')('pageStatus', 3, 40), 'Page 3 sur 40');
  assert.equal(Q.translator('en')('pagesStatus', '2-3', 40), 'Pages 2-3 of 40');
});

test('spreads put the cover alone and mirror right-to-left books', () => {
  const pairs = (spreads) => JSON.parse(JSON.stringify(spreads.map((s) => [s.left, s.right])));
  assert.deepEqual(pairs(Q.buildSpreads(1, true, false)), [[-1, 0]]);
  assert.deepEqual(pairs(Q.buildSpreads(4, true, false)), [[-1, 0], [1, 2], [3, -1]]);
  assert.deepEqual(pairs(Q.buildSpreads(5, true, false)), [[-1, 0], [1, 2], [3, 4]]);
  assert.deepEqual(pairs(Q.buildSpreads(4, true, true)), [[0, -1], [2, 1], [-1, 3]]);
  assert.deepEqual(pairs(Q.buildSpreads(3, false, true)), [[-1, 0], [-1, 1], [-1, 2]]);
  const spreads = Q.buildSpreads(40, true, false);
  assert.equal(Q.spreadIndexOf(spreads, 0), 0);
  assert.equal(Q.spreadIndexOf(spreads, 9), 5);
  assert.equal(Q.spreadIndexOf(spreads, 10), 5);
  assert.equal(Q.spreadIndexOf(spreads, 39), 20);
  assert.equal(spreads[20].low, 39);
  assert.equal(Q.pageFromHash('#page=12'), 12);
  assert.equal(Q.pageFromHash('#x=1&page=3'), 3);
  assert.equal(Q.pageFromHash('#page=abc'), null);
  assert.equal(Q.pageFromHash(''), null);
});

test('the fold keeps the paper whole and lands the back page on the other side', () => {
  const g = Q.geometry, W = 300, H = 400, C = { x: W, y: H };
  const area = (poly) => Math.abs(poly.reduce((sum, p, i) => {
    const q = poly[(i + 1) % poly.length];
    return sum + p.x * q.y - q.x * p.y;
  }, 0)) / 2;
  const apply = (m, p) => ({ x: m[0] * p.x + m[2] * p.y + m[4], y: m[1] * p.x + m[3] * p.y + m[5] });

  const flat = g.fold(W, H, C, C);
  assert.equal(area(flat.front), W * H);
  assert.equal(flat.flap.length, 0);

  const done = g.fold(W, H, C, { x: -W, y: H });
  assert.equal(done.front.length, 0);
  assert.ok(Math.abs(done.progress - 1) < 1e-9);
  const landed = apply(done.matrix, { x: 10, y: 20 });
  assert.ok(Math.abs(landed.x - (10 - W)) < 1e-6 && Math.abs(landed.y - 20) < 1e-6);

  for (const p of [{ x: 200, y: 330 }, { x: 20, y: 380 }, { x: -150, y: 300 }, { x: 250, y: 60 }]) {
    const q = g.constrain(W, H, C, p);
    assert.ok(Math.hypot(q.x, q.y - H) <= W + 1e-6);
    assert.ok(Math.hypot(q.x, q.y) <= Math.hypot(W, H) + 1e-6);
    const f = g.fold(W, H, C, q);
    assert.ok(Math.abs(area(f.front) + area(f.flap) - W * H) < 1e-6);
    // Along the fold the back page meets the front page exactly.
    for (const end of f.fold) {
      const onBack = apply(f.matrix, { x: W - end.x, y: end.y });
      assert.ok(Math.hypot(onBack.x - end.x, onBack.y - end.y) < 1e-6);
    }
    // The lifted corner of the back page is where the pointer holds it.
    const corner = apply(f.matrix, { x: 0, y: H });
    assert.ok(Math.hypot(corner.x - q.x, corner.y - q.y) < 1e-6);
  }
});

test('picture sizes come from a JPEG frame header or a PNG header, past other segments', () => {
  const jpeg = (segments, frame) => Buffer.concat([Buffer.from([0xff, 0xd8]), ...segments.map((len) =>
    Buffer.concat([Buffer.from([0xff, 0xe1, len >> 8, len & 255]), Buffer.alloc(len - 2)])),
  Buffer.from([0xff, frame, 0, 17, 8, 0x06, 0x30, 0x04, 0xc8, 3]), Buffer.alloc(20)]);
  assert.deepEqual({ ...Q.pictureSize(jpeg([], 0xc0)) }, { w: 1224, h: 1584 });
  assert.deepEqual({ ...Q.pictureSize(jpeg([300, 18], 0xc2)) }, { w: 1224, h: 1584 });
  assert.equal(Q.pictureSize(jpeg([30], 0xc4)), null);   // a Huffman table, then nothing
  const png = Buffer.alloc(33);
  Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]).copy(png);
  png.writeUInt32BE(160, 16);
  png.writeUInt32BE(207, 20);
  assert.deepEqual({ ...Q.pictureSize(png) }, { w: 160, h: 207 });
  assert.equal(Q.pictureSize(Buffer.from('GIF89a....')), null);
});

// A page of two blocks: a heading, and two lines of body text.
const PAGE_BLOCKS = [
  [[0, 'Contents', 1000, 800, 1500, 300]],
  [[0, '4.2', 1000, 1500, 300, 200, 'Packages', 1400, 1500, 1200, 200, '.......', 2700, 1500, 3000, 200, '17', 5800, 1500, 200, 200],
    [0, 'Caf\u00e9', 1000, 1800, 600, 200, 'au', 1700, 1800, 300, 200, 'lait', 2100, 1800, 400, 200]]
];

test('the words of a page: read defensively, named inside a link area without the dot leader', () => {
  const page = Q.readBlocks(PAGE_BLOCKS);
  assert.deepEqual(Array.from(page.words, (w) => w.text),
    ['Contents', '4.2', 'Packages', '.......', '17', 'Caf\u00e9', 'au', 'lait']);
  assert.deepEqual(Array.from(page.lines, (l) => l.block), [0, 1, 1]);
  assert.ok(Math.abs(page.words[1].x - 0.1) < 1e-9 && Math.abs(page.words[1].h - 0.02) < 1e-9);
  // Malformed lines and words are left out, not thrown on.
  const odd = Q.readBlocks([[[0, 'ok', 0, 0, 10, 10, 'bad', 'x', 0, 10, 10], [0, 'short', 1, 2]], 'not a block',
    [[7, 'up', 0, 0, 10, -5, 'down', 0, 0, 10, 10]]]);
  assert.deepEqual(Array.from(odd.words, (w) => w.text), ['ok', 'down']);
  assert.equal(odd.lines[1].dir, 0);
  assert.equal(Q.readBlocks('nope'), null);

  const text = new Q.BookText({ pages: [{}] }, {});
  text.pages[0] = page;
  assert.equal(text.wordsIn(0, { x: 0.05, y: 0.14, width: 0.9, height: 0.08 }), '4.2 Packages');
  assert.equal(text.wordsIn(0, { x: 0.05, y: 0.17, width: 0.9, height: 0.05 }), 'Caf\u00e9 au lait');
  assert.equal(text.wordsIn(0, { x: 0.5, y: 0.5, width: 0.1, height: 0.1 }), '');
});

test('the list of a book\'s extra files is kept only where it fits the book', () => {
  const book = { pages: [{}, {}, {}] };
  const take = (data) => {
    const text = new Q.BookText(book, {});
    text.takeExtras(data);
    return text;
  };
  const good = take({ version: 1, count: 3, pages: [4, 5, 6], labels: ['iv', 'v', ''],
    thumbs: [[160, 207], null, [160, 207]], textGroup: 16, text: [1, 0, 1], later: 'ignored' });
  assert.deepEqual([good.label(0), good.label(2), good.hasLabels()], ['iv', null, true]);
  assert.deepEqual([good.positionOfLabel('V'), good.positionOfLabel('vi')], [1, null]);
  assert.deepEqual([good.thumbUrl(0), good.thumbUrl(1)], ['files/thumb/4.jpg', null]);
  assert.deepEqual([good.hasText(1), good.hasText(2), good.searchable()], [false, true, true]);
  const list = { labels: ['i', 'ii', 'iii'], textGroup: 16, text: [1, 1, 1] };
  for (const bad of [{ version: 2, count: 3, pages: [1, 2, 3] }, { version: 1, count: 4, pages: [1, 2, 3] },
    { version: 1, count: 3, pages: [1, 2] }, null]) {
    const text = take(bad && { ...bad, ...list });
    assert.deepEqual([text.hasLabels(), text.searchable(), text.thumbUrl(0)], [false, false, null]);
  }
  // Lists of the wrong length are dropped, items of the wrong kind left out;
  // words need their group size, labels one that is not empty.
  const mixed = take({ version: 1, count: 3, pages: [1, '2', 3], labels: ['', null, ''], thumbs: [[1, 1], [0, 1], 'x'],
    text: [1, 1, true], textGroup: 0 });
  assert.deepEqual([mixed.hasLabels(), mixed.thumbUrl(0), mixed.thumbUrl(1), mixed.searchable()],
    [false, 'files/thumb/1.jpg', null, false]);
  const short = take({ version: 1, count: 3, pages: [1, 2, 3], labels: ['a', 'b'], textGroup: 2, text: [0, 1, true] });
  assert.deepEqual([short.hasLabels(), short.hasText(1), short.hasText(2)], [false, true, false]);
});

test('search ignores case and accents, spans words and lines, and finds every hit', () => {
  const page = Q.readBlocks(PAGE_BLOCKS);
  const hits = (q) => JSON.parse(JSON.stringify(Q.findHits(page, q)));
  assert.deepEqual(hits('packages'), [{ first: 2, last: 2 }]);
  assert.deepEqual(hits('CAFE'), [{ first: 5, last: 5 }]);
  assert.deepEqual(hits('  4.2   packa'), [{ first: 1, last: 2 }]);
  assert.deepEqual(hits('17 cafe au'), [{ first: 4, last: 6 }]);
  assert.deepEqual(hits('a'), [{ first: 2, last: 2 }, { first: 2, last: 2 }, { first: 5, last: 5 }, { first: 6, last: 6 },
    { first: 7, last: 7 }]);
  assert.deepEqual(hits('nothing'), []);
  assert.deepEqual(hits(' '), []);
  const snippet = { ...Q.snippet(page, { first: 5, last: 6 }) };
  assert.deepEqual(snippet, { before: 'Contents 4.2 Packages ....... 17', hit: 'Caf\u00e9 au', after: 'lait' });
  assert.equal(Q.normalizeText('\u2018Na\u00efve\u2019 \u2013 \u00c9T\u00c9'), '\'naive\' - ete');
});

test('every shipped template page is the current build, with exactly the three placeholders', () => {
  const folder = path.join(source, 'resources', 'AppFiles', 'Templates');
  const names = build.templates().map((t) => t.template);
  for (const name of fs.readdirSync(folder)) {
    const page = path.join(folder, name, 'index.html');
    if (!fs.existsSync(page)) continue;
    assert.ok(names.indexOf(name) >= 0, name + ' has a page the viewer does not build');
    const text = fs.readFileSync(page, 'utf8');
    assert.deepEqual(build.checkPage(text), [], name);
    for (const p of build.PLACEHOLDERS) assert.equal(text.split(p).length - 1, 1, name + ' ' + p);
    assert.equal(text.split('${').length - 1, 3, name);
  }
  for (const name of names) assert.ok(fs.existsSync(build.pagePath(name)), name);
  assert.ok(build.checkPage('<title>${index.title}</title>${oops}').length > 0);
  assert.ok(build.checkPage('<p>caf\u00e9</p>').some((p) => /non-ASCII/.test(p)));
});
