// For mokuren-node-asyncify: with Asyncify, this Emscripten's fsync syncs through the file's mount, which
// NODERAWFS's files (node's own) lack, and fails. This is the fsync it uses without Asyncify: node's.
mergeInto(LibraryManager.library, {
  fd_sync__sig: 'ii',
  fd_sync__deps: ['$SYSCALLS', '$FS'],
  fd_sync: function (fd) {
    try {
      var stream = SYSCALLS.getStreamFromFD(fd);
      if (stream.stream_ops && stream.stream_ops.fsync) return -stream.stream_ops.fsync(stream);
      return 0;
    } catch (e) {
      if (typeof FS == 'undefined' || !(e instanceof FS.ErrnoError)) throw e;
      return e.errno;
    }
  },
});
