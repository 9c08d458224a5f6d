// The machine under TDDSD: a device that plays PCM buffers at 44100 Hz, 16-bit stereo, and buffers with
// play and write cursors in the manner of a DirectSound secondary buffer. Two devices exist: SDL audio for
// the windowed game, and a virtual device for headless runs whose cursors follow the virtual clock.
//
// Every buffer operation returns a result code: 0 for success, otherwise one of the DSERR-like codes
// below, which TDDSD's error check turns into a message.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace mokuren {

class WavRecorder;

namespace dsresult {
inline constexpr int32_t Ok = 0;
inline constexpr int32_t InvalidParam = static_cast<int32_t>(0x80070057);
inline constexpr int32_t NoInterface = static_cast<int32_t>(0x80004002);
inline constexpr int32_t BufferLost = static_cast<int32_t>(0x88780096);
inline constexpr int32_t NoDriver = static_cast<int32_t>(0x88780078);
inline constexpr int32_t BadFormat = static_cast<int32_t>(0x88780064);
}  // namespace dsresult

inline constexpr uint32_t kStatusPlaying = 1;  // DSBSTATUS_PLAYING
inline constexpr uint32_t kStatusLooping = 4;  // DSBSTATUS_LOOPING
inline constexpr uint32_t kDeviceRate = 44100;

struct PcmFormat {
  uint16_t channels = 2;
  uint16_t bits = 16;
  uint32_t rate = kDeviceRate;
  uint32_t BlockAlign() const { return channels * bits / 8u; }
};

class SoundDevice;

// One playable buffer. Duplicates share the sample memory but have their own cursor and play state.
class DeviceBuffer {
 public:
  ~DeviceBuffer();
  DeviceBuffer(const DeviceBuffer&) = delete;
  DeviceBuffer& operator=(const DeviceBuffer&) = delete;

  const PcmFormat& Format() const { return format_; }
  uint32_t Size() const { return static_cast<uint32_t>(data_->size()); }

  int32_t Play(bool loop);
  int32_t Stop();
  int32_t SetCurrentPosition(uint32_t byteOffset);
  // The play cursor (the next byte the device takes) and the write cursor (where writing is safe again),
  // both in bytes.
  int32_t GetCurrentPosition(uint32_t& play, uint32_t& write);
  int32_t GetStatus(uint32_t& status);
  // Copies size bytes to offset, wrapping around the end as a locked region pair would.
  int32_t Write(uint32_t offset, const void* source, uint32_t size);
  // Where a looping buffer fed as it plays stops for good: after `frames` frames from the position last
  // set, counted across its laps (the frame before it is the last one heard, as at a one-shot buffer's
  // end). Until it is set the buffer has no end.
  void SetEnd(uint64_t frames);
  // A second buffer on the same samples.
  std::unique_ptr<DeviceBuffer> Duplicate();

 private:
  friend class SoundDevice;
  DeviceBuffer(SoundDevice& device, const PcmFormat& format, std::shared_ptr<std::vector<uint8_t>> data);

  SoundDevice& device_;
  PcmFormat format_;
  std::shared_ptr<std::vector<uint8_t>> data_;
  uint64_t position_ = 0;      // in source frames, 32.32 fixed point
  uint64_t step_ = 0;          // source frames per device frame, 32.32
  uint64_t laps_ = 0;          // frames of the laps finished since the position was last set
  uint64_t end_ = UINT64_MAX;  // see SetEnd
  bool playing_ = false;
  bool looping_ = false;
};

class SoundDevice {
 public:
  SoundDevice();
  virtual ~SoundDevice();

  // Opens the output; false when there is none (the game then runs silent).
  virtual bool Open() = 0;
  virtual bool IsOpen() const = 0;
  // After a failed Open: which output failed and why, for the player.
  virtual std::string OpenError() const { return {}; }
  // True when the device runs by itself in real time (refill requests then come from a worker thread);
  // false for the virtual device, whose owner drives it with Pump.
  virtual bool RealTime() const = 0;
  // Advances the virtual device to the given millisecond time, playing what is due (no-op in real time).
  virtual void Pump(uint32_t nowMs) {}
  // A device that has stopped working: its buffers then fail with BufferLost.
  virtual bool Lost() const { return false; }

  // Creates a buffer; null with a result code for a format the device cannot play.
  std::unique_ptr<DeviceBuffer> CreateBuffer(const PcmFormat& format, uint32_t bytes, int32_t& result);

  // Stops every buffer (a component that gives up on the device must not leave a stale half looping).
  void StopAll();

  // Writes every frame the device plays to the file too (--record-audio). Null stops recording.
  void SetRecorder(std::unique_ptr<WavRecorder> recorder);

  // Work run after each 10 ms step of a device that is not real-time (the notify polls of streaming
  // waves, which then run on the thread that pumps the device). The key identifies it for removal.
  void AddPoller(const void* key, std::function<void()> poll);
  void RemovePoller(const void* key);

  // Work run after each chunk a real-time device plays, on the device's thread with the buffers locked:
  // it may only signal (a streaming wave's poll waits for the chunk that moves its cursor past a half).
  // The key identifies it for removal.
  void AddRenderListener(const void* key, std::function<void()> listener);
  void RemoveRenderListener(const void* key);

  // Latency between the play and write cursors, in device frames.
  uint32_t WriteLead() const { return writeLead_; }

 protected:
  // Mixes every playing buffer into frameCount stereo frames and advances their cursors. Called by the
  // device's own clock (SDL callback or Pump).
  void Render(int16_t* out, uint32_t frameCount);
  void RunPollers();
  uint32_t writeLead_ = 441;

 private:
  friend class DeviceBuffer;
  std::mutex mutex_;  // guards the buffer list, every buffer's state and sample memory, and the recorder
  std::vector<DeviceBuffer*> buffers_;
  std::unique_ptr<WavRecorder> recorder_;
  std::vector<std::pair<const void*, std::function<void()>>> pollers_;          // engine thread only
  std::vector<std::pair<const void*, std::function<void()>>> renderListeners_;  // under mutex_
};

// Makes the SDL device (or a closed one when SDL is not built in).
std::unique_ptr<SoundDevice> MakeSdlSoundDevice();

}  // namespace mokuren
