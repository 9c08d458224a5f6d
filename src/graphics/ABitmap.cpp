#include "graphics/ABitmap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "graphics/frame_recorder.h"

namespace mokuren {

PixelBuffer::PixelBuffer(const PixelBuffer& other) { *this = other; }

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
  if (this == &other) return *this;
  if (size_ != other.size_) {
    Clear();
    if (other.size_ == 0) return *this;
    bytes_.reset(static_cast<uint8_t*>(std::malloc(other.size_)));
    if (!bytes_) throw std::bad_alloc();
    size_ = other.size_;
  }
  if (size_ != 0) std::memcpy(bytes_.get(), other.bytes_.get(), size_);
  return *this;
}

void PixelBuffer::AssignZeroed(size_t size) {
  if (size == size_) {
    if (size_ != 0) std::memset(bytes_.get(), 0, size_);
    return;
  }
  Clear();
  if (size == 0) return;
  bytes_.reset(static_cast<uint8_t*>(std::calloc(size, 1)));
  if (!bytes_) throw std::bad_alloc();
  size_ = size;
}

bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
  return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.bytes_.get(), b.bytes_.get(), a.size_) == 0);
}

TABitmap::TABitmap(const TABitmap& other) {
  other.Reading();
  width_ = other.width_;
  height_ = other.height_;
  bits_ = other.bits_;
  stamp_ = other.stamp_;
}

TABitmap::TABitmap(TABitmap&& other) noexcept {
  other.Reading();
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  bits_ = std::move(other.bits_);
  other.bits_.Clear();
  stamp_ = std::exchange(other.stamp_, 0);
}

TABitmap& TABitmap::operator=(const TABitmap& other) {
  if (this == &other) return *this;
  other.Reading();
  Changing();
  width_ = other.width_;
  height_ = other.height_;
  bits_ = other.bits_;
  stamp_ = other.stamp_;
  return *this;
}

TABitmap& TABitmap::operator=(TABitmap&& other) noexcept {
  if (this == &other) return *this;
  other.Reading();
  Changing();
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  bits_ = std::move(other.bits_);
  other.bits_.Clear();
  stamp_ = std::exchange(other.stamp_, 0);
  return *this;
}

uint64_t TABitmap::Stamp() const {
  // Shared by every surface, so a stamp never names two different pictures.
  static std::atomic<uint64_t> last{0};
  if (stamp_ == 0) stamp_ = last.fetch_add(1, std::memory_order_relaxed) + 1;
  return stamp_;
}

void TABitmap::SettleRecording() const { recorder_->Settle(); }

void TABitmap::SetSize32(int32_t width, int32_t height) {
  Changing();
  if (width <= 0 || height <= 0) {
    width_ = height_ = 0;
    bits_.Clear();
    return;
  }
  width_ = width;
  height_ = height;
  bits_.AssignZeroed(static_cast<size_t>(width) * height * 4);
}

void TABitmap::FillRGB(uint8_t red, uint8_t green, uint8_t blue) {
  if (!IsValid()) return;
  const uint32_t pixel = blue | uint32_t{green} << 8 | uint32_t{red} << 16;
  uint8_t* row = ScanLine(0);
  for (int32_t x = 0; x < width_; ++x) std::memcpy(row + x * 4, &pixel, 4);
  const size_t rowBytes = static_cast<size_t>(width_) * 4;
  for (int32_t y = 1; y < height_; ++y) std::memcpy(ScanLine(y), row, rowBytes);
}

void TABitmap::CombineMask(const TABitmap& colour, const TABitmap& maskIn, TABitmap& dest) {
  TABitmap maskCopy;
  if (&dest == &maskIn && &dest != &colour) maskCopy = maskIn;  // resizing dest must not lose the mask
  const TABitmap& mask = &dest == &maskIn && &dest != &colour ? maskCopy : maskIn;
  if (&dest != &colour) {
    if (dest.width_ != colour.width_ || dest.height_ != colour.height_) dest.SetSize32(colour.width_, colour.height_);
  }
  for (int32_t y = 0; y < colour.height_; ++y) {
    const uint8_t* c = colour.ScanLine(y);
    const uint8_t* m = y < mask.height_ ? mask.ScanLine(y) : nullptr;
    const int32_t maskWidth = m ? std::min(mask.width_, colour.width_) : 0;
    uint8_t* d = dest.ScanLine(y);
    for (int32_t x = 0; x < colour.width_; ++x) {
      d[x * 4 + 0] = c[x * 4 + 0];
      d[x * 4 + 1] = c[x * 4 + 1];
      d[x * 4 + 2] = c[x * 4 + 2];
      d[x * 4 + 3] = x < maskWidth ? m[x * 4] : 255;
    }
  }
}

}  // namespace mokuren
