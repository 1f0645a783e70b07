// Getting the book: the container's bytes over XMLHttpRequest, or, where the
// browser refuses requests from a page opened from disk, the same bytes from
// the classic script "files/book.js" the publisher writes beside it.

Q.CONTAINER_URL = 'files/book.bin';
Q.CONTAINER_SCRIPT_URL = 'files/book.js';

Q.base64ToBytes = function (text) {
  var binary;
  try {
    binary = atob(text.replace(/\s+/g, ''));
  } catch (e) {
    throw Q.damaged('bad base64 in book.js');
  }
  var bytes = new Uint8Array(binary.length);
  for (var i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
};

Q.fetchContainer = function (done) {
  var finished = false;
  function finish(error, bytes) {
    if (finished) return;
    finished = true;
    done(error, bytes);
  }
  function fromScript() {
    var script = document.createElement('script');
    script.src = Q.fresh(Q.CONTAINER_SCRIPT_URL);
    script.async = true;
    script.onload = function () {
      var text = window.quireBookContainer;
      try {
        delete window.quireBookContainer;
      } catch (e) {
        window.quireBookContainer = undefined;
      }
      script.parentNode.removeChild(script);
      if (typeof text !== 'string') return finish(Q.damaged('book.js holds no book'));
      try {
        finish(null, Q.base64ToBytes(text));
      } catch (e) {
        finish(e);
      }
    };
    script.onerror = function () {
      script.parentNode.removeChild(script);
      finish(new Q.BookError('missing', Q.CONTAINER_URL));
    };
    document.head.appendChild(script);
  }
  var xhr;
  try {
    xhr = new XMLHttpRequest();
    xhr.open('GET', Q.fresh(Q.CONTAINER_URL), true);
    xhr.responseType = 'arraybuffer';
  } catch (e) {
    return fromScript();
  }
  xhr.onload = function () {
    var ok = (xhr.status === 200 || xhr.status === 0) && xhr.response && xhr.response.byteLength > 0;
    if (ok) finish(null, new Uint8Array(xhr.response));
    else fromScript();
  };
  xhr.onerror = fromScript;
  xhr.onabort = fromScript;
  try {
    xhr.send();
  } catch (e) {
    fromScript();
  }
};

// Raw inflate, ours: the browser's own stream would hand the bytes between
// its tasks for longer than ours takes to inflate a book's configuration or
// a group of its words, and is missing from some browsers.
Q.inflate = function (data, size, done) {
  var out;
  try {
    out = Q.inflateRaw(data, size);
  } catch (e) {
    return done(e instanceof Q.BookError ? e : Q.damaged(String(e)));
  }
  done(null, out);
};

// Container bytes to the XML text of "book.xml".
Q.openContainer = function (container, done) {
  var entry, data;
  try {
    var zip = Q.readZipDirectory(Q.rc4(Q.BOOK_KEY, container));
    entry = zip.filter(function (e) { return e.name === 'book.xml'; })[0];
    if (!entry) throw Q.damaged('no book.xml in the archive');
    data = zip.localData(entry);
  } catch (e) {
    return done(e instanceof Q.BookError ? e : Q.damaged(String(e)));
  }
  function check(error, bytes) {
    if (error) return done(error);
    if (bytes.length !== entry.size || Q.crc32(bytes) !== entry.crc) return done(Q.damaged('book.xml fails its check'));
    var text;
    try {
      text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (e) {
      return done(Q.damaged('book.xml is not UTF-8'));
    }
    done(null, text);
  }
  if (entry.method === 0) check(null, data);
  else if (entry.method === 8) Q.inflate(data, entry.size, check);
  else done(Q.damaged('unknown compression ' + entry.method));
};

// given: the container's bytes in base64 when the page's host has them at
// hand, which saves reading them back through the browser.
Q.loadBook = function (done, given) {
  var read = Q.fetchContainer;
  if (typeof given === 'string') {
    read = function (got) {
      var bytes;
      try {
        bytes = Q.base64ToBytes(given);
      } catch (e) {
        return got(e);
      }
      got(null, bytes);
    };
  }
  read(function (error, container) {
    if (error) return done(error);
    Q.openContainer(container, function (error2, text) {
      if (error2) return done(error2);
      var book;
      try {
        book = Q.readBook(text);
      } catch (e) {
        return done(e instanceof Q.BookError ? e : Q.damaged(String(e)));
      }
      done(null, book);
    });
  });
};
