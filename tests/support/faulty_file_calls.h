// A file system that fails on request, under the atomic file writer: tests/atomic_file_faults_test.cpp
// runs the writer on it directly, and scenario tests put it under the running engine (ScopedFileCalls).
#pragma once

#include <algorithm>
#include <cerrno>
#include <functional>

#include "base/atomic_file.h"

namespace mokuren::testing {

// Passes every call on to the system, numbering them from 0. Before call `changeAt` it runs `change`;
// calls `failAt` to `failAt + failCount - 1` fail with `failWith` instead of being made. Writes go out in pieces, as a
// pipe or a nearly full disk may take them, so that the disk can fill up between any two.
class FaultyFileCalls final : public FileCalls {
 public:
  static constexpr size_t kPiece = 64 * 1024;
  int failAt = -1;
  int failCount = 1;
  int failWith = ENOSPC;
  int changeAt = -1;
  std::function<void()> change;
  int calls = 0;
  bool renamed = false;

  int Open(const char* path, int flags, mode_t mode) override {
    return Fails() ? -1 : FileCalls::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    return Fails() ? -1 : FileCalls::Write(fd, data, std::min(size, kPiece));
  }
  int Fsync(int fd) override { return Fails() ? -1 : FileCalls::Fsync(fd); }
  int Close(int fd) override {
    // A descriptor is released even when closing it reports an error.
    const bool fails = Fails();
    FileCalls::Close(fd);
    return fails ? -1 : 0;
  }
  int Rename(const char* from, const char* to) override {
    if (Fails()) return -1;
    const int r = FileCalls::Rename(from, to);
    renamed = renamed || r == 0;
    return r;
  }
  int Unlink(const char* path) override { return Fails() ? -1 : FileCalls::Unlink(path); }

 private:
  bool Fails() {
    const int n = calls++;
    if (n == changeAt && change) change();
    if (failAt < 0 || n < failAt || n - failAt >= failCount) return false;
    errno = failWith;
    return true;
  }
};

}  // namespace mokuren::testing
