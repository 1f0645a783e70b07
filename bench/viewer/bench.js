// Benchmark: the viewer on a 500-page book published by the core and served
// on 127.0.0.1, and, as its peer, a plain page that puts all 500 pictures in
// img elements at once. Prints both sets of figures.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');

const source = process.env.QUIRE_SOURCE_DIR || path.resolve(__dirname, '..', '..');
const { startServer, launchBrowser } = require(path.join(source, 'tests', 'viewer', 'support.js'));
const PAGES = 500;
const TURNS = Number(process.env.QUIRE_BENCH_TURNS) || 50;
const RUNS = Number(process.env.QUIRE_BENCH_RUNS) || 5;

function median(values) {
  const v = values.slice().sort((a, b) => a - b);
  return v[Math.floor(v.length / 2)];
}
const mib = (bytes) => (bytes / 1048576).toFixed(1) + ' MiB';

// Resident memory of the renderer processes of the browser that uses this
// profile folder, read from /proc: private memory, and shared memory, which
// is mostly Chromium's discardable cache of decoded pictures (released under
// memory pressure).
function rendererMemory(profile) {
  const procs = {};
  for (const pid of fs.readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      // Forked helpers rewrite their command line as one string.
      const cmd = fs.readFileSync('/proc/' + pid + '/cmdline', 'utf8').replace(/\0/g, ' ');
      const ppid = fs.readFileSync('/proc/' + pid + '/stat', 'utf8').replace(/^.*\) /, '').split(' ')[1];
      procs[pid] = { cmd, ppid };
    } catch (e) { /* gone */ }
  }
  const root = Object.keys(procs).find((pid) => procs[pid].cmd.indexOf('--user-data-dir=' + profile + ' ') >= 0 &&
    procs[pid].cmd.indexOf('--type=') < 0);
  const total = { own: 0, shared: 0 };
  const within = (pid) => {
    for (let p = pid, hops = 0; p && hops < 10; p = procs[p] && procs[p].ppid, hops++) if (p === root) return true;
    return false;
  };
  for (const pid of Object.keys(procs)) {
    if (procs[pid].cmd.indexOf('--type=renderer') < 0 || !within(pid)) continue;
    try {
      const status = fs.readFileSync('/proc/' + pid + '/status', 'utf8');
      total.own += Number((/RssAnon:\s+(\d+) kB/.exec(status) || [0, 0])[1]) * 1024;
      total.shared += Number((/RssShmem:\s+(\d+) kB/.exec(status) || [0, 0])[1]) * 1024;
    } catch (e) { /* gone */ }
  }
  return total;
}

async function metrics(page, pressure) {
  const cdp = await page.context().newCDPSession(page);
  if (pressure) {
    await cdp.send('Memory.simulatePressureNotification', { level: 'critical' });
    await page.waitForTimeout(1500);
  }
  await cdp.send('HeapProfiler.enable');
  await cdp.send('HeapProfiler.collectGarbage');
  await cdp.send('Performance.enable');
  const list = (await cdp.send('Performance.getMetrics')).metrics;
  await cdp.detach();
  const get = (name) => (list.find((m) => m.name === name) || {}).value || 0;
  const images = await page.evaluate(() => document.images.length);
  return { heap: get('JSHeapUsedSize'), nodes: get('Nodes'), images, rss: rendererMemory(page.profile) };
}

async function fresh(work, run) {
  const profile = path.join(work, 'profile-' + run);
  const browser = await launchBrowser(profile);
  const page = browser.pages()[0] || await browser.newPage();
  page.profile = profile;
  await page.setViewportSize({ width: 1280, height: 800 });
  return { browser, page };
}

async function viewerRun(work, server, run, turn) {
  const { browser, page } = await fresh(work, run);
  try {
    return await measureViewer(page, server, turn);
  } finally {
    await browser.close();
  }
}

async function measureViewer(page, server, turn) {
  server.requests.length = 0;
  await page.goto(server.base + '/book/index.html');
  await page.waitForFunction(() => performance.getEntriesByName('quire-first-page').length > 0, null,
    { timeout: 10000 });
  const firstPage = await page.evaluate(() => performance.getEntriesByName('quire-first-page')[0].startTime);
  await page.waitForTimeout(1000);   // let prefetching settle
  const pictures = new Set(server.requests.filter((r) => r.indexOf('/book/files/page/') === 0)).size;
  const result = { firstPage, pictures };
  if (turn) {
    result.memory = [Object.assign({ turns: 0 }, await metrics(page))];
    for (let i = 1; i <= TURNS; i++) {
      const before = await page.evaluate(() => document.getElementById('qv').dataset.spread);
      await page.keyboard.press('ArrowRight');
      await page.waitForFunction((b) => {
        const root = document.getElementById('qv');
        return root.dataset.spread !== b && !root.dataset.turning;
      }, before);
      if (i % Math.max(10, TURNS / 5) === 0) result.memory.push(Object.assign({ turns: i }, await metrics(page)));
    }
    result.memory.push(Object.assign({ turns: TURNS, pressure: true }, await metrics(page, true)));
    result.spread = await page.evaluate(() => document.getElementById('qv').dataset.spread);
  }
  return result;
}

async function peerRun(work, server, run) {
  const { browser, page } = await fresh(work, 'peer-' + run);
  try {
    return await measurePeer(page, server);
  } finally {
    await browser.close();
  }
}

async function measurePeer(page, server) {
  server.requests.length = 0;
  await page.goto(server.base + '/book/all-pictures.html');
  await page.waitForFunction(() => performance.getEntriesByName('first-picture').length > 0, null, { timeout: 10000 });
  const firstPage = await page.evaluate(() => performance.getEntriesByName('first-picture')[0].startTime);
  await page.waitForTimeout(1000);
  const pictures = new Set(server.requests.filter((r) => r.indexOf('/book/files/page/') === 0)).size;
  const memory = await metrics(page);
  return { firstPage, pictures, memory };
}

async function main() {
  const books = process.env.QUIRE_VIEWER_BOOKS;
  if (!books) throw new Error('QUIRE_VIEWER_BOOKS must name the book maker (ninja bench_viewer sets it)');
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'quire-viewer-bench-'));
  const home = path.join(work, 'home');
  fs.mkdirSync(home, { mode: 0o700 });
  let server;
  try {
    const started = Date.now();
    execFileSync(books, ['bench', work, String(PAGES)], {
      env: Object.assign({}, process.env, { HOME: home, XDG_RUNTIME_DIR: home }), stdio: ['ignore', 'ignore', 'ignore']
    });
    console.log('published a ' + PAGES + '-page book with the core in ' + ((Date.now() - started) / 1000).toFixed(1) + ' s');
    const list = [];
    for (let n = 1; n <= PAGES; n++) {
      list.push('<img src="files/page/' + n + '.jpg" width="240" height="320" alt=""' +
        (n === 1 ? ' onload="performance.mark(\'first-picture\')"' : '') + '>');
    }
    fs.writeFileSync(path.join(work, 'book', 'all-pictures.html'), '<!DOCTYPE html><title>All pictures</title>' +
      '<body>' + list.join('') + '</body>');
    server = await startServer(work);

    const viewer = [], peer = [];
    for (let run = 0; run < RUNS; run++) {
      viewer.push(await viewerRun(work, server, run, run === RUNS - 1));
      peer.push(await peerRun(work, server, run));
    }
    const turned = viewer[RUNS - 1];
    console.log('');
    console.log('viewer (this page-flip viewer), ' + RUNS + ' cold runs:');
    console.log('  first page visible after navigation: median ' + median(viewer.map((r) => r.firstPage)).toFixed(0) +
      ' ms (runs: ' + viewer.map((r) => r.firstPage.toFixed(0)).join(', ') + '; target < 500 ms)');
    console.log('  page pictures requested before the first turn: ' + Math.max(...viewer.map((r) => r.pictures)) +
      ' (target: about a dozen at most)');
    console.log('  memory while turning ' + TURNS + ' pages (after garbage collection), ended on pages ' + turned.spread + ':');
    for (const m of turned.memory) {
      console.log('    after ' + String(m.turns).padStart(2) + ' turns' + (m.pressure ? ' and a memory-pressure signal' : '') +
        ': renderer private ' + mib(m.rss.own) + ', decoded-picture cache (shared) ' + mib(m.rss.shared) +
        ', JS heap ' + mib(m.heap) + ', DOM nodes ' + m.nodes + ', img elements ' + m.images);
    }
    console.log('peer (plain page with all ' + PAGES + ' pictures in img elements), ' + RUNS + ' cold runs:');
    console.log('  first picture loaded after navigation: median ' + median(peer.map((r) => r.firstPage)).toFixed(0) + ' ms');
    console.log('  page pictures requested: ' + Math.max(...peer.map((r) => r.pictures)));
    const pm = peer[RUNS - 1].memory;
    console.log('  after load: renderer private ' + mib(pm.rss.own) + ', shared ' + mib(pm.rss.shared) + ', JS heap ' +
    mib(pm.heap) + ', DOM nodes ' + pm.nodes + ', img elements ' + pm.images);
  } finally {
    if (server) await server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
