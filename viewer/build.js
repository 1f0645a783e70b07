#!/usr/bin/env node
// Builds each template's HTML page: the viewer's skeleton with its style
// sheets and scripts inlined, so a published book needs nothing beyond the
// page and its "files" folder. The pages are committed; run
//   node viewer/build.js          to write them
//   node viewer/build.js --check  to fail when a committed page is stale
'use strict';
const fs = require('fs');
const path = require('path');

const VIEWER = __dirname;
const REPO = path.resolve(VIEWER, '..');

// Script order matters: later files use what earlier ones define.
const SCRIPTS = ['core.js', 'settings.js', 'i18n.js', 'rc4.js', 'inflate.js', 'zip.js', 'loader.js', 'model.js',
  'geometry.js', 'spreads.js', 'flip.js', 'pictures.js', 'booktext.js', 'viewer.js', 'layout.js', 'turning.js',
  'address.js', 'faces.js', 'textlayer.js', 'toolbar.js', 'panels.js', 'search.js', 'input.js', 'keys.js', 'print.js',
  'main.js'];
const STYLES = ['viewer.css'];
const PLACEHOLDERS = ['${index.title}', '${meta.keywords}', '${meta.description}'];

function read(rel) {
  return fs.readFileSync(path.join(VIEWER, rel), 'utf8');
}

function templates() {
  return JSON.parse(read('templates.json')).templates;
}

function pagePath(template) {
  return path.join(REPO, 'resources', 'AppFiles', 'Templates', template, 'index.html');
}

// The scripts as one function body; tests run the same text.
function scriptText(files) {
  return (files || SCRIPTS).map(function (name) {
    return '// ---- ' + name + '\n' + read(path.join('src', 'js', name)).trim() + '\n';
  }).join('\n');
}

function buildPage(entry) {
  if (!/^[A-Za-z0-9_-]+$/.test(entry.template) || !/^[A-Za-z0-9_-]+$/.test(entry.theme)) {
    throw new Error('bad template or theme name in templates.json');
  }
  const style = STYLES.map(function (name) { return read(path.join('src', 'css', name)).trim(); })
    .concat([read(path.join('themes', entry.theme + '.css')).trim()]).join('\n');
  const script = '(function () {\n\'use strict\';\nvar Q = {};\n' + scriptText() + '})();';
  const page = read(path.join('src', 'page.html'))
    .replace('@QUIRE-THEME@', function () { return entry.theme; })
    .replace('@QUIRE-STYLE@', function () { return style; })
    .replace('@QUIRE-SCRIPT@', function () { return script; });
  const problems = checkPage(page);
  if (problems.length) throw new Error(entry.template + ': ' + problems.join('; '));
  return page;
}

// What every template page must satisfy: the publisher reads it as single
// bytes and replaces every "${...}", so it must be ASCII and carry exactly
// the three placeholders, once each.
function checkPage(page) {
  const problems = [];
  const nonAscii = /[^\x09\x0a\x0d\x20-\x7e]/.exec(page);
  if (nonAscii) problems.push('non-ASCII character at offset ' + nonAscii.index);
  const found = page.match(/\$\{[^}]*\}?/g) || [];
  PLACEHOLDERS.forEach(function (p) {
    const n = found.filter(function (f) { return f === p; }).length;
    if (n !== 1) problems.push(p + ' occurs ' + n + ' times');
  });
  found.filter(function (f) { return PLACEHOLDERS.indexOf(f) < 0; }).forEach(function (f) {
    problems.push('stray placeholder ' + f);
  });
  const scripts = page.split(/<script>/i).length - 1;
  if (scripts !== 1) problems.push(scripts + ' inline scripts');
  const body = page.slice(page.indexOf('<script>') + 8, page.lastIndexOf('</script>'));
  if (/<\/script|<!--/i.test(body)) problems.push('the script holds "</script" or "<!--"');
  PLACEHOLDERS.forEach(function (p) {
    const at = page.indexOf(p);
    if (at > 0 && (/\s/.test(page[at - 1]) || /\s/.test(page[at + p.length] || ' '))) {
      problems.push(p + ' must stand between other characters');
    }
  });
  return problems;
}

function main(argv) {
  const check = argv.indexOf('--check') >= 0;
  let stale = 0;
  templates().forEach(function (entry) {
    const page = buildPage(entry);
    const out = pagePath(entry.template);
    if (check) {
      const current = fs.existsSync(out) ? fs.readFileSync(out, 'utf8') : null;
      if (current !== page) {
        stale++;
        console.error(path.relative(REPO, out) + ' is not current: run node viewer/build.js');
      }
    } else {
      fs.mkdirSync(path.dirname(out), { recursive: true });
      fs.writeFileSync(out, page);
      console.log('wrote ' + path.relative(REPO, out) + ' (' + page.length + ' bytes)');
    }
  });
  if (check && !stale) console.log('template pages are current');
  return stale ? 1 : 0;
}

module.exports = { SCRIPTS, PLACEHOLDERS, scriptText, buildPage, checkPage, templates, pagePath };

if (require.main === module) process.exitCode = main(process.argv.slice(2));
