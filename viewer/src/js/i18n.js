// The reader's words. The page is plain ASCII, so accented letters are
// written as escapes.

Q.STRINGS = {
  en: {
    bookPages: 'Book pages',
    bookNamed: 'Book: %1',
    controls: 'Book controls',
    pageOfNumbered: '(%1 of %2)',
    search: 'Search',
    searchLabel: 'Search the book',
    searchResults: 'Results',
    searching: 'Searching\u2026',
    searchingPages: 'Searching\u2026 %1 of %2 pages read',
    hits: '%1 found',
    manyHits: '%1 found, the first %2 listed',
    noHits: 'Nothing found for \u201c%1\u201d',
    sound: 'Turning sound',
    logoLink: 'Open %1',
    goToWords: 'Go to %1',
    loading: 'Opening the book\u2026',
    first: 'First page',
    previous: 'Previous page',
    next: 'Next page',
    last: 'Last page',
    pageNumber: 'Page number',
    pageOf: 'of %2',
    pageStatus: 'Page %1 of %2',
    pagesStatus: 'Pages %1 of %2',
    contents: 'Contents',
    thumbnails: 'Pages',
    zoomIn: 'Zoom in',
    zoomOut: 'Zoom out',
    fullscreen: 'Full screen',
    exitFullscreen: 'Leave full screen',
    about: 'About',
    close: 'Close',
    play: 'Turn pages automatically',
    pause: 'Stop turning pages',
    page: 'Page %1',
    goToPage: 'Go to page %1',
    openLink: 'Open %1',
    noContents: 'This book has no table of contents.',
    expand: 'Show sub-entries',
    collapse: 'Hide sub-entries',
    pageMissing: 'Page %1 could not be loaded.',
    errorTitle: 'This book cannot be shown',
    errMissing: 'The book file (files/book.bin) was not found next to this page. Publish the book again and copy the whole folder, including its "files" folder.',
    errDamaged: 'The book file (files/book.bin) is damaged or was not made for this viewer. Publish the book again.',
    errEmpty: 'This book has no pages.',
    errHost: 'This book may not be shown on this web site.',
    errBrowser: 'This browser is too old to show the book.'
  },
  fr: {
    bookPages: 'Pages du livre',
    bookNamed: 'Livre\u00a0: %1',
    controls: 'Commandes du livre',
    pageOfNumbered: '(%1 sur %2)',
    search: 'Rechercher',
    searchLabel: 'Rechercher dans le livre',
    searchResults: 'R\u00e9sultats',
    searching: 'Recherche\u2026',
    searchingPages: 'Recherche\u2026 %1 pages lues sur %2',
    hits: '%1 trouv\u00e9(s)',
    manyHits: '%1 trouv\u00e9s, les %2 premiers list\u00e9s',
    noHits: 'Aucun r\u00e9sultat pour \u00ab\u00a0%1\u00a0\u00bb',
    sound: 'Son des pages',
    logoLink: 'Ouvrir %1',
    goToWords: 'Aller \u00e0 %1',
    loading: 'Ouverture du livre\u2026',
    first: 'Premi\u00e8re page',
    previous: 'Page pr\u00e9c\u00e9dente',
    next: 'Page suivante',
    last: 'Derni\u00e8re page',
    pageNumber: 'Num\u00e9ro de page',
    pageOf: 'sur %2',
    pageStatus: 'Page %1 sur %2',
    pagesStatus: 'Pages %1 sur %2',
    contents: 'Sommaire',
    thumbnails: 'Pages',
    zoomIn: 'Agrandir',
    zoomOut: 'R\u00e9duire',
    fullscreen: 'Plein \u00e9cran',
    exitFullscreen: 'Quitter le plein \u00e9cran',
    about: '\u00c0 propos',
    close: 'Fermer',
    play: 'Tourner les pages automatiquement',
    pause: 'Arr\u00eater de tourner les pages',
    page: 'Page %1',
    goToPage: 'Aller \u00e0 la page %1',
    openLink: 'Ouvrir %1',
    noContents: 'Ce livre n\u2019a pas de sommaire.',
    expand: 'Afficher les sous-entr\u00e9es',
    collapse: 'Masquer les sous-entr\u00e9es',
    pageMissing: 'La page %1 n\u2019a pas pu \u00eatre charg\u00e9e.',
    errorTitle: 'Ce livre ne peut pas \u00eatre affich\u00e9',
    errMissing: 'Le fichier du livre (files/book.bin) est introuvable \u00e0 c\u00f4t\u00e9 de cette page. Publiez \u00e0 nouveau le livre et copiez tout le dossier, y compris son dossier \u00ab\u00a0files\u00a0\u00bb.',
    errDamaged: 'Le fichier du livre (files/book.bin) est endommag\u00e9 ou n\u2019a pas \u00e9t\u00e9 fait pour cette visionneuse. Publiez \u00e0 nouveau le livre.',
    errEmpty: 'Ce livre n\u2019a aucune page.',
    errHost: 'Ce livre ne peut pas \u00eatre affich\u00e9 sur ce site.',
    errBrowser: 'Ce navigateur est trop ancien pour afficher le livre.'
  }
};

// The language from "languageSetting": its first two letters, English when
// the viewer does not know them.
Q.languageFor = function (setting) {
  var code = typeof setting === 'string' ? setting.trim().slice(0, 2).toLowerCase() : '';
  return Object.prototype.hasOwnProperty.call(Q.STRINGS, code) ? code : 'en';
};

// A translator: t(key, a, b) fills "%1" and "%2".
Q.translator = function (language) {
  var table = Q.STRINGS[Q.languageFor(language)];
  return function (key, a, b) {
    var text = Object.prototype.hasOwnProperty.call(table, key) ? table[key] : Q.STRINGS.en[key] || key;
    return text.replace(/%([12])/g, function (all, which) {
      return String(which === '1' ? a : b);
    });
  };
};
