// Test support: a static file server on 127.0.0.1 that records what it is
// asked for, and Debian's Chromium through playwright-core.
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
// starts, into home: Chromium leaves crash reports, audio settings and
// caches there, the book makers their preferences and logs.
function isolateHome(home) {
  const folders = { HOME: '', XDG_CONFIG_HOME: '.config', XDG_CACHE_HOME: '.cache',
    XDG_DATA_HOME: '.local/share', XDG_STATE_HOME: '.local/state', XDG_RUNTIME_DIR: 'runtime' };
  for (const [name, sub] of Object.entries(folders)) {
    process.env[name] = path.join(home, sub);
    fs.mkdirSync(process.env[name], { recursive: true, mode: 0o700 });
  }
}

// A fresh profile each time; never a downloaded browser.
async function launchBrowser(profile) {
  let chromium;
  try {
    ({ chromium } = require(path.join(viewerRoot, 'node_modules', 'playwright-core')));
  } catch (e) {
    throw new Error('playwright-core is missing: run scripts/setup-extra (npm ci in viewer/)');
  }
  fs.mkdirSync(profile, { recursive: true });
  return chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
    viewport: { width: 1200, height: 800 }
  });
}

module.exports = { startServer, launchBrowser, isolateHome, viewerRoot };
