// Page faces: the picture of one page with its link areas, and the small
// cache that fetches the pictures around the pages on show.

Q.PictureCache = function (limit) {
  this.limit = limit;
  this.entries = [];   // most recently wanted last
};

// Starts fetching and decoding a picture ahead of its turn.
Q.PictureCache.prototype.want = function (url) {
  if (!url) return;
  for (var i = 0; i < this.entries.length; i++) {
    if (this.entries[i].url === url) {
      this.entries.push(this.entries.splice(i, 1)[0]);
      return;
    }
  }
  var img = new Image();
  img.decoding = 'async';
  img.src = url;
  if (img.decode) img.decode().catch(function () {});
  this.entries.push({ url: url, img: img });
  while (this.entries.length > this.limit) this.entries.shift();
};

Q.makeFace = function (viewer, position, withLinks) {
  var face = Q.el('div', 'qv-page');
  var content = Q.el('div', 'qv-face-content');
  face.appendChild(content);
  if (position < 0 || position >= viewer.book.pages.length) {
    face.classList.add('qv-blank');
    return face;
  }
  var page = viewer.book.pages[position];
  var t = viewer.t;
  face.setAttribute('data-position', String(position + 1));
  if (page.hard) face.classList.add('qv-hard');
  function broken() {
    face.classList.add('qv-broken');
    content.appendChild(Q.el('p', 'qv-page-error', null, t('pageMissing', position + 1)));
  }
  if (page.url) {
    var img = Q.el('img', 'qv-picture', { alt: t('page', position + 1), draggable: 'false', decoding: 'async' });
    img.addEventListener('error', function () {
      img.remove();
      broken();
    });
    img.addEventListener('load', function () {
      face.classList.add('qv-loaded');
      viewer.pictureLoaded(img);
    });
    img.src = page.url;
    content.appendChild(img);
  } else {
    broken();
  }
  if (withLinks && viewer.book.links[position]) content.appendChild(Q.makeLinkLayer(viewer, position));
  return face;
};

Q.makeLinkLayer = function (viewer, position) {
  var layer = Q.el('div', 'qv-links');
  var t = viewer.t;
  viewer.book.links[position].forEach(function (link) {
    var area;
    if (link.kind === 'url') {
      var mail = link.url.indexOf('mailto:') === 0;
      area = Q.el('a', 'qv-link qv-link-url', {
        href: link.url,
        target: mail ? null : '_blank',
        rel: 'noopener noreferrer',
        title: t('openLink', link.url),
        'aria-label': t('openLink', link.url)
      });
    } else if (link.kind === 'page') {
      area = Q.el('a', 'qv-link qv-link-page', {
        href: '#page=' + (link.position + 1),
        title: t('goToPage', link.position + 1),
        'aria-label': t('goToPage', link.position + 1)
      });
      area.addEventListener('click', function (event) {
        event.preventDefault();
        viewer.goTo(link.position, true);
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
    layer.appendChild(area);
  });
  return layer;
};
