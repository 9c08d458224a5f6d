// TSemaphore: the binary semaphore the mixer and its streams lock with (count 1, wait without time-out).
#pragma once

#include <semaphore>

namespace mokuren {

class TSemaphore {
 public:
  void Wait() { s_.acquire(); }
  void Release() { s_.release(); }

 private:
  std::binary_semaphore s_{1};
};

// Holds a TSemaphore for a scope.
class SemaphoreLock {
 public:
  explicit SemaphoreLock(TSemaphore& s) : s_(s) { s_.Wait(); }
  ~SemaphoreLock() { s_.Release(); }
  SemaphoreLock(const SemaphoreLock&) = delete;
  SemaphoreLock& operator=(const SemaphoreLock&) = delete;

 private:
  TSemaphore& s_;
};

}  // namespace mokuren
