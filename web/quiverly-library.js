// The program's writes to its standard output and errors, handed to the page
// as they are made: the bytes of each write, in one piece, to
// Module.quiverlyWrite. This takes the place of Emscripten's own fd_write, as
// the program has no file system in the page and writes nothing else through
// a descriptor. Linked with --js-library.
mergeInto(LibraryManager.library, {
  fd_write: function (fd, iov, iovcnt, pnum) {
    var written = 0;
    for (var i = 0; i < iovcnt; i++) {
      var base = HEAPU32[(iov >> 2) + i * 2];
      var length = HEAPU32[(iov >> 2) + i * 2 + 1];
      if (length > 0) Module['quiverlyWrite'](fd, HEAPU8.slice(base, base + length));
      written += length;
    }
    HEAPU32[pnum >> 2] = written;
    return 0;
  },
});
