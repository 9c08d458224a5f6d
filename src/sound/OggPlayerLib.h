// TOggPlayer: the software mixer. Numbered slots each hold at most one stream (not owned). Each refill
// renders every playing stream, sums them, runs the peak limiter and the master gain, and writes 16-bit
// stereo into one half of its output area.
//
// Lock order: the mixer's lock, then a stream's lock. MixHalf runs on the refill thread; attaching,
// playing, stopping and volume changes run on the engine thread.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/OggDataLib.h"
#include "sound/TSemaphore.h"

namespace mokuren {

class TOggPlayer {
 public:
  // size: output bytes (two halves of 16-bit stereo); slots: number of slots.
  explicit TOggPlayer(int32_t size = 163840, int slots = 10);

  // Puts the stream in the slot after emptying every slot that holds it; null empties the slot.
  void AttachStream(int slot, TOggData* stream, bool lock = true);
  TOggData* Slot(int slot) const;
  void SetSlotVolume(int slot, double v);
  void SetAllStreamsGain(double v);
  void PlaySlot(int slot, bool loop);
  void StopSlot(int slot);
  // The stream's status, or 0 for an empty slot.
  int SlotStatus(int slot);

  // Mixes the next half; CurrentHalf is its address (HalfBytes() bytes).
  void MixHalf();
  const int16_t* CurrentHalf() const { return output_.data() + halfSelector_; }
  int32_t HalfBytes() const { return size_ / 2; }
  int32_t HalfFrames() const { return size_ / 8; }

  int32_t MasterGain = 256;  // 1/256 units
  // The limiter's envelope in 1/256 sample units (32767 * 256 while the mix stays within 16 bits).
  int32_t Envelope() const { return envelope_; }

  static constexpr int32_t kFloor = 0x7FFF;
  static constexpr int32_t kCeiling = 0xFFFE;
  static constexpr int32_t kRelease = 500;
  static constexpr int32_t kHoldBlocks = 44100 / 32;

 private:
  void Reset();
  void Limit(int32_t* samples, int32_t frames);

  TSemaphore lock_;
  int32_t size_;
  std::vector<TOggData*> slots_;
  std::vector<int16_t> output_;
  int32_t halfSelector_ = 0;
  std::vector<int32_t> accumulator_;
  int32_t envelope_ = kFloor * 256;
  int32_t quietBlocks_ = 0;
};

}  // namespace mokuren
