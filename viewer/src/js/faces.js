// Page faces: the picture of one page and, at rest, its text layer and link
// areas. A face on a turning leaf carries the picture only.

Q.makeFace = function (viewer, position, atRest) {
  var face = Q.el('div', 'qv-page');
  var content = Q.el('div', 'qv-face-content');
  face.appendChild(content);
  if (position < 0 || position >= viewer.book.pages.length) {
    face.classList.add('qv-blank');
    return face;
  }
  var page = viewer.book.pages[position];
  face.setAttribute('data-position', String(position + 1));
  if (page.hard) face.classList.add('qv-hard');
  if (page.url && !viewer.pictures.failed(position)) content.appendChild(viewer.pictures.canvas(position));
  else Q.markBroken(face, viewer, position);
  if (atRest) {
    face.classList.add('qv-rest');
    face.setAttribute('role', 'group');
    face.setAttribute('aria-label', viewer.t('page', viewer.pageName(position)));
    var text = Q.makeTextLayer(viewer, position);
    if (text) content.appendChild(text);
    if (viewer.book.links[position]) content.appendChild(Q.makeLinkLayer(viewer, position));
  }
  return face;
};

Q.markBroken = function (face, viewer, position) {
  if (face.classList.contains('qv-broken')) return;
  face.classList.add('qv-broken');
  var picture = face.querySelector('.qv-picture');
  if (picture) picture.remove();
  var content = face.querySelector('.qv-face-content');
  content.insertBefore(Q.el('p', 'qv-page-error', null, viewer.t('pageMissing', viewer.pageName(position))),
    content.firstChild);
};

Q.Viewer.prototype.pictureFailed = function (position) {
  var faces = this.bookEl.querySelectorAll('.qv-page[data-position="' + (position + 1) + '"]');
  for (var i = 0; i < faces.length; i++) Q.markBroken(faces[i], this, position);
};

// Link areas, named by the words they cover where the book has its text.
Q.makeLinkLayer = function (viewer, position) {
  var layer = Q.el('div', 'qv-links');
  viewer.book.links[position].forEach(function (link) {
    var area;
    if (link.kind === 'url') {
      var mail = link.url.indexOf('mailto:') === 0;
      area = Q.el('a', 'qv-link qv-link-url', {
        href: link.url, target: mail ? null : '_blank', rel: 'noopener noreferrer'
      });
    } else if (link.kind === 'page') {
      area = Q.el('a', 'qv-link qv-link-page', { href: '#page=' + (link.position + 1) });
      area.addEventListener('click', function (event) {
        event.preventDefault();
        viewer.jumpTo(link.position);
      });
    } else {
      // A link the viewer will not follow: its area swallows the click.
      area = Q.el('span', 'qv-link qv-link-inert', { 'aria-hidden': 'true' });
      area.addEventListener('click', function (event) {
        event.preventDefault();
        event.stopPropagation();
      });
    }
    area.style.left = (link.x * 100).toFixed(4) + '%';
    area.style.top = (link.y * 100).toFixed(4) + '%';
    area.style.width = (link.width * 100).toFixed(4) + '%';
    area.style.height = (link.height * 100).toFixed(4) + '%';
    area.quireLink = link;
    layer.appendChild(area);
  });
  Q.nameLinks(viewer, position, layer);
  return layer;
};

// Gives each link area its accessible name: its words, else its target.
Q.nameLinks = function (viewer, position, layer) {
  var t = viewer.t;
  var areas = layer.querySelectorAll('a.qv-link');
  for (var i = 0; i < areas.length; i++) {
    var link = areas[i].quireLink;
    var words = viewer.text.wordsIn(position, link);
    var target = link.kind === 'url' ? t('openLink', link.url) : t('goToPage', viewer.pageName(link.position));
    var name = !words ? target : link.kind === 'url' ? words : t('goToWords', words);
    areas[i].setAttribute('aria-label', name);
    areas[i].setAttribute('title', target);
  }
};
