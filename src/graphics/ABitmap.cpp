#include "graphics/ABitmap.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "graphics/frame_recorder.h"

#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/mman.h>
#endif

namespace mokuren {

namespace {

// Large buffers in huge pages: not where the sanitizers watch the heap (a mapping of our own would hide
// its overruns from them) nor where there is no mmap.
#if defined(__linux__) && !defined(__EMSCRIPTEN__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(__SANITIZE_THREAD__)
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define MOKUREN_NO_HUGE_PIXELS
#endif
#endif
#ifndef MOKUREN_NO_HUGE_PIXELS
#define MOKUREN_HUGE_PIXELS
#endif
#endif

#ifdef MOKUREN_HUGE_PIXELS
constexpr size_t kHugePage = size_t{2} << 20;
// From this size on a buffer takes whole huge pages: an 800x600 frame (1.83 MiB) takes one.
constexpr size_t kHugeFrom = size_t{1} << 20;
#endif

// `size` zeroed bytes in whole huge pages aligned to their size, or nullptr (the caller uses calloc);
// `mapped` is what to unmap.
uint8_t* MapHuge(size_t size, size_t& mapped) {
#ifdef MOKUREN_HUGE_PIXELS
  if (size < kHugeFrom || size > (SIZE_MAX >> 2)) return nullptr;
  const size_t length = (size + kHugePage - 1) & ~(kHugePage - 1);
  void* p = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // The mapping trimmed to an aligned `length`: the kernel can only give whole aligned huge pages.
  const uintptr_t start = reinterpret_cast<uintptr_t>(p);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
  if (aligned > start) munmap(p, aligned - start);
  if (const size_t tail = start + kHugePage - aligned; tail > 0)
    munmap(reinterpret_cast<void*>(aligned + length), tail);
  // Only advice: where the system gives no huge pages, the buffer has small ones as before.
  madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  mapped = length;
  return reinterpret_cast<uint8_t*>(aligned);
#else
  (void)size;
  (void)mapped;
  return nullptr;
#endif
}

}  // namespace

void PixelBuffer::Free::operator()(uint8_t* p) const {
#ifdef MOKUREN_HUGE_PIXELS
  if (mapped != 0) {
    munmap(p, mapped);
    return;
  }
#endif
  std::free(p);
}

PixelBuffer::PixelBuffer(const PixelBuffer& other) { *this = other; }

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
  if (this == &other) return *this;
  if (size_ != other.size_) {
    Clear();
    if (other.size_ == 0) return *this;
    bytes_ = std::unique_ptr<uint8_t[], Free>(static_cast<uint8_t*>(std::malloc(other.size_)), Free{});
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
  size_t mapped = 0;
  if (uint8_t* huge = MapHuge(size, mapped))
    bytes_ = std::unique_ptr<uint8_t[], Free>(huge, Free{mapped});
  else
    bytes_ = std::unique_ptr<uint8_t[], Free>(static_cast<uint8_t*>(std::calloc(size, 1)), Free{});
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
