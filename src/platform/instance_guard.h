// The single-instance guard of one game: an exclusive lock on "Mokuren-<hash>.lock" in the user's
// runtime directory, the hash being that of the game folder's full path, held until the process ends, so
// that two different games run side by side and the same game only once. Beside the lock the running
// game listens on a local socket ("Mokuren-<hash>.sock"); a second start of the same game connects to it,
// which asks the running one to raise its window, and then ends.
#pragma once

#include <filesystem>

namespace mokuren {

class InstanceGuard {
 public:
  // `runtimeDir` empty: $XDG_RUNTIME_DIR, or /tmp/mokuren-<uid> without it.
  explicit InstanceGuard(const std::filesystem::path& gameDir, std::filesystem::path runtimeDir = {});
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // True when this process now holds the game's lock; false when another instance of the same game holds
  // it, which has then been asked to raise its window. When no lock file can be made at all, the guard
  // does not stand in the way and returns true.
  bool Acquire();

  // The socket on which a second start asks to be shown (-1 when there is none): readable when one did.
  int RaiseRequestSocket() const { return listen_; }
  // True when one or more second starts asked since the last call (never blocks).
  bool TakeRaiseRequest();

 private:
  std::filesystem::path lock_, socket_;
  int fd_ = -1;
  int listen_ = -1;
};

}  // namespace mokuren
