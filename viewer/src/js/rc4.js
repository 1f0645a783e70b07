// The container's cipher: RC4 with the viewer's key, no bytes of the
// keystream dropped. Enciphering and deciphering are the same operation.

Q.BOOK_KEY = 'leafcase-key-01';

Q.rc4 = function (keyText, data) {
  var key = new Uint8Array(keyText.length);
  for (var k = 0; k < keyText.length; k++) key[k] = keyText.charCodeAt(k) & 0xff;
  var s = new Uint8Array(256);
  var i, j = 0, t;
  for (i = 0; i < 256; i++) s[i] = i;
  for (i = 0; i < 256; i++) {
    j = (j + s[i] + key[i % key.length]) & 0xff;
    t = s[i]; s[i] = s[j]; s[j] = t;
  }
  var out = new Uint8Array(data.length);
  i = 0; j = 0;
  for (var n = 0; n < data.length; n++) {
    i = (i + 1) & 0xff;
    j = (j + s[i]) & 0xff;
    t = s[i]; s[i] = s[j]; s[j] = t;
    out[n] = data[n] ^ s[(s[i] + s[j]) & 0xff];
  }
  return out;
};
