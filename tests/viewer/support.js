// Test support: a static file server on 127.0.0.1 that records what it is
// asked for, Debian's Chromium and Firefox ESR through puppeteer-core (over
// the DevTools protocol and WebDriver BiDi), and the reader's own helpers.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const source = process.env.QUIRE_SOURCE_DIR || path.resolve(__dirname, '..', '..');
const viewerRoot = path.join(source, 'viewer');

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.jpg': 'image/jpeg',
  '.png': 'image/png', '.bin': 'application/octet-stream', '.ogg': 'audio/ogg', '.wav': 'audio/wav' };

function startServer(root) {
  const requests = [];
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://127.0.0.1');
    requests.push(decodeURIComponent(url.pathname));
    const file = path.join(root, decodeURIComponent(url.pathname));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404, { 'Content-Type': 'text/plain' });
      res.end('not found');
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-cache' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({
        base: 'http://127.0.0.1:' + server.address().port,
        requests,
        close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); })
      });
    });
  });
}

// Points HOME and the XDG folders of this process, and so of everything it
// starts, into home: the browsers leave crash reports, settings and caches
// there, the book makers their preferences and logs.
function isolateHome(home) {
  const folders = { HOME: '', XDG_CONFIG_HOME: '.config', XDG_CACHE_HOME: '.cache',
    XDG_DATA_HOME: '.local/share', XDG_STATE_HOME: '.local/state', XDG_RUNTIME_DIR: 'runtime' };
  for (const [name, sub] of Object.entries(folders)) {
    process.env[name] = path.join(home, sub);
    fs.mkdirSync(process.env[name], { recursive: true, mode: 0o700 });
  }
}

const BROWSERS = {
  chromium: { executablePath: '/usr/bin/chromium', browser: 'chrome', protocol: 'cdp' },
  firefox: { executablePath: '/usr/bin/firefox-esr', browser: 'firefox', protocol: 'webDriverBiDi' }
};

// The browser the tests run in: QUIRE_BROWSER, Chromium by default.
function browserName() {
  const name = process.env.QUIRE_BROWSER || 'chromium';
  if (!BROWSERS[name]) throw new Error('QUIRE_BROWSER must be one of ' + Object.keys(BROWSERS).join(', '));
  return name;
}

// A fresh profile in the given folder each time; never a downloaded browser.
async function launchBrowser(name, profile) {
  let puppeteer;
  try {
    puppeteer = require(path.join(viewerRoot, 'node_modules', 'puppeteer-core'));
  } catch (e) {
    throw new Error('puppeteer-core is missing: run scripts/setup-extra (npm ci in viewer/)');
  }
  const which = BROWSERS[name];
  if (!fs.existsSync(which.executablePath)) {
    throw new Error(which.executablePath + ' is missing: scripts/setup installs it (scripts/packages.txt)');
  }
  fs.mkdirSync(profile, { recursive: true });
  return puppeteer.launch({
    browser: which.browser,
    protocol: which.protocol,
    executablePath: which.executablePath,
    userDataDir: profile,
    headless: true,
    args: name === 'chromium' ? ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run', '--hide-scrollbars'] : [],
    extraPrefsFirefox: { 'browser.shell.checkDefaultBrowser': false, 'datareporting.policy.dataSubmissionEnabled': false,
      'toolkit.telemetry.reportingpolicy.firstRun': false, 'app.update.enabled': false,
      // Puppeteer asks Firefox to keep every response body for the script
      // (up to 200 MB in the browser's own process); nothing here reads them.
      'remote.network.maxTotalDataSize': 1 },
    // Nothing here watches requests either; watching them makes Firefox keep
    // a record of each in its own process, which the memory bench would count
    // as the reader's.
    networkEnabled: false,
    env: process.env,
    protocolTimeout: 60000
  });
}

// Firefox ESR 140 (Debian 12 without its security updates) lacks the
// screen-orientation command that puppeteer sends beside every viewport
// change; the viewport itself is set all the same.
async function setViewport(page, viewport) {
  try {
    await page.setViewport(viewport);
  } catch (e) {
    if (!/unknown command emulation\.setScreenOrientationOverride/.test(String(e && e.message))) throw e;
  }
}

// Opens a page and waits for the reader to show the book or its error.
async function openReader(browser, url, options) {
  const o = options || {};
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.errors = errors;
  const size = o.viewport || { width: 1200, height: 800 };
  await setViewport(page, { width: size.width, height: size.height, hasTouch: !!o.touch, isMobile: !!o.touch });
  if (o.init) await page.evaluateOnNewDocument(o.init);
  await page.goto(url);
  await page.waitForSelector('#qv[data-state="ready"], #qv[data-state="error"]', { timeout: 15000 });
  return page;
}

async function readerState(page) {
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

// The reader rests on the spread and every page on show is drawn.
async function settled(page, spread) {
  await page.waitForFunction((want) => {
    const root = document.getElementById('qv');
    return root.dataset.spread === want && !root.dataset.turning;
  }, { timeout: 8000 }, spread);
  await page.waitForFunction(() => Array.from(document.querySelectorAll('.qv-slot .qv-page[data-position]')).every(
    (face) => face.classList.contains('qv-broken') || (face.querySelector('canvas') || {}).width > 0),
  { timeout: 8000 });
}

// The box of the first element matching the selector (and holding the text,
// when given), in client coordinates.
async function box(page, selector, text) {
  const found = await page.evaluate((sel, want) => {
    const el = Array.from(document.querySelectorAll(sel)).find((e) => !want || e.textContent.indexOf(want) >= 0);
    if (!el) return null;
    el.scrollIntoView({ block: 'nearest' });
    const r = el.getBoundingClientRect();
    return { x: r.left, y: r.top, width: r.width, height: r.height };
  }, selector, text || '');
  if (!found) throw new Error('no ' + selector + (text ? ' holding "' + text + '"' : ''));
  return found;
}

async function clickOn(page, selector, text) {
  const b = await box(page, selector, text);
  await page.mouse.click(b.x + b.width / 2, b.y + b.height / 2);
}

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Opens a side panel from its toolbar button and waits until it has slid in.
async function openPanel(page, kind) {
  await page.click('.qv-button-' + kind);
  await page.waitForFunction((k) => {
    const panel = document.querySelector('.qv-panel-' + k + '.qv-open');
    return panel && Math.abs(panel.getBoundingClientRect().left) < 1;
  }, { timeout: 5000 }, kind);
}

module.exports = { startServer, launchBrowser, browserName, isolateHome, viewerRoot, openReader, readerState,
  settled, box, clickOn, pause, openPanel };
