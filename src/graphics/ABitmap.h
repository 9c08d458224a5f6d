// TABitmap: a 32-bit surface. Each pixel is four bytes: blue, green, red and a transparency byte
// (0 = opaque, 255 = fully transparent). Colours are straight, not premultiplied. Rows are stored
// top-down without padding, so a whole surface is one contiguous run of Width() * Height() * 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace mokuren {

class FrameRecorder;

// The bytes of a surface, zeroed when made. They come zeroed from the system and become resident only when
// something is drawn on them: a surface the game never uses costs no time to clear and no memory. A large
// one (a whole frame, a full-screen picture) is mapped in whole 2 MiB pages where the system has them, so
// that drawing on it first takes one page fault instead of hundreds.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(const PixelBuffer& other);
  PixelBuffer(PixelBuffer&& other) noexcept : bytes_(std::move(other.bytes_)), size_(other.size_) { other.size_ = 0; }
  PixelBuffer& operator=(const PixelBuffer& other);
  PixelBuffer& operator=(PixelBuffer&& other) noexcept {
    bytes_ = std::move(other.bytes_);
    size_ = other.size_;
    other.size_ = 0;
    return *this;
  }

  // `size` bytes, all 0; a buffer of that size already is cleared in place.
  void AssignZeroed(size_t size);
  void Clear() {
    bytes_.reset();
    size_ = 0;
  }
  uint8_t* data() { return bytes_.get(); }
  const uint8_t* data() const { return bytes_.get(); }
  size_t size() const { return size_; }
  friend bool operator==(const PixelBuffer& a, const PixelBuffer& b);

 private:
  // Frees what malloc gave, or unmaps `mapped` bytes (0 in a value-initialised one: the default).
  struct Free {
    size_t mapped;
    void operator()(uint8_t* p) const;
  };
  std::unique_ptr<uint8_t[], Free> bytes_;
  size_t size_ = 0;
};

class TABitmap {
 public:
  TABitmap() = default;
  TABitmap(int32_t width, int32_t height) { SetSize32(width, height); }
  // A copy has its original's pixels and stamp; a moved-from surface is left empty.
  TABitmap(const TABitmap& other);
  TABitmap(TABitmap&& other) noexcept;
  TABitmap& operator=(const TABitmap& other);
  TABitmap& operator=(TABitmap&& other) noexcept;

  // Surfaces here are always 32 bits per pixel; kept so callers read like the engine's other code.
  void Make32() {}
  // Resizes to width x height, all bytes 0 (black, opaque). A size of 0 or less in either direction
  // gives an empty (not valid) surface.
  void SetSize32(int32_t width, int32_t height);
  bool IsValid() const { return width_ > 0 && height_ > 0; }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  uint8_t* ScanLine(int32_t y) {
    Changing();
    return bits_.data() + static_cast<size_t>(y) * width_ * 4;
  }
  const uint8_t* ScanLine(int32_t y) const {
    Reading();
    return bits_.data() + static_cast<size_t>(y) * width_ * 4;
  }
  uint8_t* Bits() {
    Changing();
    return bits_.data();
  }
  const uint8_t* Bits() const {
    Reading();
    return bits_.data();
  }
  size_t ByteSize() const { return bits_.size(); }

  // A number for the pixels as they are now: it changes whenever they may have changed (any writable
  // access or resize gives the surface a new one when it is next asked for), and two surfaces with the
  // same stamp hold the same pixels. FrameRecorder tells by it whether a picture drawn into the frame is
  // the one drawn last time.
  uint64_t Stamp() const;
  // The recorder that is recording drawing on this surface, if any (see FrameRecorder).
  FrameRecorder* RecordedBy() const { return recorder_; }

  // Every pixel becomes blue | green << 8 | red << 16 with byte 3 = 0. Does nothing when not valid.
  void FillRGB(uint8_t red, uint8_t green, uint8_t blue);

  // Builds a transparency-carrying image: dest takes the colour surface's size, bytes 0-2 of each pixel
  // come from `colour` and byte 3 from the first (blue) byte of the matching `mask` pixel. Pixels the
  // mask does not cover (a mask smaller than the colour surface) count as white: fully transparent.
  static void CombineMask(const TABitmap& colour, const TABitmap& mask, TABitmap& dest);

  friend bool operator==(const TABitmap& a, const TABitmap& b) {
    a.Reading();
    b.Reading();
    return a.width_ == b.width_ && a.height_ == b.height_ && a.bits_ == b.bits_;
  }

 private:
  friend class FrameRecorder;
  // Every access to the pixels passes here first. While a frame is recorded, drawing on the surface is
  // only written down, so any other access first has the recorder draw what it holds.
  void Changing() {
    stamp_ = 0;
    if (recorder_) SettleRecording();
  }
  void Reading() const {
    if (recorder_) SettleRecording();
  }
  void SettleRecording() const;

  int32_t width_ = 0;
  int32_t height_ = 0;
  PixelBuffer bits_;
  mutable uint64_t stamp_ = 0;  // 0: not asked for since the pixels may have changed
  FrameRecorder* recorder_ = nullptr;
};

}  // namespace mokuren
