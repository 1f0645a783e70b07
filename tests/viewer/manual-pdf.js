// Writes a small letter-size manual as a PDF for the viewer's tests: two
// front pages numbered i and ii (the second the contents, a link per
// chapter), then chapters of body text numbered from 1, an outline, and one
// word ("zephyrquill") found on a single page only.
'use strict';

const WORDS = ('the reader turns pages of the book while the publisher writes pictures and text files for each ' +
  'page so that search finds words quickly packages install configure build module viewer').split(' ');

function escapeText(t) {
  return t.replace(/[\\()]/g, (c) => '\\' + c);
}

// pages: the number of pages; rare: the page (counted from 1) with the rare word.
function manualPdf(pages, rare) {
  let seed = 11;
  const random = () => (seed = (seed * 16807) % 2147483647) / 2147483647;
  const objects = [];
  const add = (body) => { objects.push(body); return objects.length; };
  const catalog = add(null), pageTree = add(null);
  const fonts = '<< /F1 ' + add('<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>') + ' 0 R /F2 ' +
    add('<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>') + ' 0 R >>';
  const front = 2;
  const chapters = [];
  for (let p = front; p < pages; p += 3) {
    chapters.push({ title: (chapters.length + 1) + ' Installing packages, part ' + (chapters.length + 1), index: p });
  }
  const pageIds = [], bodies = [];
  for (let p = 0; p < pages; p++) {
    let s = 'BT /F1 10 Tf 72 720 Td 14 TL\n';
    const links = [];
    if (p === 1) {
      s += '/F2 18 Tf (Contents) Tj T* T* /F1 11 Tf\n';
      chapters.forEach((c, i) => {
        s += '(' + escapeText(c.title) + ' ........ ' + (c.index - front + 1) + ') Tj T*\n';
        const base = 720 - 28 - 14 * i;
        links.push({ rect: [70, base - 4, 400, base + 10], target: c.index });
      });
    } else if (p === 0) {
      s += '/F2 24 Tf (A manual for the tests) Tj\n';
    } else {
      const chapter = chapters.find((c) => c.index === p);
      if (chapter) s += '/F2 16 Tf (' + escapeText(chapter.title) + ') Tj T* T* /F1 10 Tf\n';
      for (let line = 0; line < 40; line++) {
        let text = p + 1 === rare && line === 5 ? 'The word zephyrquill is here. ' : '';
        while (text.length < 80) text += WORDS[Math.floor(random() * WORDS.length)] + ' ';
        s += '(' + escapeText(text.trim()) + ') Tj T*\n';
      }
    }
    s += 'ET';
    bodies.push({ content: add('<< /Length ' + s.length + ' >>\nstream\n' + s + '\nendstream'), links });
    pageIds.push(add(null));
  }
  bodies.forEach((b, p) => {
    const annots = b.links.map((l) => add('<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect [' + l.rect.join(' ') +
      '] /Dest [' + pageIds[l.target] + ' 0 R /XYZ null null null] >>'));
    objects[pageIds[p] - 1] = '<< /Type /Page /Parent ' + pageTree + ' 0 R /MediaBox [0 0 612 792] /Contents ' +
      b.content + ' 0 R /Resources << /Font ' + fonts + ' >>' +
      (annots.length ? ' /Annots [' + annots.map((a) => a + ' 0 R').join(' ') + ']' : '') + ' >>';
  });
  const outline = add(null);
  const items = chapters.map(() => add(null));
  chapters.forEach((c, i) => {
    objects[items[i] - 1] = '<< /Title (' + escapeText(c.title) + ') /Parent ' + outline + ' 0 R /Dest [' +
      pageIds[c.index] + ' 0 R /XYZ null null null]' + (i ? ' /Prev ' + items[i - 1] + ' 0 R' : '') +
      (i < items.length - 1 ? ' /Next ' + items[i + 1] + ' 0 R' : '') + ' >>';
  });
  objects[outline - 1] = '<< /Type /Outlines /First ' + items[0] + ' 0 R /Last ' + items[items.length - 1] +
    ' 0 R /Count ' + items.length + ' >>';
  objects[pageTree - 1] = '<< /Type /Pages /Kids [' + pageIds.map((i) => i + ' 0 R').join(' ') + '] /Count ' + pages + ' >>';
  objects[catalog - 1] = '<< /Type /Catalog /Pages ' + pageTree + ' 0 R /Outlines ' + outline +
    ' 0 R /PageLabels << /Nums [0 << /S /r >> ' + front + ' << /S /D >>] >> >>';
  let pdf = '%PDF-1.4\n';
  const offsets = [];
  objects.forEach((o, i) => {
    offsets.push(pdf.length);
    pdf += (i + 1) + ' 0 obj\n' + o + '\nendobj\n';
  });
  const xref = pdf.length;
  pdf += 'xref\n0 ' + (objects.length + 1) + '\n0000000000 65535 f \n' +
    offsets.map((o) => String(o).padStart(10, '0') + ' 00000 n \n').join('');
  pdf += 'trailer\n<< /Size ' + (objects.length + 1) + ' /Root 1 0 R >>\nstartxref\n' + xref + '\n%%EOF\n';
  return Buffer.from(pdf, 'latin1');
}

module.exports = { manualPdf };
