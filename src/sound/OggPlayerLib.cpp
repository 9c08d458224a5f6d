#include "sound/OggPlayerLib.h"

#include <algorithm>
#include <cstdlib>

#include "sound/mix_kernels.h"

namespace mokuren {

TOggPlayer::TOggPlayer(int32_t size, int slots)
    : size_(std::max<int32_t>(size, 64) & ~7), slots_(static_cast<size_t>(std::max(slots, 0)), nullptr) {
  output_.assign(static_cast<size_t>(size_) / 2, 0);
  accumulator_.assign(static_cast<size_t>(HalfFrames()) * 2, 0);
  Reset();
}

void TOggPlayer::Reset() {
  envelope_ = kFloor * 256;
  quietBlocks_ = 0;
  std::fill(slots_.begin(), slots_.end(), nullptr);
  MasterGain = 256;
  std::fill(output_.begin(), output_.end(), 0);
}

TOggData* TOggPlayer::Slot(int slot) const {
  if (slot < 0 || slot >= static_cast<int>(slots_.size())) return nullptr;
  return slots_[static_cast<size_t>(slot)];
}

void TOggPlayer::AttachStream(int slot, TOggData* stream, bool lock) {
  if (slot < 0 || slot >= static_cast<int>(slots_.size())) return;
  if (lock) lock_.Wait();
  if (stream != nullptr) std::replace(slots_.begin(), slots_.end(), stream, static_cast<TOggData*>(nullptr));
  slots_[static_cast<size_t>(slot)] = stream;
  if (lock) lock_.Release();
}

void TOggPlayer::SetSlotVolume(int slot, double v) {
  if (TOggData* s = Slot(slot)) s->SetSlotGain(v);
}

void TOggPlayer::SetAllStreamsGain(double v) {
  for (TOggData* s : slots_)
    if (s) s->SetStreamGain(v);
}

void TOggPlayer::PlaySlot(int slot, bool loop) {
  if (TOggData* s = Slot(slot)) s->Play(loop);
}

void TOggPlayer::StopSlot(int slot) {
  if (TOggData* s = Slot(slot)) s->Stop();
}

int TOggPlayer::SlotStatus(int slot) {
  TOggData* s = Slot(slot);
  return s ? s->Status() : 0;
}

void TOggPlayer::Limit(int32_t* samples, int32_t frames) {
  for (int32_t first = 0; first < frames; first += 32) {
    int32_t n = std::min(32, frames - first);
    int32_t* block = samples + first * 2;
    // Peak of the block.
    const int64_t peak = mix::PeakMagnitude(block, n * 2);
    int64_t e = envelope_;
    // Fast attack, a hold of about one second, then a slow release.
    if (e / 256 < peak) {
      e = (e + peak * 768) / 4;
      quietBlocks_ = 0;
    } else if (peak < e / 256) {
      if (quietBlocks_ > kHoldBlocks)
        e -= kRelease;
      else
        ++quietBlocks_;
    }
    // The envelope stays between the floor and the ceiling.
    envelope_ = static_cast<int32_t>(std::clamp<int64_t>(e, int64_t{kFloor} * 256, int64_t{kCeiling} * 256));
    // At the floor the block stays as it is; above it, the block is scaled so the envelope meets full scale.
    if (envelope_ == kFloor * 256) continue;
    int64_t gain = 0x7FFF00 / (envelope_ / 256);
    for (int32_t i = 0; i < n * 2; ++i) block[i] = static_cast<int32_t>(gain * block[i] / 256);
  }
}

void TOggPlayer::MixHalf() {
  SemaphoreLock lock(lock_);
  halfSelector_ = halfSelector_ == 0 ? size_ / 4 : 0;
  int32_t frames = HalfFrames();
  // The sum of the new halves of all playing streams.
  std::fill(accumulator_.begin(), accumulator_.end(), 0);
  for (TOggData* s : slots_)
    if (s) s->RenderHalf(accumulator_.data(), frames);
  // Limited, then scaled by the master gain and clipped to 16 bits.
  Limit(accumulator_.data(), frames);
  mix::ToInt16(accumulator_.data(), output_.data() + halfSelector_, frames * 2, MasterGain);
}

}  // namespace mokuren
