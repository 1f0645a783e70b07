// Benchmark: the viewer reading a 236-page book of 1224 x 1584 pictures (a
// letter-size manual imported at 144 dots per inch) published by the core
// and served on 127.0.0.1, in Chromium and in Firefox ESR. It turns through
// 200 pages and prints the browser's memory beside the 400 MB goal: the
// proportional set size (from /proc) of the anonymous and shared memory of
// all the browser's processes, of the process that shows the book, and of
// the same browser showing a blank page; then the same with the program
// files mapped in, whose share depends on what else runs on the machine.
// Firefox is driven without the automation's own store of responses and
// record of requests (tests/viewer/support.js), which live in the browser's
// process and would be counted as the reader's.
// Its peers: the viewer as it was before pictures were drawn at their shown
// size, taken from git (QUIRE_BENCH_OLD_REV, the commit this work started
// from, by default), and a plain page that shows the same pictures two at a
// time in img elements, which tells what the browser itself keeps.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');

const source = process.env.QUIRE_SOURCE_DIR || path.resolve(__dirname, '..', '..');
const { startServer, launchBrowser, pause } = require(path.join(source, 'tests', 'viewer', 'support.js'));
const PAGES = Number(process.env.QUIRE_BENCH_PAGES) || 236;
const THROUGH = Number(process.env.QUIRE_BENCH_THROUGH) || 200;
const BROWSERS = (process.env.QUIRE_BENCH_BROWSERS || 'chromium,firefox').split(',');
const OLD_REV = process.env.QUIRE_BENCH_OLD_REV || '8175407';
const GOAL_MB = 400;
const MB = 1048576;

// Proportional set size, summed over a process and its descendants.
function treeMemory(rootPid) {
  const children = {};
  for (const pid of fs.readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const ppid = fs.readFileSync('/proc/' + pid + '/stat', 'utf8').replace(/^.*\) /, '').split(' ')[1];
      (children[ppid] = children[ppid] || []).push(pid);
    } catch (e) { /* gone */ }
  }
  let pss = 0, own = 0, processes = 0, largest = 0;
  const visit = (pid) => {
    try {
      const rollup = fs.readFileSync('/proc/' + pid + '/smaps_rollup', 'utf8');
      const kb = (name) => Number((new RegExp('^' + name + ':\\s+(\\d+) kB', 'm').exec(rollup) || [0, 0])[1]) * 1024;
      const mine = kb('Pss_Anon') + kb('Pss_Shmem');
      pss += kb('Pss');
      own += mine;
      processes++;
      // The process showing the book: the largest besides the browser's own.
      if (pid !== String(rootPid)) largest = Math.max(largest, mine);
    } catch (e) { /* gone */ }
    (children[pid] || []).forEach(visit);
  };
  visit(String(rootPid));
  return { pss, own, processes, page: largest };
}

async function blank(browserName, work) {
  const browser = await launchBrowser(browserName, path.join(work, 'profile-' + browserName + '-blank'));
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 800 });
    await page.goto('about:blank');
    await pause(3000);
    return treeMemory(browser.process().pid);
  } finally {
    await browser.close();
  }
}

async function run(browserName, work, server, pageName) {
  const profile = path.join(work, 'profile-' + browserName + '-' + pageName.replace(/\W/g, ''));
  const browser = await launchBrowser(browserName, profile);
  const pid = browser.process().pid;
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 800 });
    const started = Date.now();
    await page.goto(server.base + '/book/' + pageName);
    await page.waitForSelector('#qv[data-state="ready"]', { timeout: 20000 });
    await page.waitForFunction(() => performance.getEntriesByName('quire-first-page').length > 0, { timeout: 20000 });
    const firstPage = Date.now() - started;
    await pause(1500);
    const series = [Object.assign({ pages: 0 }, treeMemory(pid))];
    let passed = 0;
    const step = THROUGH / 4;
    while (passed < THROUGH) {
      const before = await page.evaluate(() => document.getElementById('qv').dataset.spread);
      await page.keyboard.press('ArrowRight');
      await page.waitForFunction((b) => {
        const root = document.getElementById('qv');
        return root.dataset.spread !== b && !root.dataset.turning;
      }, { timeout: 10000 }, before);
      const spread = await page.evaluate(() => document.getElementById('qv').dataset.spread);
      const low = Number(spread.split('-')[0]);
      const previous = passed;
      passed = low - 1;
      if (Math.floor(passed / step) > Math.floor(previous / step) || passed >= THROUGH) {
        await pause(1000);   // let decoding and collection settle
        series.push(Object.assign({ pages: passed }, treeMemory(pid)));
      }
    }
    return { firstPage, series };
  } finally {
    await browser.close();
  }
}

// Two pictures at the viewer's size, the next two on each key, with the
// marks and attributes the measuring loop reads.
const PLAIN_PAGE = '<!DOCTYPE html><body style="margin:0"><div id="qv" data-state="ready" data-spread="1"></div>' +
  '<img id="a" width="519" height="672" alt=""><img id="b" width="519" height="672" alt=""><script>\n' +
  'var i = 0, root = document.getElementById("qv");\n' +
  'function show() {\n' +
  '  document.getElementById("a").src = "files/page/" + (2 * i + 1) + ".jpg";\n' +
  '  document.getElementById("b").src = "files/page/" + (2 * i + 2) + ".jpg";\n' +
  '  root.dataset.spread = (2 * i + 1) + "-" + (2 * i + 2);\n' +
  '}\n' +
  'document.getElementById("a").onload = function () { performance.mark("quire-first-page"); };\n' +
  'document.addEventListener("keydown", function () { i++; show(); });\n' +
  'show();\n' +
  '</script>';

const mb = (bytes) => (bytes / MB).toFixed(0) + ' MB';

function print(label, result, base) {
  console.log('  ' + label + ': first page after ' + result.firstPage + ' ms');
  for (const m of result.series) {
    console.log('    after ' + String(m.pages).padStart(3) + ' pages: ' + mb(m.own) + ' (' + mb(m.own - base.own) +
      ' more than the blank page), the page\'s process ' + mb(m.page) + '; with program files ' + mb(m.pss));
  }
  return result.series[result.series.length - 1];
}

async function main() {
  const books = process.env.QUIRE_VIEWER_BOOKS;
  if (!books) throw new Error('QUIRE_VIEWER_BOOKS must name the book maker (ninja bench_viewer sets it)');
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'quire-viewer-bench-'));
  const home = path.join(work, 'home');
  fs.mkdirSync(home, { mode: 0o700 });
  process.env.HOME = home;
  process.env.XDG_RUNTIME_DIR = home;
  let server;
  try {
    const started = Date.now();
    execFileSync(books, ['bench', work, String(PAGES)], { stdio: ['ignore', 'ignore', 'ignore'] });
    console.log('published a ' + PAGES + '-page book of 1224 x 1584 pictures with the core in ' +
      ((Date.now() - started) / 1000).toFixed(1) + ' s; turning through ' + THROUGH + ' pages at 1280 x 800');
    let old = null;
    try {
      old = execFileSync('git', ['-C', source, 'show', OLD_REV + ':resources/AppFiles/Templates/float/index.html'],
        { stdio: ['ignore', 'pipe', 'ignore'] });
      fs.writeFileSync(path.join(work, 'book', 'old.html'), old);
    } catch (e) {
      console.log('(no peer: the viewer of ' + OLD_REV + ' is not in this repository)');
    }
    fs.writeFileSync(path.join(work, 'book', 'plain.html'), PLAIN_PAGE);
    server = await startServer(work);
    for (const name of BROWSERS) {
      const base = await blank(name, work);
      console.log(name + ', showing a blank page: ' + mb(base.own) + ' in ' + base.processes + ' processes; with program files ' +
        mb(base.pss) + ':');
      const now = print('this viewer', await run(name, work, server, 'index.html'), base);
      const verdict = (bytes) => mb(bytes) + (bytes < GOAL_MB * MB ? ', met' : ', NOT met');
      console.log('    goal: under ' + GOAL_MB + ' MB after ' + THROUGH + ' pages: the browser ' + verdict(now.own) +
        '; with program files ' + verdict(now.pss));
      if (old) print('peer, the viewer of ' + OLD_REV, await run(name, work, server, 'old.html'), base);
      print('peer, a plain page of two img elements', await run(name, work, server, 'plain.html'), base);
    }
  } finally {
    if (server) await server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
