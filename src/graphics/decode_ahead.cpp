#include "graphics/decode_ahead.h"

#include <new>
#include <string>
#include <system_error>

#include "platform/game_files.h"

namespace mokuren {

void DecodeAhead::Start(std::vector<PictureSource> sources) {
  Drop();
  sources_ = std::move(sources);
  pictures_.assign(sources_.size(), std::nullopt);
  done_ = 0;
  stop_ = false;
  // Where no thread can be started (a build without threads, none left), every picture is loaded where
  // it is needed.
  try {
    worker_ = std::thread([this] { Decode(); });
  } catch (const std::system_error&) {
    sources_.clear();
    pictures_.clear();
  }
}

void DecodeAhead::Decode() {
  for (size_t i = 0; i < sources_.size(); ++i) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) break;
    }
    const PictureSource& source = sources_[i];
    std::optional<PngImage> picture;
    // Memory running out here leaves the picture to be loaded where it is needed, as anything else that fails.
    try {
      GameFile file;
      std::string problem;
      std::vector<uint8_t> bytes(static_cast<size_t>(source.size));
      PngImage image;
      if (file.Open(source.file, problem) && file.ReadAt(source.offset, bytes.data(), bytes.size()) &&
          DecodePng(bytes, image, problem))
        picture = std::move(image);
    } catch (const std::bad_alloc&) {
      picture.reset();
    }
    std::lock_guard lock(mutex_);
    pictures_[i] = std::move(picture);
    done_ = i + 1;
    decoded_.notify_all();
  }
  std::lock_guard lock(mutex_);
  done_ = sources_.size();
  decoded_.notify_all();
}

std::optional<PngImage> DecodeAhead::Take(int32_t entry) {
  for (size_t i = 0; i < sources_.size(); ++i) {
    if (sources_[i].entry != entry) continue;
    std::unique_lock lock(mutex_);
    decoded_.wait(lock, [&] { return done_ > i; });
    std::optional<PngImage> picture = std::move(pictures_[i]);
    pictures_[i].reset();
    return picture;
  }
  return std::nullopt;
}

void DecodeAhead::Drop() {
  if (worker_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    worker_.join();
  }
  sources_.clear();
  pictures_.clear();
  done_ = 0;
}

}  // namespace mokuren
