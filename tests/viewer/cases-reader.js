// The reader's controls: the page box and the address, the keyboard's Tab
// order and axe-core's checks, phones (pinch, pan, double tap, link targets)
// and printing.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const { readerState: state, settled, box, pause, openPanel, viewerRoot } = require('./support.js');

const zoomOf = (page) => page.evaluate(() => Number(document.getElementById('qv').dataset.zoom));
const scrollOf = (page) => page.$eval('.qv-stage', (s) => [s.scrollLeft, s.scrollTop]);

module.exports = function (ctx) {
  const { TIMEOUT } = ctx;

  test('the page box takes a number wherever it is clicked, and the address and Back follow', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big', '#page=10'));
    await settled(page, '10-11');
    await page.keyboard.press('ArrowRight');
    await settled(page, '12-13');
    assert.equal((await state(page)).hash, '#page=12');
    await page.evaluate(() => { location.hash = '#page=21'; });
    await settled(page, '20-21');
    // A click near the end of the box's text, then typing: the whole text is
    // replaced, and letters are refused.
    const b = await box(page, '.qv-page-input');
    await page.mouse.click(b.x + b.width * 0.6, b.y + b.height / 2);
    await page.keyboard.type('3x5');
    assert.equal(await page.$eval('.qv-page-input', (i) => i.value), '35');
    await page.keyboard.press('Enter');
    await settled(page, '34-35');
    assert.equal((await state(page)).hash, '#page=34');
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.tagName), 'BODY');
    await page.mouse.click(b.x + b.width * 0.2, b.y + b.height / 2);
    await page.keyboard.type('17');
    await page.keyboard.press('Enter');
    await settled(page, '16-17');
    await page.goBack();
    await settled(page, '34-35');
    await page.goBack();
    await settled(page, '20-21');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test('Tab reaches the toolbar before the links, focus shows, and axe-core finds no violation', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big', '#page=3'));
    await settled(page, '2-3');
    await page.focus('.qv-page-input');
    const order = [];
    for (let i = 0; i < 16; i++) {
      await page.keyboard.press('Tab');
      order.push(await page.evaluate(() => {
        const el = document.activeElement;
        if (el === document.body) return null;
        const style = getComputedStyle(el);
        return { name: el.getAttribute('aria-label') || el.className, link: el.classList.contains('qv-link'),
          bar: !!el.closest('.qv-toolbar'), outline: style.outlineStyle !== 'none' || style.boxShadow !== 'none' };
      }));
    }
    if (order.indexOf(null) >= 0) order.length = order.indexOf(null);
    assert.equal(order[0].name, 'Next page');
    const firstLink = order.findIndex((o) => o.link);
    assert.ok(firstLink > 0 && order.slice(0, firstLink).every((o) => !o.link), JSON.stringify(order));
    assert.ok(order.slice(firstLink).every((o) => !o.bar), JSON.stringify(order));
    assert.ok(order.every((o) => o.outline), 'focus shows: ' + JSON.stringify(order));
    assert.match(order[firstLink].name, /^Go to page 26$/);

    const axe = fs.readFileSync(path.join(viewerRoot, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8');
    const check = async (what) => {
      await page.evaluate(axe);
      const violations = await page.evaluate(async () => (await window.axe.run(document)).violations.map((v) =>
        v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).slice(0, 4).join(', ')));
      assert.deepEqual(violations, [], what);
    };
    await check('a spread with links');
    for (const panel of ['contents', 'thumbnails']) {
      await openPanel(page, panel);
      await check('the ' + panel + ' panel');
      await page.keyboard.press('Escape');
    }
    await page.close();
  });

  test('on a phone: pinch zoom, one finger pans and never turns, double tap zooms and back, links big enough',
    TIMEOUT, async () => {
      const page = await ctx.open(ctx.url('big', '#page=4'), { viewport: { width: 390, height: 844 }, touch: true });
      await settled(page, '4');
      const t = page.touchscreen;
      const tap = async (x, y) => { const h = await t.touchStart(x, y); await h.end(); };
      // The tiny link on this page takes a finger.
      await tap(5, 5);
      const link = await page.$eval('.qv-slot-right a.qv-link-page', (a) => {
        const r = a.getBoundingClientRect(), after = getComputedStyle(a, '::after');
        return { w: r.width, h: r.height, targetW: parseFloat(after.width), targetH: parseFloat(after.height),
          x: r.left + r.width / 2, y: r.top + r.height / 2 };
      });
      assert.ok(link.w < 24 && link.h < 24, JSON.stringify(link));
      assert.ok(link.targetW >= 24 && link.targetH >= 24, JSON.stringify(link));
      assert.equal(await page.evaluate((x, y) => !!document.elementFromPoint(x, y).closest('.qv-link'),
        link.x + 10, link.y + 10), true);

      const stage = await box(page, '.qv-stage');
      const cx = stage.x + stage.width / 2, cy = stage.y + stage.height / 2;
      const a = await t.touchStart(cx - 40, cy);
      const b = await t.touchStart(cx + 40, cy + 10);
      for (let i = 1; i <= 6; i++) {
        await a.move(cx - 40 - i * 15, cy - i * 4);
        await b.move(cx + 40 + i * 15, cy + 10 + i * 4);
        await pause(20);
      }
      await a.end();
      await b.end();
      await page.waitForFunction(() => Number(document.getElementById('qv').dataset.zoom) > 2);
      await settled(page, '4');
      await ctx.shot(page, 'phone-pinched');
      // Horizontal and vertical drags move the page, and the page stays.
      for (const [dx, dy] of [[-150, 0], [0, -200], [120, 60]]) {
        const before = await scrollOf(page);
        const f = await t.touchStart(cx, cy);
        for (let i = 1; i <= 5; i++) await f.move(cx + dx * i / 5, cy + dy * i / 5);
        await f.end();
        await pause(350);
        const after = await scrollOf(page);
        assert.equal((await state(page)).spread, '4');
        assert.ok(Math.abs(after[0] - before[0] + dx) < 3 && Math.abs(after[1] - before[1] + dy) < 3,
          [dx, dy, before, after].join(' '));
      }
      // Two taps: back to the whole page, then zoomed on the tapped point.
      await tap(cx, cy);
      await tap(cx, cy);
      await page.waitForFunction(() => Number(document.getElementById('qv').dataset.zoom) === 1);
      const point = { x: stage.x + stage.width * 0.3, y: stage.y + stage.height * 0.3 };
      const at = await page.evaluate((x, y) => {
        const r = document.querySelector('.qv-book').getBoundingClientRect();
        return [(x - r.left) / r.width, (y - r.top) / r.height];
      }, point.x, point.y);
      await tap(point.x, point.y);
      await tap(point.x, point.y);
      await page.waitForFunction(() => Number(document.getElementById('qv').dataset.zoom) > 2);
      const kept = await page.evaluate((x, y) => {
        const r = document.querySelector('.qv-book').getBoundingClientRect();
        return [(x - r.left) / r.width, (y - r.top) / r.height];
      }, point.x, point.y);
      assert.ok(Math.abs(kept[0] - at[0]) < 0.02 && Math.abs(kept[1] - at[1]) < 0.02, at + ' -> ' + kept);
      assert.equal((await state(page)).spread, '4');
      await tap(cx, cy);
      await tap(cx, cy);
      await page.waitForFunction(() => Number(document.getElementById('qv').dataset.zoom) === 1);
      // At rest a tap on the page's outer part turns it, a swipe too.
      await tap(stage.x + stage.width * 0.9, cy);
      await settled(page, '5');
      const s = await t.touchStart(stage.x + stage.width * 0.8, cy);
      for (let i = 1; i <= 5; i++) await s.move(stage.x + stage.width * (0.8 - i * 0.14), cy - i * 3);
      await s.end();
      await settled(page, '6');
      assert.equal(await zoomOf(page), 1);
      await ctx.shot(page, 'phone');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

  test('Ctrl and the wheel zoom around the pointer; zoomed, the wheel scrolls', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big', '#page=6'));
    await settled(page, '6-7');
    const b = await box(page, '.qv-slot-left');
    await page.mouse.move(b.x + b.width * 0.3, b.y + b.height * 0.3);
    await page.keyboard.down('Control');
    for (let i = 0; i < 3; i++) await page.mouse.wheel({ deltaY: -120 });
    await page.keyboard.up('Control');
    await page.waitForFunction(() => Number(document.getElementById('qv').dataset.zoom) > 1.5);
    const before = await scrollOf(page);
    await page.mouse.wheel({ deltaY: 200 });
    await page.waitForFunction((top) => document.querySelector('.qv-stage').scrollTop > top, {}, before[1]);
    assert.equal((await state(page)).spread, '6-7');
    await page.close();
  });

  test('printing shows each page on show on its own sheet, without the toolbar', TIMEOUT, async () => {
    const page = await ctx.open(ctx.url('big', '#page=6'));
    await settled(page, '6-7');
    await page.waitForFunction(() => Array.from(document.querySelectorAll('.qv-print img')).filter((i) =>
      i.complete && i.naturalWidth > 0).length === 2);
    try {
      await page.emulateMediaType('print');
    } catch (e) {
      // Firefox's driver cannot switch to print media: the page's print
      // rules are applied to the screen instead.
      await page.evaluate(() => {
        const rules = [];
        for (const sheet of document.styleSheets) {
          for (const rule of sheet.cssRules) {
            if (rule.media && rule.media.mediaText === 'print') {
              for (const inner of rule.cssRules) rules.push(inner.cssText);
            }
          }
        }
        const style = document.createElement('style');
        style.textContent = rules.join('\n');
        document.head.appendChild(style);
      });
    }
    const printed = await page.evaluate(() => ({
      bar: getComputedStyle(document.querySelector('.qv-toolbar')).display,
      pages: Array.from(document.querySelectorAll('.qv-print img')).map((i) => [i.getAttribute('src'),
        getComputedStyle(i).breakAfter || getComputedStyle(i).pageBreakAfter, i.complete && i.naturalWidth > 0])
    }));
    assert.equal(printed.bar, 'none');
    assert.deepEqual(printed.pages.map((p) => p[0]), ['./files/page/10.jpg', './files/page/11.jpg']);
    assert.ok(printed.pages[0][1] === 'page' && printed.pages.every((p) => p[2]), JSON.stringify(printed));
    await page.close();
  });
};
