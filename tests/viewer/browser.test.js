// Books published by the core, read in Debian's Chromium over http on
// 127.0.0.1 and from disk. Set QUIRE_VIEWER_SHOTS to a folder to keep the
// screenshots.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { pathToFileURL } = require('url');
const { startServer, launchBrowser, isolateHome, viewerRoot } = require('./support.js');

const books = process.env.QUIRE_VIEWER_BOOKS;
const TIMEOUT = { timeout: 60000 };
let work, server, browser, shots;

test.before(async () => {
  assert.ok(books && fs.existsSync(books), 'QUIRE_VIEWER_BOOKS must name the book maker');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'quire-viewer-'));
  shots = process.env.QUIRE_VIEWER_SHOTS || path.join(work, 'shots');
  fs.mkdirSync(shots, { recursive: true });
  server = await startServer(work);
  fs.writeFileSync(path.join(work, 'target.html'), '<!DOCTYPE html><title>Target</title><p>Link target</p>');
  isolateHome(path.join(work, 'home'));
  execFileSync(books, ['test', path.join(work, 'books'), server.base], { stdio: ['ignore', 'ignore', 'inherit'] });
  makeBrokenBooks(path.join(work, 'books'));
  browser = await launchBrowser(path.join(work, 'profile'));
}, { timeout: 120000 });

test.after(async () => {
  if (browser) await browser.close();
  if (server) await server.close();
  if (work) fs.rmSync(work, { recursive: true, force: true });
}, { timeout: 30000 });

// Copies of the small book whose container is damaged, sealed under
// another key, or missing altogether.
function makeBrokenBooks(folder) {
  const rc4 = (key, data) => {
    const s = Array.from({ length: 256 }, (v, i) => i);
    let j = 0;
    for (let i = 0; i < 256; i++) { j = (j + s[i] + key.charCodeAt(i % key.length)) & 255; [s[i], s[j]] = [s[j], s[i]]; }
    const out = Buffer.alloc(data.length);
    let i = 0; j = 0;
    for (let n = 0; n < data.length; n++) {
      i = (i + 1) & 255; j = (j + s[i]) & 255; [s[i], s[j]] = [s[j], s[i]];
      out[n] = data[n] ^ s[(s[i] + s[j]) & 255];
    }
    return out;
  };
  const small = path.join(folder, 'small');
  const original = fs.readFileSync(path.join(small, 'files', 'book.bin'));
  const variants = {
    damaged: Buffer.from(original.map((b, i) => (i > 40 && i < original.length - 120 ? b ^ 0x5a : b))),
    wrongkey: rc4('leafcase-key-02', rc4('leafcase-key-01', original)),
    missing: null
  };
  for (const [name, bytes] of Object.entries(variants)) {
    const dest = path.join(folder, name);
    fs.cpSync(small, dest, { recursive: true });
    for (const file of ['book.bin', 'book.js']) fs.rmSync(path.join(dest, 'files', file));
    if (bytes) {
      fs.writeFileSync(path.join(dest, 'files', 'book.bin'), bytes);
      fs.writeFileSync(path.join(dest, 'files', 'book.js'),
        'window.quireBookContainer = "' + bytes.toString('base64') + '";\n');
    }
  }
}

function httpUrl(book, hash) {
  return server.base + '/books/' + book + '/index.html' + (hash || '');
}
function fileUrl(book, hash) {
  return pathToFileURL(path.join(work, 'books', book, 'index.html')).href + (hash || '');
}

async function open(url, viewport, init) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.errors = errors;
  await page.setViewportSize(viewport || { width: 1200, height: 800 });
  if (init) await page.addInitScript(init);
  await page.goto(url);
  await page.waitForSelector('#qv[data-state="ready"], #qv[data-state="error"]', { timeout: 10000 });
  return page;
}

async function state(page) {
  return page.evaluate(() => {
    const root = document.getElementById('qv');
    const slot = (name) => {
      const face = root.querySelector('.qv-slot-' + name + ' .qv-page');
      return face ? Number(face.getAttribute('data-position')) : 0;
    };
    return { state: root.dataset.state, mode: root.dataset.mode, spread: root.dataset.spread,
      turning: root.dataset.turning || '', left: slot('left'), right: slot('right'), hash: location.hash };
  });
}

async function settled(page, spread) {
  await page.waitForFunction((want) => {
    const root = document.getElementById('qv');
    return root.dataset.spread === want && !root.dataset.turning;
  }, spread, { timeout: 5000 });
  // Every picture on show has arrived and decoded.
  await page.waitForFunction(() => Array.from(document.querySelectorAll('.qv-slot img')).every((i) =>
    i.complete && i.naturalWidth > 0));
}

// The kind of leaf ("hard" or "soft") a command turns.
async function turnKind(page, action) {
  await page.evaluate(() => {
    const root = document.getElementById('qv');
    window.quireSeenTurn = '';
    new MutationObserver((list, observer) => {
      if (root.dataset.turning) { window.quireSeenTurn = root.dataset.turning; observer.disconnect(); }
    }).observe(root, { attributes: true, attributeFilter: ['data-turning'] });
  });
  await action();
  const seen = await page.waitForFunction(() => window.quireSeenTurn, null, { timeout: 5000 });
  return seen.jsonValue();
}

async function clickPageSide(page, side) {
  const box = await page.locator('.qv-slot-' + side).boundingBox();
  const x = side === 'right' ? box.x + box.width * 0.85 : box.x + box.width * 0.15;
  await page.mouse.click(x, box.y + box.height * 0.5);
}

async function shot(page, name) {
  await page.screenshot({ path: path.join(shots, name + '.png') });
}

test('a small book over http: the cover alone, turns by keys and clicks, template values applied', TIMEOUT, async () => {
  const page = await open(httpUrl('small'));
  await settled(page, '1');
  let s = await state(page);
  assert.equal(s.mode, 'double');
  assert.equal(s.left, 0);
  assert.equal(s.right, 1);
  assert.match(await page.locator('.qv-slot-right img').getAttribute('src'), /files\/page\/1\.jpg$/);
  await shot(page, 'small-cover');
  const look = await page.evaluate(() => {
    const root = document.getElementById('qv');
    return {
      background: getComputedStyle(root).getPropertyValue('--qv-background').trim(),
      barAbove: root.querySelector('.qv-toolbar').getBoundingClientRect().bottom <=
        root.querySelector('.qv-stage').getBoundingClientRect().top + 1,
      thumbnails: !!root.querySelector('.qv-button-thumbnails'),
      contents: !!root.querySelector('.qv-button-contents'),
      title: document.title
    };
  });
  assert.deepEqual(look, { background: '#8a2be2', barAbove: true, thumbnails: false, contents: false,
    title: 'Three pages' });

  await page.keyboard.press('ArrowRight');
  await settled(page, '2-3');
  s = await state(page);
  assert.deepEqual([s.left, s.right, s.hash], [2, 3, '#page=2']);
  await shot(page, 'small-spread');
  await page.keyboard.press('ArrowLeft');
  await settled(page, '1');
  await clickPageSide(page, 'right');
  await settled(page, '2-3');
  await page.keyboard.press('ArrowRight');   // already at the end
  await page.waitForTimeout(200);
  assert.equal((await state(page)).spread, '2-3');
  await page.keyboard.press('Home');
  await settled(page, '1');
  await page.keyboard.press('End');
  await settled(page, '2-3');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the big book: stiff covers, bending pages, pictures fetched only near the spread', TIMEOUT, async () => {
  server.requests.length = 0;
  const page = await open(httpUrl('big'));
  await settled(page, '1');
  await page.waitForTimeout(400);
  const pictures = () => new Set(server.requests.filter((r) => /\/books\/big\/files\/page\//.test(r)));
  const before = pictures();
  assert.ok(before.size >= 3 && before.size <= 12, 'pictures before the first turn: ' + [...before].join(' '));
  assert.ok(!before.has('/books/big/files/page/30.jpg'));
  assert.equal(await page.locator('.qv-title').textContent(), 'Forty <b>pages</b> & more');
  assert.equal(await page.locator('.qv-title b').count(), 0);

  assert.equal(await turnKind(page, () => page.keyboard.press('ArrowRight')), 'hard');
  await settled(page, '2-3');
  assert.equal(await turnKind(page, () => page.keyboard.press('ArrowRight')), 'soft');
  await page.waitForTimeout(120);
  await shot(page, 'big-turning');
  await settled(page, '4-5');
  assert.equal(await turnKind(page, () => page.keyboard.press('End')), 'hard');
  await settled(page, '40');
  const s = await state(page);
  assert.deepEqual([s.left, s.right], [40, 0]);
  assert.equal(await page.locator('.qv-slot-left .qv-page.qv-hard').count(), 1);
  await shot(page, 'big-back-cover');

  // Dragging the right page's lower corner across the spine turns it.
  await page.keyboard.press('Home');
  await settled(page, '1');
  const box = await page.locator('.qv-slot-right').boundingBox();
  await page.mouse.move(box.x + box.width - 8, box.y + box.height - 8);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width * 0.5, box.y + box.height * 0.8, { steps: 6 });
  await page.mouse.move(box.x - box.width * 0.4, box.y + box.height * 0.9, { steps: 6 });
  await shot(page, 'big-drag');
  await page.mouse.up();
  await settled(page, '2-3');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('contents: nested entries go to their pages through document page numbers', TIMEOUT, async () => {
  const page = await open(httpUrl('big'));
  await settled(page, '1');
  await page.click('.qv-button-contents');
  const panel = page.locator('.qv-panel-contents');
  await panel.waitFor();
  const captions = await panel.locator('.qv-toc-caption').allTextContents();
  assert.deepEqual(captions, ['Cover', 'Chapter 1', 'Section 1.1', 'Section 1.2', 'Detail 1.2.1', 'Chapter 2',
    'Section 2.1', 'Chapter 3', 'Preface (not imported)', 'Back cover']);
  assert.equal(await panel.locator('.qv-toc-entry', { hasText: 'Preface' }).isDisabled(), true);
  await page.waitForTimeout(300);
  await shot(page, 'contents');
  await panel.locator('.qv-toc-entry', { hasText: 'Chapter 3' }).click();   // document page 30
  await settled(page, '26-27');
  await panel.locator('.qv-toc-entry', { hasText: 'Detail 1.2.1' }).click(); // document page 11
  await settled(page, '6-7');
  await panel.locator('.qv-toc-toggle').first().click();
  assert.equal(await panel.locator('.qv-toc-entry', { hasText: 'Section 1.1' }).isVisible(), false);
  await page.keyboard.press('Escape');
  await page.waitForSelector('.qv-panel', { state: 'detached' });
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('links: go-to-page, a web link in a new tab without opener, javascript: and data: do nothing', TIMEOUT, async () => {
  const page = await open(httpUrl('big', '#page=3'));
  await settled(page, '2-3');
  const web = page.locator('.qv-slot-right a.qv-link-url');
  assert.equal(await web.count(), 1);
  assert.equal(await web.getAttribute('href'), server.base + '/target.html');
  assert.equal(await web.getAttribute('target'), '_blank');
  assert.match(await web.getAttribute('rel'), /noopener/);
  assert.equal(await page.locator('.qv-slot-right .qv-link-inert').count(), 2);
  assert.equal(await page.locator('.qv-slot-right a[href^="javascript"], .qv-slot-right a[href^="data"]').count(), 0);
  await web.hover();
  await shot(page, 'links');

  const [popup] = await Promise.all([page.context().waitForEvent('page'), web.click()]);
  await popup.waitForLoadState();
  assert.equal(popup.url(), server.base + '/target.html');
  assert.equal(await popup.evaluate(() => window.opener), null);
  await popup.close();

  let opened = false;
  const onPage = () => { opened = true; };
  page.context().on('page', onPage);
  for (const inert of await page.locator('.qv-slot-right .qv-link-inert').all()) await inert.click();
  await page.waitForTimeout(400);
  page.context().off('page', onPage);
  assert.equal(opened, false);
  assert.equal(await page.evaluate(() => window.quirePwned), undefined);
  const s = await state(page);
  assert.deepEqual([s.spread, s.hash], ['2-3', '#page=2']);
  assert.equal(page.url(), httpUrl('big', '#page=2'));

  await page.locator('.qv-slot-right a.qv-link-page').click();   // document page 30
  await settled(page, '26-27');
  await page.locator('.qv-slot-left a.qv-link-page').click();    // back to document page 7
  await settled(page, '2-3');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('deep links: #page=N opens there and the address follows the reader', TIMEOUT, async () => {
  const page = await open(httpUrl('big', '#page=10'));
  await settled(page, '10-11');
  await page.keyboard.press('ArrowRight');
  await settled(page, '12-13');
  assert.equal((await state(page)).hash, '#page=12');
  await page.evaluate(() => { location.hash = '#page=21'; });
  await settled(page, '20-21');
  const input = page.locator('.qv-page-input');
  await input.fill('35');
  await input.press('Enter');
  await settled(page, '34-35');
  assert.equal((await state(page)).hash, '#page=34');
  await page.close();
});

test('from disk without flags: the script beside the container stands in for it', TIMEOUT, async () => {
  for (const book of ['small', 'big']) {
    const page = await open(fileUrl(book));
    await settled(page, '1');
    await clickPageSide(page, 'right');
    await settled(page, '2-3');
    if (book === 'big') {
      await page.click('.qv-button-contents');
      await page.locator('.qv-toc-entry', { hasText: 'Chapter 2' }).click();   // document page 20
      await settled(page, '16-17');
      await shot(page, 'from-disk');
    }
    assert.deepEqual(page.errors, []);
    await page.close();
  }
});

test('one page at a time in a 400-pixel-wide window, turned by swipes and taps', TIMEOUT, async () => {
  const page = await open(httpUrl('big', '#page=5'), { width: 400, height: 720 });
  await settled(page, '5');
  let s = await state(page);
  assert.equal(s.mode, 'single');
  assert.deepEqual([s.left, s.right], [0, 5]);
  await shot(page, 'single');
  const box = await page.locator('.qv-slot-right').boundingBox();
  const y = box.y + box.height * 0.6;
  const swipe = async (from, to) => {
    await page.mouse.move(box.x + box.width * from, y);
    await page.mouse.down();
    await page.mouse.move(box.x + box.width * ((from + to) / 2), y - 10, { steps: 4 });
    await page.mouse.move(box.x + box.width * to, y - 20, { steps: 4 });
    await page.mouse.up();
  };
  await swipe(0.85, 0.1);
  await settled(page, '6');
  await swipe(0.15, 0.9);
  await settled(page, '5');
  await clickPageSide(page, 'right');
  await settled(page, '6');
  const bar = await page.locator('.qv-toolbar').boundingBox();
  const last = await page.locator('.qv-bar-end .qv-button').last().boundingBox();
  assert.ok(last.x + last.width <= bar.x + bar.width + 0.5, 'the toolbar fits the window');
  await shot(page, 'single-after');
  await page.close();
});

test('zoom lays the pages out larger, so they are drawn from the full picture', TIMEOUT, async () => {
  const page = await open(httpUrl('big', '#page=2'));
  await settled(page, '2-3');
  const width = () => page.evaluate(() => document.querySelector('.qv-slot-right img').getBoundingClientRect().width);
  const w1 = await width();
  await page.keyboard.press('+');
  await settled(page, '2-3');
  await page.keyboard.press('+');
  await settled(page, '2-3');
  const w2 = await width();
  assert.ok(Math.abs(w2 / w1 - 2) < 0.02, w1 + ' -> ' + w2);
  const transforms = await page.evaluate(() => getComputedStyle(document.querySelector('.qv-slot-right')).transform);
  assert.equal(transforms, 'none');
  assert.equal(await page.evaluate(() => {
    const stage = document.querySelector('.qv-stage');
    return stage.scrollWidth > stage.clientWidth;
  }), true);
  await shot(page, 'zoomed');
  await page.keyboard.press('Escape');
  await settled(page, '2-3');
  assert.ok(Math.abs((await width()) - w1) < 1);
  await page.close();
});

test('thumbnails load lazily and go to their page', TIMEOUT, async () => {
  const page = await open(httpUrl('big'));
  await settled(page, '1');
  await page.click('.qv-button-thumbnails');
  const panel = page.locator('.qv-panel-thumbnails');
  await panel.waitFor();
  assert.equal(await panel.locator('.qv-thumb').count(), 40);
  await page.waitForTimeout(300);
  const loaded = await panel.locator('.qv-thumb img[src]').count();
  assert.ok(loaded > 0 && loaded < 40, 'thumbnails loaded at once: ' + loaded);
  await shot(page, 'thumbnails');
  await panel.locator('.qv-thumb').nth(9).click();
  await settled(page, '10-11');
  assert.equal(await panel.locator('.qv-thumb[aria-current="page"]').count(), 2);
  await page.close();
});

test('a right-to-left book in French turns the other way', TIMEOUT, async () => {
  const page = await open(httpUrl('rtl'));
  await settled(page, '1');
  let s = await state(page);
  assert.deepEqual([s.left, s.right], [1, 0]);
  assert.equal(await page.locator('.qv-button-first').getAttribute('aria-label'), 'Premi\u00e8re page');
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'fr');
  await page.keyboard.press('ArrowLeft');
  await settled(page, '2-3');
  s = await state(page);
  assert.deepEqual([s.left, s.right], [3, 2]);
  await clickPageSide(page, 'left');
  await settled(page, '4-5');
  await page.keyboard.press('ArrowRight');
  await settled(page, '2-3');
  await shot(page, 'rtl');
  await page.close();
});

test('keyboard focus is visible', TIMEOUT, async () => {
  const page = await open(httpUrl('big'));
  await settled(page, '1');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  const focus = await page.evaluate(() => {
    const el = document.activeElement;
    const style = getComputedStyle(el);
    return { tag: el.tagName, outline: style.outlineStyle, width: parseFloat(style.outlineWidth) };
  });
  assert.equal(focus.outline, 'solid', JSON.stringify(focus));
  assert.ok(focus.width >= 2);
  await page.close();
});

test('the fallback inflater opens the book where DecompressionStream is missing', TIMEOUT, async () => {
  const page = await open(httpUrl('big', '#page=8'), null, () => { delete window.DecompressionStream; });
  await settled(page, '8-9');
  assert.equal(await page.evaluate(() => typeof DecompressionStream), 'undefined');
  assert.equal(await page.locator('.qv-button-contents').count(), 1);
  await page.close();
});

test('template values: allowed hosts, logo and link, automatic turns with sound, no background picture', TIMEOUT,
  async () => {
    const refused = await open(httpUrl('settings'));
    assert.deepEqual(await refused.evaluate(() => [document.getElementById('qv').dataset.state,
      document.getElementById('qv').dataset.error]), ['error', 'host']);
    assert.match(await refused.locator('.qv-error').textContent(), /may not be shown on this web site/);
    await refused.close();

    server.requests.length = 0;
    const page = await open(httpUrl('settings').replace('127.0.0.1', 'localhost'));
    await settled(page, '1');
    const logo = page.locator('a.qv-logo');
    assert.equal(await logo.getAttribute('href'), 'https://example.org/');
    assert.equal(await logo.getAttribute('target'), '_blank');
    assert.equal(await page.locator('a.qv-logo img').getAttribute('src'), './files/extfiles/logoImage.png');
    assert.ok(await page.locator('a.qv-logo img').evaluate((img) => img.complete && img.naturalWidth === 160));
    const look = await page.evaluate(() => {
      const root = document.getElementById('qv');
      return [getComputedStyle(root.querySelector('.qv-backdrop')).backgroundImage,
        getComputedStyle(root.querySelector('.qv-backdrop')).backgroundColor,
        getComputedStyle(root).getPropertyValue('--qv-accent').trim()];
    });
    assert.deepEqual(look, ['none', 'rgb(58, 95, 58)', '#ff0066']);
    assert.equal(await page.locator('.qv-button-play').getAttribute('aria-pressed'), 'true');
    await shot(page, 'settings');
    await settled(page, '2-3');   // turned by itself after a second
    assert.ok(server.requests.indexOf('/books/settings/files/extfiles/flipSound.wav') >= 0);
    await page.click('.qv-button-play');
    assert.equal(await page.locator('.qv-button-play').getAttribute('aria-pressed'), 'false');
    await page.waitForTimeout(1600);
    assert.equal((await state(page)).spread, '2-3');
    await page.close();

    const fromDisk = await open(fileUrl('settings'));
    await settled(fromDisk, '1');
    await fromDisk.close();
  });

test('the about text is shown as plain text', TIMEOUT, async () => {
  const page = await open(httpUrl('big'));
  await settled(page, '1');
  await page.click('.qv-button-about');
  const text = page.locator('.qv-about-text');
  await text.waitFor();
  assert.equal(await text.textContent(), "A book of forty pages.\nMade for the viewer's tests.");
  await page.keyboard.press('Escape');
  await page.waitForSelector('.qv-panel', { state: 'detached' });
  assert.equal(await page.evaluate(() => document.activeElement.classList.contains('qv-button-about')), true);
  await page.close();
});

test('a book that cannot be loaded says so in the page', TIMEOUT, async () => {
  const cases = [
    ['damaged', httpUrl('damaged'), /damaged/], ['damaged', fileUrl('damaged'), /damaged/],
    ['damaged', httpUrl('wrongkey'), /damaged/], ['missing', httpUrl('missing'), /not found/],
    ['missing', fileUrl('missing'), /not found/]
  ];
  for (const [kind, url, text] of cases) {
    const page = await open(url);
    const s = await page.evaluate(() => [document.getElementById('qv').dataset.state,
      document.getElementById('qv').dataset.error]);
    assert.deepEqual(s, ['error', kind], url);
    const message = page.locator('.qv-error');
    assert.equal(await message.isVisible(), true);
    assert.match(await message.textContent(), text);
    if (url === httpUrl('damaged')) await shot(page, 'error');
    await page.close();
  }
});

// A title with markup, given to quire-convert, is the page's title as typed
// and runs nothing.
test('a hostile title shows as typed and runs no script', TIMEOUT, async () => {
  const convert = process.env.QUIRE_CONVERT;
  assert.ok(convert && fs.existsSync(convert), 'QUIRE_CONVERT must name quire-convert');
  const title = 'Tom & Jerry <3 </title><script>window.quirePwned=1;alert(1)</script> "q" \'s\'';
  const source = path.join(work, 'hostile.txt');
  fs.writeFileSync(source, 'One page of text.\n');
  const home = path.join(work, 'home');
  execFileSync(convert, [source, '-o', path.join(work, 'hostile'), '--title', title, '--quiet'], {
    env: Object.assign({}, process.env, { HOME: home, XDG_DATA_HOME: home, XDG_CONFIG_HOME: home,
      XDG_CACHE_HOME: home }),
    stdio: ['ignore', 'ignore', 'pipe']
  });
  const page = await open(server.base + '/hostile/index.html', null,
    () => { window.alert = () => { window.quireAlerted = true; }; });
  assert.equal(await page.title(), title);
  assert.deepEqual(await page.evaluate(() => [typeof window.quirePwned, typeof window.quireAlerted]),
    ['undefined', 'undefined']);
  assert.equal(await page.evaluate(() => document.getElementById('qv').dataset.state), 'ready');
  assert.deepEqual(page.errors, []);
  await page.close();
});

// Every shipped template and style, with the sample document published by
// quire-convert: the page opens the book and shows its first page, with the
// style's background and logo.
test('the sample book opens in every template and style', TIMEOUT, async () => {
  const convert = process.env.QUIRE_CONVERT;
  const resources = process.env.QUIRE_RESOURCES;
  assert.ok(convert && fs.existsSync(convert), 'QUIRE_CONVERT must name quire-convert');
  const stylesFolder = path.join(resources, 'AppFiles', 'Styles');
  const styles = [];
  for (const template of fs.readdirSync(path.join(resources, 'AppFiles', 'Templates')).sort()) {
    for (const style of fs.readdirSync(path.join(stylesFolder, template)).sort()) styles.push([template, style]);
  }
  assert.ok(styles.length >= 9, 'styles: ' + styles.join(' '));
  const sample = path.join(process.env.QUIRE_SOURCE_DIR || path.resolve(__dirname, '..', '..'), 'samples',
    'quire-tour.rtf');
  for (const [template, style] of styles) {
    const name = template + '-' + style;
    execFileSync(convert, [sample, '-o', path.join(work, 'templates', name), '--template', template,
      '--style', style, '--bookmarks', '--quiet'], {
      stdio: ['ignore', 'ignore', 'pipe']   // its diagnostics only matter when it fails
    });
    const settings = fs.readFileSync(path.join(stylesFolder, template, style, 'tmplSetting.txt'), 'utf8');
    const named = (key) => new RegExp('\\n\\r' + key + '=STYLE_RESOURCE:').test(settings);

    const page = await open(server.base + '/templates/' + name + '/index.html');
    await settled(page, '1');
    const seen = await page.evaluate(() => {
      const root = document.getElementById('qv');
      const img = root.querySelector('.qv-slot-right img');
      const box = img.getBoundingClientRect();
      const hit = document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2);
      const logo = root.querySelector('.qv-logo img');
      return {
        theme: root.className,
        src: img.getAttribute('src'),
        size: [box.width, box.height],
        inside: box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight,
        onTop: !!hit && root.querySelector('.qv-slot-right').contains(hit),
        background: getComputedStyle(root.querySelector('.qv-backdrop')).backgroundImage,
        logo: logo ? logo.complete && logo.naturalWidth > 0 : null
      };
    });
    assert.match(seen.theme, new RegExp('\\bqv-theme-' + template + '\\b'), name);
    assert.match(seen.src, /files\/page\/1\.jpg$/, name);
    assert.ok(seen.size[0] > 200 && seen.size[1] > 150 && seen.inside && seen.onTop, name + ' ' + JSON.stringify(seen));
    assert.equal(seen.background !== 'none', named('backgroundImage'), name + ' background ' + seen.background);
    assert.equal(seen.logo, named('logoImage') ? true : null, name + ' logo');
    if (named('backgroundImage')) {
      const file = /extfiles\/(backgroundImage\.\w+)/.exec(seen.background);
      assert.ok(file && server.requests.indexOf('/templates/' + name + '/files/extfiles/' + file[1]) >= 0, name);
    }
    await shot(page, 'template-' + name);
    assert.deepEqual(page.errors, [], name);
    await page.close();
  }
});
