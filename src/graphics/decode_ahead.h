// Pictures decoded on a second thread while start-up goes on: the pictures the engine loads first (the
// system pictures, the title's) are read and decoded while the window is made and the fonts are found,
// and handed over when the engine loads them. Only a picture that read and decoded cleanly is handed over;
// anything else is read again where it is loaded, with the messages it gives there, so the game shows the
// same pictures and reports the same problems either way.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "graphics/png_decoder.h"

namespace mokuren {

// Where a picture's PNG bytes lie: `size` bytes at `offset` of `file`.
struct PictureSource {
  int32_t entry = 0;
  std::filesystem::path file;
  uint64_t offset = 0;
  uint64_t size = 0;
};

class DecodeAhead {
 public:
  DecodeAhead() = default;
  ~DecodeAhead() { Drop(); }
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Decodes `sources`, in their order, on a thread of its own; pictures not yet taken are forgotten.
  void Start(std::vector<PictureSource> sources);
  // The picture of `entry` decoded ahead, once: waits while it is being decoded. Empty when it was not
  // asked for, was taken already, or did not read or decode cleanly.
  std::optional<PngImage> Take(int32_t entry);
  // Stops decoding and forgets the pictures not taken.
  void Drop();

 private:
  void Decode();

  std::vector<PictureSource> sources_;
  // Parallel to sources_: a picture is there once `done_` has passed it.
  std::vector<std::optional<PngImage>> pictures_;
  std::mutex mutex_;
  std::condition_variable decoded_;
  size_t done_ = 0;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace mokuren
