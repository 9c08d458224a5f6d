// The single-instance guard: an exclusive lock on "Mokuren.lock" in the user's runtime directory, held
// until the process ends. A second windowed instance sees the lock taken and ends at once.
#pragma once

namespace mokuren {

class InstanceGuard {
 public:
  InstanceGuard() = default;
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // True when this process now holds the lock; false when another instance holds it. When no lock file
  // can be made at all, the guard does not stand in the way and returns true.
  bool Acquire();

 private:
  int fd_ = -1;
};

}  // namespace mokuren
