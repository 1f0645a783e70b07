// Books published by the core, read over http on 127.0.0.1 and from disk in
// the browser QUIRE_BROWSER names (chromium, the default, or firefox). Set
// QUIRE_VIEWER_SHOTS to a folder to keep the screenshots.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { pathToFileURL } = require('url');
const support = require('./support.js');

const books = process.env.QUIRE_VIEWER_BOOKS;
const name = support.browserName();
const ctx = { name, firefox: name === 'firefox' };

test.before(async () => {
  assert.ok(books && fs.existsSync(books), 'QUIRE_VIEWER_BOOKS must name the book maker');
  ctx.work = fs.mkdtempSync(path.join(os.tmpdir(), 'quire-viewer-' + name + '-'));
  ctx.shots = process.env.QUIRE_VIEWER_SHOTS || path.join(ctx.work, 'shots');
  fs.mkdirSync(ctx.shots, { recursive: true });
  ctx.server = await support.startServer(ctx.work);
  fs.writeFileSync(path.join(ctx.work, 'target.html'), '<!DOCTYPE html><title>Target</title><p>Link target</p>');
  support.isolateHome(path.join(ctx.work, 'home'));
  execFileSync(books, ['test', path.join(ctx.work, 'books'), ctx.server.base], { stdio: ['ignore', 'ignore', 'inherit'] });
  ctx.browser = await support.launchBrowser(name, path.join(ctx.work, 'profile'));
}, { timeout: 120000 });

test.after(async () => {
  if (ctx.browser) await ctx.browser.close();
  if (ctx.server) await ctx.server.close();
  if (ctx.work) fs.rmSync(ctx.work, { recursive: true, force: true });
}, { timeout: 30000 });

ctx.url = (book, hash) => ctx.server.base + '/books/' + book + '/index.html' + (hash || '');
ctx.fileUrl = (book, hash) => pathToFileURL(path.join(ctx.work, 'books', book, 'index.html')).href + (hash || '');
ctx.open = (url, options) => support.openReader(ctx.browser, url, options);
ctx.shot = (page, shotName) => page.screenshot({ path: path.join(ctx.shots, name + '-' + shotName + '.png') });
ctx.TIMEOUT = { timeout: 60000 };

require('./cases-book.js')(ctx);
require('./cases-reader.js')(ctx);
require('./cases-text.js')(ctx);
