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

WavRecorder::WavRecorder(const std::string& path) {
  if (!file_.Open(path, OutputFile::Mode::Replace, openProblem_)) return;
  // A pipe or a device is written in order: its header, written once, gives the longest size, as a
  // stream's does.
  WriteHeader(file_.Regular() ? 0 : kMaxDataBytes);
}

WavRecorder::~WavRecorder() {
  if (file_.IsOpen() && file_.Regular()) UpdateHeader();
}

void WavRecorder::Write(const int16_t* frames, uint32_t frameCount) {
  if (!file_.IsOpen() || frameCount == 0 || failed_.load(std::memory_order_relaxed)) return;
  static_assert(std::endian::native == std::endian::little, "WAV samples are little-endian");
  const size_t bytes = static_cast<size_t>(frameCount) * 4;
  const bool written =
      file_.Regular() ? file_.WriteAt(kHeaderBytes + frames_ * 4, frames, bytes) : file_.Write(frames, bytes);
  if (!written) return NoteFailure();
  frames_ += frameCount;
  if (file_.Regular() && frames_ - framesAtHeader_ >= kRate) UpdateHeader();  // about once a second
}

void WavRecorder::NoteFailure() {
  if (failed_.load(std::memory_order_relaxed)) return;
  writeProblem_ = file_.Problem();
  failed_.store(true, std::memory_order_release);
}

std::optional<std::string> WavRecorder::WriteProblem() const {
  if (!failed_.load(std::memory_order_acquire)) return std::nullopt;
  return writeProblem_;
}

void WavRecorder::UpdateHeader() {
  const uint64_t bytes = frames_ * 4;
  WriteHeader(bytes > kMaxDataBytes ? kMaxDataBytes : static_cast<uint32_t>(bytes));
  framesAtHeader_ = frames_;
}

void WavRecorder::WriteHeader(uint32_t dataBytes) {
  if (failed_.load(std::memory_order_relaxed)) return;
  std::array<uint8_t, kHeaderBytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], 36 + dataBytes);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // PCM
  Put16(&h[22], 2);  // stereo
  Put32(&h[24], kRate);
  Put32(&h[28], kRate * 4);  // bytes per second
  Put16(&h[32], 4);          // block align
  Put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataBytes);
  if (!(file_.Regular() ? file_.WriteAt(0, h.data(), h.size()) : file_.Write(h.data(), h.size()))) NoteFailure();
}

}  // namespace mokuren
