// Opening and turning books: covers, spreads, links, contents, addresses,
// books from disk, every template, and books that cannot be shown.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const { readerState: state, settled, box, clickOn, pause, openPanel } = require('./support.js');

async function clickPageSide(page, side) {
  const b = await box(page, '.qv-slot-' + side);
  await page.mouse.click(side === 'right' ? b.x + b.width * 0.85 : b.x + b.width * 0.15, b.y + b.height * 0.5);
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
  await page.waitForFunction(() => window.quireSeenTurn, { timeout: 5000 });
  return page.evaluate(() => window.quireSeenTurn);
}

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

module.exports = function (ctx) {
  const { TIMEOUT } = ctx;

  test('a small book over http: the cover alone, turns by keys, clicks and the wheel, template values applied',
    TIMEOUT, async () => {
      const page = await ctx.open(ctx.url('small'));
      await settled(page, '1');
      let s = await state(page);
      assert.deepEqual([s.mode, s.left, s.right], ['double', 0, 1]);
      await ctx.shot(page, 'small-cover');
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
      await page.keyboard.press('ArrowLeft');
      await settled(page, '1');
      await clickPageSide(page, 'right');
      await settled(page, '2-3');
      await page.keyboard.press('ArrowRight');   // already at the end
      await pause(200);
      assert.equal((await state(page)).spread, '2-3');
      await page.keyboard.press('Home');
      await settled(page, '1');
      // The wheel turns one page per gesture at rest.
      const middle = await box(page, '.qv-slot-right');
      await page.mouse.move(middle.x + middle.width / 2, middle.y + middle.height / 2);
      for (let i = 0; i < 4; i++) await page.mouse.wheel({ deltaY: 60 });
      await settled(page, '2-3');
      await pause(300);
      await page.mouse.wheel({ deltaY: -100 });
      await settled(page, '1');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

  test('the big book: stiff covers, bending pages, pictures fetched and drawn only near the spread', TIMEOUT,
    async () => {
      ctx.server.requests.length = 0;
      const page = await ctx.open(ctx.url('big'));
      await settled(page, '1');
      await pause(400);
      const pictures = () => new Set(ctx.server.requests.filter((r) => /\/books\/big\/files\/page\//.test(r)));
      const before = pictures();
      assert.ok(before.size >= 3 && before.size <= 12, 'pictures before the first turn: ' + [...before].join(' '));
      assert.ok(!before.has('/books/big/files/page/30.jpg'));
      assert.equal(await page.$eval('.qv-title', (e) => e.textContent), 'Forty <b>pages</b> & more');
      assert.equal(await page.$$eval('.qv-title b', (l) => l.length), 0);

      assert.equal(await turnKind(page, () => page.keyboard.press('ArrowRight')), 'hard');
      await settled(page, '2-3');
      assert.equal(await turnKind(page, () => page.keyboard.press('ArrowRight')), 'soft');
      await pause(120);
      await ctx.shot(page, 'big-turning');
      await settled(page, '4-5');
      for (let i = 0; i < 8; i++) {
        await page.keyboard.press('ArrowRight');
        await pause(60);
      }
      await settled(page, '20-21');
      // Decoded pictures: the spread on show and one spread either side, at
      // the size they are shown.
      const drawn = await page.evaluate(() => Array.from(document.querySelectorAll('canvas')).filter((c) => c.width > 0)
        .map((c) => [c.width, c.height, c.getBoundingClientRect().width]));
      assert.ok(drawn.length >= 2 && drawn.length <= 6, 'drawn canvases: ' + JSON.stringify(drawn));
      const onShow = await page.$$eval('.qv-slot canvas', (l) => l.map((c) => [c.width, c.getBoundingClientRect().width]));
      for (const [pixels, shown] of onShow) assert.ok(Math.abs(pixels - Math.min(600, shown)) <= 2, pixels + ' ' + shown);
      // Loaded again in place (the application's preview), the book takes
      // over what was drawn and fetched ahead rather than fetch it again.
      await pause(400);
      ctx.server.requests.length = 0;
      assert.equal(await page.evaluate(() => window.quireReloadBook()), true);
      await settled(page, '20-21');
      await pause(400);
      assert.deepEqual([...pictures()], []);

      assert.equal(await turnKind(page, () => page.keyboard.press('End')), 'hard');
      await settled(page, '40');
      const s = await state(page);
      assert.deepEqual([s.left, s.right], [40, 0]);
      assert.equal(await page.$$eval('.qv-slot-left .qv-page.qv-hard', (l) => l.length), 1);
      await ctx.shot(page, 'big-back-cover');

      // Dragging the right page's lower corner across the spine turns it.
      await page.keyboard.press('Home');
      await settled(page, '1');
      const b = await box(page, '.qv-slot-right');
      await page.mouse.move(b.x + b.width - 8, b.y + b.height - 8);
      await page.mouse.down();
      await page.mouse.move(b.x + b.width * 0.5, b.y + b.height * 0.8, { steps: 6 });
      await page.mouse.move(b.x - b.width * 0.4, b.y + b.height * 0.9, { steps: 6 });
      await ctx.shot(page, 'big-drag');
      await page.mouse.up();
      await settled(page, '2-3');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

  test('contents: entries go to their pages, close the panel where it hides the pages, and Back returns', TIMEOUT,
    async () => {
      for (const [width, closes] of [[1280, true], [2400, false]]) {
        const page = await ctx.open(ctx.url('big'), { viewport: { width, height: 800 } });
        await settled(page, '1');
        await openPanel(page, 'contents');
        if (closes) {
          const captions = await page.$$eval('.qv-toc-caption', (l) => l.map((e) => e.textContent));
          assert.deepEqual(captions, ['Cover', 'Chapter 1', 'Section 1.1', 'Section 1.2', 'Detail 1.2.1', 'Chapter 2',
            'Section 2.1', 'Chapter 3', 'Preface (not imported)', 'Back cover']);
          assert.equal(await page.evaluate(() => Array.from(document.querySelectorAll('.qv-toc-entry'))
            .find((e) => e.textContent.indexOf('Preface') >= 0).disabled), true);
          await ctx.shot(page, 'contents');
        }
        await clickOn(page, '.qv-toc-entry', 'Chapter 3');   // document page 30
        await settled(page, '26-27');
        assert.equal(await page.$('.qv-panel') === null, closes, 'panel closed at ' + width);
        if (closes) await openPanel(page, 'contents');
        await clickOn(page, '.qv-toc-entry', 'Detail 1.2.1'); // document page 11
        await settled(page, '6-7');
        await page.goBack();
        await settled(page, '26-27');
        await page.goBack();
        await settled(page, '1');
        assert.equal((await state(page)).hash, '#page=1');
        await page.goForward();
        await settled(page, '26-27');
        if (!closes) {
          await clickOn(page, '.qv-toc-toggle');
          assert.equal(await page.evaluate(() => Array.from(document.querySelectorAll('.qv-toc-entry'))
            .find((e) => e.textContent.indexOf('Section 1.1') >= 0).offsetParent), null);
          await page.keyboard.press('Escape');
          await page.waitForFunction(() => !document.querySelector('.qv-panel'));
        }
        assert.deepEqual(page.errors, []);
        await page.close();
      }
    });

  test('links: go-to-page with Back, a web link in a new tab without opener, javascript: and data: do nothing',
    TIMEOUT, async () => {
      const page = await ctx.open(ctx.url('big', '#page=3'));
      await settled(page, '2-3');
      const web = await page.$$eval('.qv-slot-right a.qv-link-url', (l) => l.map((a) => [a.href, a.target, a.rel]));
      assert.equal(web.length, 1);
      assert.equal(web[0][0], ctx.server.base + '/target.html');
      assert.equal(web[0][1], '_blank');
      assert.match(web[0][2], /noopener/);
      assert.equal(await page.$$eval('.qv-slot-right .qv-link-inert', (l) => l.length), 2);
      assert.equal(await page.$$eval('.qv-slot-right a[href^="javascript"], .qv-slot-right a[href^="data"]',
        (l) => l.length), 0);
      await page.hover('.qv-slot-right a.qv-link-url');
      await ctx.shot(page, 'links');

      const popup = new Promise((resolve) => page.once('popup', resolve));
      await page.click('.qv-slot-right a.qv-link-url');
      const opened = await popup;
      await opened.waitForFunction(() => document.readyState === 'complete');
      assert.equal(opened.url(), ctx.server.base + '/target.html');
      assert.equal(await opened.evaluate(() => window.opener), null);
      await opened.close();

      let more = false;
      const onPopup = () => { more = true; };
      page.on('popup', onPopup);
      for (const inert of await page.$$('.qv-slot-right .qv-link-inert')) await inert.click();
      await pause(400);
      page.off('popup', onPopup);
      assert.equal(more, false);
      assert.equal(await page.evaluate(() => window.quirePwned), undefined);
      const s = await state(page);
      assert.deepEqual([s.spread, s.hash], ['2-3', '#page=2']);

      await page.click('.qv-slot-right a.qv-link-page');   // document page 30
      await settled(page, '26-27');
      await page.click('.qv-slot-left a.qv-link-page');    // back to document page 7
      await settled(page, '2-3');
      await page.goBack();
      await settled(page, '26-27');
      await page.goBack();
      await settled(page, '2-3');
      assert.equal(page.url(), ctx.url('big', '#page=2'));
      assert.deepEqual(page.errors, []);
      await page.close();
    });

  test('from disk without flags: the script beside the container stands in for it', TIMEOUT, async () => {
    for (const book of ['small', 'big']) {
      const page = await ctx.open(ctx.fileUrl(book));
      await settled(page, '1');
      await clickPageSide(page, 'right');
      await settled(page, '2-3');
      if (book === 'big') {
        await openPanel(page, 'contents');
        await clickOn(page, '.qv-toc-entry', 'Chapter 2');   // document page 20
        await settled(page, '16-17');
        await ctx.shot(page, 'from-disk');
      }
      assert.deepEqual(page.errors, []);
      await page.close();
    }
  });

  test('one page at a time in a 400-pixel-wide window, turned by swipes and taps', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big', '#page=5'), { viewport: { width: 400, height: 720 } });
    await settled(page, '5');
    const s = await state(page);
    assert.deepEqual([s.mode, s.left, s.right], ['single', 0, 5]);
    await ctx.shot(page, 'single');
    const b = await box(page, '.qv-slot-right');
    const y = b.y + b.height * 0.6;
    const swipe = async (from, to) => {
      await page.mouse.move(b.x + b.width * from, y);
      await page.mouse.down();
      await page.mouse.move(b.x + b.width * ((from + to) / 2), y - 10, { steps: 4 });
      await page.mouse.move(b.x + b.width * to, y - 20, { steps: 4 });
      await page.mouse.up();
    };
    await swipe(0.85, 0.1);
    await settled(page, '6');
    await swipe(0.15, 0.9);
    await settled(page, '5');
    await clickPageSide(page, 'right');
    await settled(page, '6');
    const bar = await box(page, '.qv-toolbar');
    const last = await page.$$eval('.qv-bar-end .qv-button:not([hidden])', (l) => {
      const r = l[l.length - 1].getBoundingClientRect();
      return r.right;
    });
    assert.ok(last <= bar.x + bar.width + 0.5, 'the toolbar fits the window');
    await page.close();
  });

  test('zoom lays the pages out larger and draws them afresh, up to the picture\'s own size', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big', '#page=2'));
    await settled(page, '2-3');
    const sizes = () => page.$eval('.qv-slot-right canvas', (c) => [c.getBoundingClientRect().width, c.width]);
    const [w1, p1] = await sizes();
    await page.keyboard.press('+');
    await page.keyboard.press('+');
    await settled(page, '2-3');
    await page.waitForFunction(() => document.querySelector('.qv-slot-right canvas').width >= 600);
    const [w2, p2] = await sizes();
    assert.ok(Math.abs(w2 / w1 - 2) < 0.02, w1 + ' -> ' + w2);
    assert.ok(p1 < 600 && p2 === 600, 'canvas pixels ' + p1 + ' -> ' + p2);
    assert.equal(await page.$eval('.qv-slot-right', (e) => getComputedStyle(e).transform), 'none');
    assert.equal(await page.$eval('.qv-stage', (e) => e.scrollWidth > e.clientWidth), true);
    await ctx.shot(page, 'zoomed');
    await page.keyboard.press('Escape');
    await settled(page, '2-3');
    assert.ok(Math.abs((await sizes())[0] - w1) < 1);
    await page.close();
  });

  test('thumbnails drawn small from the pictures as they scroll into view, and going to their page', TIMEOUT,
    async () => {
      const page = await ctx.open(ctx.url('big'));
      await settled(page, '1');
      await openPanel(page, 'thumbnails');
      assert.equal(await page.$$eval('.qv-thumb', (l) => l.length), 40);
      await page.waitForFunction(() => document.querySelectorAll('.qv-thumb canvas').length > 0 &&
        Array.from(document.querySelectorAll('.qv-thumb canvas')).every((c) => c.width > 0));
      const drawn = await page.$$eval('.qv-thumb canvas', (l) => l.map((c) => [c.width, c.getBoundingClientRect().width]));
      assert.ok(drawn.length < 40, 'thumbnails drawn at once: ' + drawn.length);
      for (const [pixels, shown] of drawn) assert.ok(pixels <= Math.ceil(shown) + 1 && pixels > shown / 2, pixels + ' ' + shown);
      await ctx.shot(page, 'thumbnails-drawn');
      await clickOn(page, '.qv-thumb', '10');
      await settled(page, '10-11');
      await openPanel(page, 'thumbnails');
      assert.equal(await page.$$eval('.qv-thumb[aria-current="page"]', (l) => l.length), 2);
      await page.close();
    });

  test('a right-to-left book in French turns the other way', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('rtl'));
    await settled(page, '1');
    let s = await state(page);
    assert.deepEqual([s.left, s.right], [1, 0]);
    assert.equal(await page.$eval('.qv-button-first', (e) => e.getAttribute('aria-label')), 'Premi\u00e8re page');
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'fr');
    await page.keyboard.press('ArrowLeft');
    await settled(page, '2-3');
    s = await state(page);
    assert.deepEqual([s.left, s.right], [3, 2]);
    await clickPageSide(page, 'left');
    await settled(page, '4-5');
    await page.keyboard.press('ArrowRight');
    await settled(page, '2-3');
    await ctx.shot(page, 'rtl');
    await page.close();
  });

  test('template values: allowed hosts, logo and link, automatic turns with a sound the reader can silence', TIMEOUT,
    async () => {
      const refused = await ctx.open(ctx.url('settings'));
      assert.deepEqual(await refused.evaluate(() => [document.getElementById('qv').dataset.state,
        document.getElementById('qv').dataset.error]), ['error', 'host']);
      assert.match(await refused.$eval('.qv-error', (e) => e.textContent), /may not be shown on this web site/);
      await refused.close();

      ctx.server.requests.length = 0;
      const url = ctx.url('settings').replace('127.0.0.1', 'localhost');
      const page = await ctx.open(url);
      await settled(page, '1');
      const logo = await page.$eval('a.qv-logo', (a) => [a.getAttribute('href'), a.target,
        a.querySelector('img').getAttribute('src')]);
      assert.deepEqual(logo, ['https://example.org/', '_blank', './files/extfiles/logoImage.png']);
      await page.waitForFunction(() => document.querySelector('a.qv-logo img').naturalWidth === 160);
      const look = await page.evaluate(() => {
        const root = document.getElementById('qv');
        return [getComputedStyle(root.querySelector('.qv-backdrop')).backgroundImage,
          getComputedStyle(root.querySelector('.qv-backdrop')).backgroundColor,
          getComputedStyle(root).getPropertyValue('--qv-accent').trim()];
      });
      assert.deepEqual(look, ['none', 'rgb(58, 95, 58)', '#ff0066']);
      assert.equal(await page.$eval('.qv-button-play', (b) => b.getAttribute('aria-pressed')), 'true');
      await ctx.shot(page, 'settings');
      await settled(page, '2-3');   // turned by itself after a second
      assert.ok(ctx.server.requests.indexOf('/books/settings/files/extfiles/flipSound.wav') >= 0);
      await page.click('.qv-button-play');
      assert.equal(await page.$eval('.qv-button-play', (b) => b.getAttribute('aria-pressed')), 'false');
      // On a slow machine the next turn may have begun before the click: let it end.
      await pause(400);
      const paused = (await state(page)).spread;
      await pause(1600);
      assert.equal((await state(page)).spread, paused);
      // The sound switch is remembered by the browser.
      assert.equal(await page.$eval('.qv-button-sound', (b) => b.getAttribute('aria-pressed')), 'true');
      await page.click('.qv-button-sound');
      assert.equal(await page.$eval('.qv-button-sound', (b) => b.getAttribute('aria-pressed')), 'false');
      await page.close();
      const again = await ctx.open(url);
      assert.equal(await again.$eval('.qv-button-sound', (b) => b.getAttribute('aria-pressed')), 'false');
      ctx.server.requests.length = 0;
      await again.keyboard.press('ArrowRight');
      await settled(again, '2-3');
      assert.ok(ctx.server.requests.indexOf('/books/settings/files/extfiles/flipSound.wav') < 0);
      await again.close();

      const fromDisk = await ctx.open(ctx.fileUrl('settings'));
      await settled(fromDisk, '1');
      await fromDisk.close();
    });

  test('the about text is shown as plain text', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big'));
    await settled(page, '1');
    await openPanel(page, 'about');
    assert.equal(await page.$eval('.qv-about-text', (e) => e.textContent),
      "A book of forty pages.\nMade for the viewer's tests.");
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('.qv-panel'));
    assert.equal(await page.evaluate(() => document.activeElement.classList.contains('qv-button-about')), true);
    await page.close();
  });

  // What the application's preview does after it republished the book.
  test('reloaded in place: the new configuration on the same page, one reader listening, errors as at start',
    TIMEOUT, async () => {
      const books = path.join(ctx.work, 'books'), book = path.join(books, 'reload');
      const container = (from) => ['book.bin', 'book.js'].forEach((file) =>
        fs.copyFileSync(path.join(books, from, 'files', file), path.join(book, 'files', file)));
      const reload = (page) => page.evaluate(() => window.quireReloadBook());
      const look = (page) => page.evaluate(() => [document.querySelectorAll('.qv-stage, .qv-toolbar').length,
        getComputedStyle(document.getElementById('qv')).getPropertyValue('--qv-background').trim()]);
      for (const url of [ctx.url('reload', '#page=2'), ctx.fileUrl('reload', '#page=2')]) {
        fs.rmSync(book, { recursive: true, force: true });
        fs.cpSync(path.join(books, 'small'), book, { recursive: true });
        // One page at a time: a key that turned twice would show page 3.
        const page = await ctx.open(url, { viewport: { width: 400, height: 700 } });
        await settled(page, '2');
        const firstMark = await page.evaluate(() => performance.getEntriesByName('quire-first-page')[0].startTime);
        container('small-blue');
        assert.equal(await reload(page), true, url);
        // The mark of the first picture is set again, once.
        await page.waitForFunction((before) => performance.getEntriesByName('quire-first-page')[0].startTime > before,
          { timeout: 8000 }, firstMark);
        await settled(page, '2');
        assert.deepEqual(await look(page), [2, '#2266aa'], url);
        assert.equal(await page.evaluate(() => performance.getEntriesByName('quire-first-page').length), 1);
        await page.keyboard.press('Home');
        await settled(page, '1');
        await page.keyboard.press('PageDown');
        await settled(page, '2');
        await pause(400);
        assert.equal((await state(page)).spread, '2', url);

        for (const file of ['book.bin', 'book.js']) fs.rmSync(path.join(book, 'files', file));
        assert.equal(await reload(page), true);
        await page.waitForSelector('#qv[data-state="error"]', { timeout: 8000 });
        assert.deepEqual(await page.evaluate(() => [document.getElementById('qv').dataset.error,
          document.querySelectorAll('.qv-stage, .qv-status').length]), ['missing', 0]);
        container('small');
        assert.equal(await reload(page), true);
        await settled(page, '2');
        assert.deepEqual(await look(page), [2, '#8a2be2'], url);
        // A container the host hands over is read instead of the file.
        const given = fs.readFileSync(path.join(books, 'small-blue', 'files', 'book.bin')).toString('base64');
        assert.equal(await page.evaluate((c) => window.quireReloadBook(c), given), true);
        await page.waitForFunction(() => getComputedStyle(document.getElementById('qv'))
          .getPropertyValue('--qv-background').trim() === '#2266aa', { timeout: 8000 });
        await settled(page, '2');
        assert.deepEqual(page.errors, []);
        await page.close();
      }
    });

  test('a book that cannot be loaded says so in the page', TIMEOUT, async () => {
    const folder = path.join(ctx.work, 'books');
    if (!fs.existsSync(path.join(folder, 'damaged'))) makeBrokenBooks(folder);
    const cases = [
      ['damaged', ctx.url('damaged'), /damaged/], ['damaged', ctx.fileUrl('damaged'), /damaged/],
      ['damaged', ctx.url('wrongkey'), /damaged/], ['missing', ctx.url('missing'), /not found/],
      ['missing', ctx.fileUrl('missing'), /not found/]
    ];
    for (const [kind, url, text] of cases) {
      const page = await ctx.open(url);
      const s = await page.evaluate(() => [document.getElementById('qv').dataset.state,
        document.getElementById('qv').dataset.error]);
      assert.deepEqual(s, ['error', kind], url);
      const message = await page.$eval('.qv-error', (e) => [e.offsetWidth > 0, e.textContent]);
      assert.equal(message[0], true);
      assert.match(message[1], text);
      if (url === ctx.url('damaged')) await ctx.shot(page, 'error');
      await page.close();
    }
  });

  // A title with markup, given to quire-convert, is the page's title as
  // typed and runs nothing.
  test('a hostile title shows as typed and runs no script', TIMEOUT, async () => {
    const convert = process.env.QUIRE_CONVERT;
    assert.ok(convert && fs.existsSync(convert), 'QUIRE_CONVERT must name quire-convert');
    const title = 'Tom & Jerry <3 </title><script>window.quirePwned=1;alert(1)</script> "q" \'s\'';
    const source = path.join(ctx.work, 'hostile.txt');
    fs.writeFileSync(source, 'One page of text.\n');
    execFileSync(convert, [source, '-o', path.join(ctx.work, 'hostile'), '--title', title, '--quiet'],
      { stdio: ['ignore', 'ignore', 'pipe'] });
    const page = await ctx.open(ctx.server.base + '/hostile/index.html',
      { init: () => { window.alert = () => { window.quireAlerted = true; }; } });
    assert.equal(await page.title(), title);
    assert.deepEqual(await page.evaluate(() => [typeof window.quirePwned, typeof window.quireAlerted]),
      ['undefined', 'undefined']);
    assert.equal(await page.evaluate(() => document.getElementById('qv').dataset.state), 'ready');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // Every shipped template and style, with the sample document published by
  // quire-convert: the page opens the book and shows its first page, with
  // the style's background and logo.
  test('the sample book opens in every template and style', TIMEOUT, async () => {
    const convert = process.env.QUIRE_CONVERT;
    const resources = process.env.QUIRE_RESOURCES;
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
      execFileSync(convert, [sample, '-o', path.join(ctx.work, 'templates', name), '--template', template,
        '--style', style, '--bookmarks', '--quiet'], { stdio: ['ignore', 'ignore', 'pipe'] });
      const settings = fs.readFileSync(path.join(stylesFolder, template, style, 'tmplSetting.txt'), 'utf8');
      const named = (key) => new RegExp('\\n\\r' + key + '=STYLE_RESOURCE:').test(settings);

      const page = await ctx.open(ctx.server.base + '/templates/' + name + '/index.html');
      await settled(page, '1');
      const seen = await page.evaluate(() => {
        const root = document.getElementById('qv');
        const picture = root.querySelector('.qv-slot-right canvas');
        const b = picture.getBoundingClientRect();
        const hit = document.elementFromPoint(b.left + b.width / 2, b.top + b.height / 2);
        const logo = root.querySelector('.qv-logo img');
        return {
          theme: root.className,
          size: [b.width, b.height],
          inside: b.left >= 0 && b.top >= 0 && b.right <= innerWidth && b.bottom <= innerHeight,
          onTop: !!hit && root.querySelector('.qv-slot-right').contains(hit),
          background: getComputedStyle(root.querySelector('.qv-backdrop')).backgroundImage,
          logo: logo ? logo.complete && logo.naturalWidth > 0 : null
        };
      });
      assert.match(seen.theme, new RegExp('\\bqv-theme-' + template + '\\b'), name);
      assert.ok(seen.size[0] > 200 && seen.size[1] > 150 && seen.inside && seen.onTop, name + ' ' + JSON.stringify(seen));
      assert.equal(seen.background !== 'none', named('backgroundImage'), name + ' background ' + seen.background);
      assert.equal(seen.logo, named('logoImage') ? true : null, name + ' logo');
      if (named('backgroundImage')) {
        const file = /extfiles\/(backgroundImage\.\w+)/.exec(seen.background);
        assert.ok(file && ctx.server.requests.indexOf('/templates/' + name + '/files/extfiles/' + file[1]) >= 0, name);
      }
      await ctx.shot(page, 'template-' + name);
      assert.deepEqual(page.errors, [], name);
      await page.close();
    }
  });
};
