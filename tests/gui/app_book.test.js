// The book that the window's end-to-end test published ($QUIRE_APP_BOOK),
// read in Debian's Chromium (or $QUIRE_BROWSER) over http and from disk: it opens on its first
// page with the look chosen in the window.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { pathToFileURL } = require('url');
const { startServer, launchBrowser, browserName, isolateHome } = require(path.join(process.env.QUIRE_SOURCE_DIR,
  'tests', 'viewer', 'support.js'));

const book = process.env.QUIRE_APP_BOOK;
let work, server, browser, expected;

test.before(async () => {
  assert.ok(book && fs.existsSync(path.join(book, 'expected.json')),
    'QUIRE_APP_BOOK must hold the book the end-to-end test published');
  expected = JSON.parse(fs.readFileSync(path.join(book, 'expected.json'), 'utf8'));
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'quire-app-book-'));
  isolateHome(path.join(work, 'home'));
  server = await startServer(book);
  browser = await launchBrowser(browserName(), path.join(work, 'profile'));
}, { timeout: 60000 });

test.after(async () => {
  if (browser) await browser.close();
  if (server) await server.close();
  if (work) fs.rmSync(work, { recursive: true, force: true });
});

for (const [how, url] of [['over http', () => server.base + '/' + expected.page],
  ['from disk', () => pathToFileURL(path.join(book, expected.page)).href]]) {
  test('the published book opens ' + how + ' as it looked in the window', { timeout: 60000 }, async () => {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));
    await page.goto(url());
    await page.waitForSelector('#qv[data-state="ready"]', { timeout: 20000 });
    await page.waitForFunction(() => {
      const shown = Array.from(document.querySelectorAll('#qv .qv-slot canvas'));
      return shown.length > 0 && shown.every((c) => c.width > 0);
    }, { timeout: 20000 });
    const seen = await page.evaluate(() => {
      const root = document.getElementById('qv');
      return {
        title: document.title,
        spread: root.dataset.spread,
        status: root.querySelector('.qv-live').textContent,
        background: root.style.getPropertyValue('--qv-background').trim(),
        classic: root.classList.contains('qv-theme-' + 'classic'),
        contents: !!root.querySelector('.qv-button-contents')
      };
    });
    assert.deepEqual(seen, { title: expected.title, spread: '1', status: 'Page 1 of ' + expected.pages,
      background: expected.background, classic: expected.theme === 'classic', contents: true });
    assert.deepEqual(errors, []);
    await page.close();
  });
}
