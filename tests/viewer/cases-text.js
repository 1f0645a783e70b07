// The text in the book: a letter-size manual published by quire-convert
// with its words, page labels and thumbnails. The text layer, search, link
// names, labels and thumbnails are read from the files the core writes
// beside the pictures; a core that writes none leaves these tests skipped
// (QUIRE_BOOK_TEXT=1 makes their absence a failure).
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const { manualPdf } = require('./manual-pdf.js');
const { readerState: state, settled, box, clickOn, pause, openPanel } = require('./support.js');

// The rare word's page, counted from 1, labelled 16, in the second file of words.
const PAGES = 20, RARE = 18;

module.exports = function (ctx) {
  const { TIMEOUT } = ctx;
  let made = null;

  // Publishes the manual once; tells whether the core wrote its text files.
  function manual() {
    if (made) return made;
    const pdf = path.join(ctx.work, 'manual.pdf');
    fs.writeFileSync(pdf, manualPdf(PAGES, RARE));
    execFileSync(process.env.QUIRE_CONVERT, [pdf, '-o', path.join(ctx.work, 'books', 'manual'), '--bookmarks',
      '--links', '--title', 'Manual', '--quiet'], { stdio: ['ignore', 'ignore', 'pipe'] });
    made = fs.existsSync(path.join(ctx.work, 'books', 'manual', 'files', 'extras.js'));
    return made;
  }
  function needsText(t) {
    if (manual()) return false;
    assert.ok(!process.env.QUIRE_BOOK_TEXT, 'the core published no text files for the manual');
    t.skip('this core publishes no text files beside the pictures');
    return true;
  }

  test('page labels in the page box and the contents; the words arrive with their pages only', TIMEOUT, async (t) => {
    if (needsText(t)) return;
    ctx.server.requests.length = 0;
    const page = await ctx.open(ctx.url('manual', '#page=2'));
    await settled(page, '2-3');
    await page.waitForFunction(() => document.querySelector('.qv-page-input').value === 'ii-1');
    assert.equal(await page.$eval('.qv-page-total', (e) => e.textContent), '(2-3 of 20)');
    await page.waitForFunction(() => document.querySelectorAll('.qv-text-line').length > 10);
    // One file holds the words of sixteen pages.
    const texts = ctx.server.requests.filter((r) => r.indexOf('/books/manual/files/text/') === 0);
    assert.deepEqual(texts, ['/books/manual/files/text/0.js']);
    // A label goes to its page; a number beyond the labels goes to that position.
    await page.click('.qv-page-input');
    await page.keyboard.type('7');
    await page.keyboard.press('Enter');
    await settled(page, '8-9');
    assert.equal(await page.$eval('.qv-page-input', (i) => i.value), '6-7');
    await openPanel(page, 'contents');
    assert.deepEqual(await page.$$eval('.qv-toc-page', (l) => l.map((e) => e.textContent)),
      ['1', '4', '7', '10', '13', '16']);
    await page.close();
  });

  test('the text layer holds the page\'s words over their places, selectable without turning the page', TIMEOUT,
    async (t) => {
      if (needsText(t)) return;
      const page = await ctx.open(ctx.url('manual', '#page=' + RARE));
      await settled(page, '18-19');
      await page.waitForFunction(() => document.querySelectorAll('.qv-slot-left .qv-text-line').length >= 40);
      const layer = await page.evaluate(() => {
        const left = document.querySelector('.qv-slot-left');
        const lines = Array.from(left.querySelectorAll('.qv-text-line'));
        const canvas = left.querySelector('canvas').getBoundingClientRect();
        const rare = lines.find((l) => l.textContent.indexOf('zephyrquill') >= 0);
        const r = rare.getBoundingClientRect();
        return { colour: getComputedStyle(rare).color, text: rare.textContent,
          place: [(r.left - canvas.left) / canvas.width, (r.top - canvas.top) / canvas.height, r.width / canvas.width],
          inside: lines.every((l) => {
            const b = l.getBoundingClientRect();
            return b.left >= canvas.left - 1 && b.right <= canvas.right + 1 && b.top >= canvas.top - 1 &&
              b.bottom <= canvas.bottom + 1;
          }) };
      });
      assert.equal(layer.colour, 'rgba(0, 0, 0, 0)');
      assert.match(layer.text, /^The word zephyrquill is here\. /);
      // Line 6 of the body, 72 points from the left edge of a 612-point page.
      assert.ok(Math.abs(layer.place[0] - 72 / 612) < 0.01 && layer.place[1] > 0.1 && layer.place[1] < 0.25 &&
        layer.place[2] > 0.5, JSON.stringify(layer));
      assert.ok(layer.inside);
      // A mouse drag across the words selects them and leaves the page.
      const line = await box(page, '.qv-slot-left .qv-text-line', 'zephyrquill');
      await page.mouse.move(line.x + 2, line.y + line.height / 2);
      await page.mouse.down();
      await page.mouse.move(line.x + line.width * 0.5, line.y + line.height / 2, { steps: 5 });
      await page.mouse.up();
      await pause(400);
      assert.match(await page.evaluate(() => getSelection().toString()), /The word zephyrquill/);
      assert.equal((await state(page)).spread, '18-19');
      await ctx.shot(page, 'text-selected');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

  test('search: Ctrl+F, hits with page and words around them, the spread turned and the words marked', TIMEOUT,
    async (t) => {
      if (needsText(t)) return;
      const page = await ctx.open(ctx.url('manual'));
      await settled(page, '1');
      await page.keyboard.down('Control');
      await page.keyboard.press('f');
      await page.keyboard.up('Control');
      await page.waitForSelector('.qv-search-input');
      assert.equal(await page.evaluate(() => document.activeElement.className), 'qv-search-input');
      await page.keyboard.type('ZEPHYRQUILL');
      await page.waitForFunction(() => document.querySelectorAll('.qv-search-hit').length === 1);
      assert.equal(await page.$eval('.qv-search-status', (e) => e.textContent), '1 found');
      const hit = await page.$eval('.qv-search-hit', (b) => [b.querySelector('.qv-search-page').textContent,
        b.querySelector('mark').textContent, b.textContent]);
      assert.deepEqual(hit.slice(0, 2), ['Page 16', 'zephyrquill']);
      assert.match(hit[2], /The word zephyrquill is here/);
      await page.click('.qv-search-hit');
      await settled(page, '18-19');
      await page.waitForSelector('.qv-slot-left .qv-hit-current');
      const marked = await page.evaluate(() => {
        const mark = document.querySelector('.qv-hit-current').getBoundingClientRect();
        const line = Array.from(document.querySelectorAll('.qv-slot-left .qv-text-line'))
          .find((l) => l.textContent.indexOf('zephyrquill') >= 0).getBoundingClientRect();
        return { count: document.querySelectorAll('.qv-hit').length, onLine: mark.top < line.bottom && mark.bottom > line.top,
          after: mark.left > line.left };
      });
      assert.deepEqual(marked, { count: 1, onLine: true, after: true });
      await ctx.shot(page, 'search-hit');
      // Many hits: listed with the count, each page's words fetched once.
      await page.keyboard.down('Control');
      await page.keyboard.press('f');
      await page.keyboard.up('Control');
      await page.keyboard.type('packages');
      await page.waitForFunction(() => /^\d+ found/.test(document.querySelector('.qv-search-status').textContent) &&
        document.querySelector('.qv-search-status').textContent !== '1 found');
      assert.ok(await page.$$eval('.qv-search-hit', (l) => l.length) > 20);
      await page.goBack();
      await settled(page, '1');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

  test('contents links are named by their words; thumbnails are the small files', TIMEOUT, async (t) => {
    if (needsText(t)) return;
    ctx.server.requests.length = 0;
    const page = await ctx.open(ctx.url('manual', '#page=2'));
    await settled(page, '2-3');
    await page.waitForFunction(() => {
      const link = document.querySelector('.qv-slot-left a.qv-link-page');
      return link && /^Go to 1 /.test(link.getAttribute('aria-label'));
    });
    const names = await page.$$eval('.qv-slot-left a.qv-link-page', (l) => l.map((a) => a.getAttribute('aria-label')));
    assert.deepEqual(names.slice(0, 2), ['Go to 1 Installing packages, part 1', 'Go to 2 Installing packages, part 2']);
    await clickOn(page, '.qv-slot-left a.qv-link-page', '');
    await settled(page, '2-3');
    await openPanel(page, 'thumbnails');
    await page.waitForFunction(() => document.querySelectorAll('.qv-thumb img').length >= 6 &&
      Array.from(document.querySelectorAll('.qv-thumb img')).every((i) => i.complete));
    const thumbs = ctx.server.requests.filter((r) => r.indexOf('/books/manual/files/thumb/') === 0);
    assert.ok(thumbs.length >= 6, thumbs.join(' '));
    for (const file of thumbs) {
      assert.ok(fs.statSync(path.join(ctx.work, file)).size < 30000, file);
    }
    assert.equal(await page.$eval('.qv-thumb .qv-thumb-number', (e) => e.textContent), 'i');
    await ctx.shot(page, 'thumbnails');
    await page.close();
  });
};
