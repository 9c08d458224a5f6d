#include "sound/wav_recorder.h"

#include <array>
#include <bit>
#include <cstring>

namespace mokuren {

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kHeaderBytes = 44;
constexpr uint32_t kMaxDataBytes = 0xFFFFFFFFu - kHeaderBytes;

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

WavRecorder::WavRecorder(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
  if (file_) UpdateHeader();
}

WavRecorder::~WavRecorder() {
  if (file_) UpdateHeader();
}

void WavRecorder::Write(const int16_t* frames, uint32_t frameCount) {
  if (!file_ || frameCount == 0) return;
  static_assert(std::endian::native == std::endian::little, "WAV samples are little-endian");
  std::fwrite(frames, 4, frameCount, file_.get());
  frames_ += frameCount;
  if (frames_ - framesAtHeader_ >= kRate) UpdateHeader();  // about once a second
}

void WavRecorder::UpdateHeader() {
  uint64_t bytes64 = frames_ * 4;
  uint32_t bytes = bytes64 > kMaxDataBytes ? kMaxDataBytes : static_cast<uint32_t>(bytes64);
  std::array<uint8_t, kHeaderBytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], 36 + bytes);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // PCM
  Put16(&h[22], 2);  // stereo
  Put32(&h[24], kRate);
  Put32(&h[28], kRate * 4);  // bytes per second
  Put16(&h[32], 4);          // block align
  Put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], bytes);
  long end = std::ftell(file_.get());
  std::fseek(file_.get(), 0, SEEK_SET);
  std::fwrite(h.data(), 1, h.size(), file_.get());
  if (end > static_cast<long>(kHeaderBytes)) std::fseek(file_.get(), end, SEEK_SET);
  std::fflush(file_.get());
  framesAtHeader_ = frames_;
}

}  // namespace mokuren
