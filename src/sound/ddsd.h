// TDDSD: the sound device component. It owns the device, a fixed array of playback channels and the
// error check through which every device failure passes. Waves hold one device buffer each; a streaming
// wave asks its owner (OnNotify) to refill the half of its buffer that is not playing.
//
// The engine uses channel 0 for the software mix and channel 1 for the movie's sound (both streaming
// waves; the movie's is fed by its decoder and ends where the sound does). The component mixes nothing itself and has
// no volume control.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sound/sound_device.h"

namespace mokuren {

class TDDSD;
class TDDSDChannel;
class TDDSDGenWave;

// Raised by the error check when dsoExceptOnError is set. Carries the message in UTF-16 as well.
class EDDSD : public std::runtime_error {
 public:
  explicit EDDSD(const std::u16string& message);
  std::u16string Message;
};

enum TDDSDDebugOption : uint8_t { dsoHaltOnError = 1, dsoDebugMessage = 2, dsoExceptOnError = 4 };

// DS3DBUFFER and DS3DLISTENER as the device's 3D interfaces take them. No device of ours has 3D sound; the
// records are kept so that callers can set and read them.
struct DS3DVector {
  float x, y, z;
};
struct DS3DBuffer {
  uint32_t dwSize = 64;
  DS3DVector vPosition{0, 0, 0};
  DS3DVector vVelocity{0, 0, 0};
  uint32_t dwInsideConeAngle = 360;
  uint32_t dwOutsideConeAngle = 360;
  DS3DVector vConeOrientation{0, 0, 1.0f};
  int32_t lConeOutsideVolume = 0;
  float flMinDistance = 5.0f;
  float flMaxDistance = 100.0f;
  uint32_t dwMode = 0;
};
static_assert(sizeof(DS3DBuffer) == 64);
struct DS3DListener {
  uint32_t dwSize = 64;
  DS3DVector vPosition{0, 0, 0};
  DS3DVector vVelocity{0, 0, 0};
  DS3DVector vOrientFront{0, 0, 1.0f};
  DS3DVector vOrientTop{0, 1.0f, 0};
  float flDistanceFactor = 1.0f;
  float flRolloffFactor = 1.0f;
  float flDopplerFactor = 1.0f;
};
static_assert(sizeof(DS3DListener) == 64);

struct TDDSDParams3D {
  DS3DBuffer Params;
  TDDSDChannel* Channel = nullptr;
};

struct TDDSDListener {
  DS3DListener Params;
};

using TDDSDNotifyEvent = std::function<void(TDDSDGenWave& sender, TDDSDChannel* channel, int32_t offset, int32_t size)>;

// The poll loop of a streaming wave on a real-time device: it runs the wave's poll until told to stop,
// waiting between polls as long as the poll says: while the cursor is far from the next half, until it
// may near it; near it, until the device has played its next chunk, since the cursor moves only then (a
// playing game thus wakes a few times a second, not at every step of a clock). On a virtual device there
// is no thread; the device runs the same poll after each step.
class TDDSDNotifyThread {
 public:
  // `poll` returns the milliseconds to wait before it runs again, or 0 to run once the device has
  // played its next chunk (Rendered).
  explicit TDDSDNotifyThread(std::function<uint32_t()> poll);
  ~TDDSDNotifyThread();  // stops (without waiting out the rest) and joins
  TDDSDNotifyThread(const TDDSDNotifyThread&) = delete;
  TDDSDNotifyThread& operator=(const TDDSDNotifyThread&) = delete;

  // The device played a chunk (called on the device's thread).
  void Rendered();

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool terminated_ = false;
  uint64_t chunks_ = 0;           // chunks the device has played
  bool waitingForChunk_ = false;  // the poll asked to run at the next one
  std::thread thread_;
};

class TDDSDGenWave {
 public:
  virtual ~TDDSDGenWave();
  TDDSDGenWave(const TDDSDGenWave&) = delete;
  TDDSDGenWave& operator=(const TDDSDGenWave&) = delete;

  // Copies size bytes from source to offset, continuing at the start of the buffer past its end.
  void WriteData(int32_t offset, const void* source, int32_t size);
  // A streaming wave whose sound has run out: it stops once it has played `frames` frames from its start,
  // to the frame, instead of looping on over what its buffer still holds.
  void EndAt(uint64_t frames);

  bool Streaming() const { return streaming_; }
  bool Effects() const { return effects_; }
  int32_t BufferSize() const { return size_; }
  int32_t HalfSize() const { return half_; }
  const PcmFormat& Format() const { return format_; }
  // The buffer flags it was created with (DSBCAPS_* values), for the record.
  uint32_t Flags() const { return flags_; }

  TDDSDNotifyEvent OnNotify;

  // The buffer's play and write cursors in bytes; false without a buffer or device.
  bool CurrentPosition(uint32_t& play, uint32_t& write);

  // One poll of the refill logic (run by the notify thread, or by a virtual device after each step).
  void Poll();
  // Milliseconds from now until the play cursor can reach the boundary the next refill waits for, less a
  // margin; 0 (after the device's next chunk) when that is near or the buffer does not play yet, 10 when
  // the cursor cannot be read.
  uint32_t NextPollMs();

 protected:
  TDDSDGenWave(TDDSD& owner, bool effects, int32_t size, bool stereo, int bits, int rate, bool streaming);

 private:
  friend class TDDSDChannel;
  TDDSD& owner_;
  PcmFormat format_;
  int32_t size_;
  int32_t half_ = 0;
  bool streaming_;
  bool effects_;
  uint32_t flags_ = 0;
  std::unique_ptr<DeviceBuffer> buffer_;
  TDDSDChannel* channel_ = nullptr;
  int halfState_ = 0;
  std::unique_ptr<TDDSDNotifyThread> thread_;
};

class TDDSDWaveData final : public TDDSDGenWave {
 public:
  struct StreamingTag {};
  // A static wave.
  TDDSDWaveData(TDDSD& owner, bool effects, int32_t size, bool stereo, int bits, int rate)
      : TDDSDGenWave(owner, effects, size, stereo, bits, rate, false) {}
  // A streaming wave: a notify thread asks for refills of the half that is not playing.
  TDDSDWaveData(TDDSD& owner, StreamingTag, bool effects, int32_t size, bool stereo, int bits, int rate)
      : TDDSDGenWave(owner, effects, size, stereo, bits, rate, true) {}
};

class TDDSDChannel {
 public:
  explicit TDDSDChannel(TDDSD& owner) : owner_(owner) { params3D_.Channel = this; }
  ~TDDSDChannel();
  TDDSDChannel(const TDDSDChannel&) = delete;
  TDDSDChannel& operator=(const TDDSDChannel&) = delete;

  // Puts a wave on the channel (null removes it). A static wave is played through a copy of its buffer,
  // so it can play on several channels at once; a streaming wave is played through its own buffer.
  void setWaveData(TDDSDGenWave* wave);
  // The wave last set. A static wave may have been destroyed since (the channel plays its own copy), so
  // this is for comparison only.
  TDDSDGenWave* WaveData() const { return wave_; }
  void PlayOnce();
  void PlayLoop();
  void Stop();
  // The buffer's status word (bit 0: playing), or 0 without a buffer.
  uint32_t GetStatus();
  void SetParams3D(const DS3DBuffer& params);
  const TDDSDParams3D& Params3D() const { return params3D_; }
  int SampleRate() const { return rate_; }

 private:
  friend class TDDSDGenWave;
  void ReleaseBuffer();
  // The wave is going away: drop every reference to it, device available or not.
  void Forget() {
    ReleaseBuffer();
    wave_ = nullptr;
    streaming_ = false;
  }
  DeviceBuffer* Buffer() const { return ownBuffer_ ? ownBuffer_.get() : shared_; }

  TDDSD& owner_;
  std::unique_ptr<DeviceBuffer> ownBuffer_;  // the copy of a static wave's buffer
  DeviceBuffer* shared_ = nullptr;           // a streaming (or effects) wave's own buffer
  bool is3D_ = false;
  int rate_ = 0;
  TDDSDGenWave* wave_ = nullptr;
  TDDSDParams3D params3D_;
  bool streaming_ = false;
};

class TDDSD {
 public:
  // The component with its defaults: 8 channels, sticky focus, no 3D, [dsoHaltOnError].
  explicit TDDSD(std::unique_ptr<SoundDevice> device);
  ~TDDSD();
  TDDSD(const TDDSD&) = delete;
  TDDSD& operator=(const TDDSD&) = delete;

  int ChannelCount = 8;
  bool StickyFocus = true;
  bool Use3D = false;

  uint8_t DebugOption() const { return debugOption_; }
  void SetDebugOption(uint8_t options);

  // Applies DebugOption and runs InitDevice; true when the device is available.
  bool Loaded();
  bool InitDevice();
  bool Available() const { return available_; }

  // The channel, or null after reporting an invalid number.
  TDDSDChannel* Channel(int index);

  // The error check: 0 passes; anything else is reported as the options say and returned.
  int32_t Check(int32_t result, const std::u16string& text);
  // The report without an error code (an invalid channel number).
  void Report(const std::u16string& message);

  SoundDevice& Device() { return *device_; }
  // Where the debug log goes (default: DDSD_DebugLog.txt beside the executable).
  std::filesystem::path LogPath;
  // Run instead of ending the process when the halt option is set. The default makes the component
  // unavailable, so a device that fails while the game plays leaves it running silent.
  std::function<void()> OnHalt;
  // Number of reports made (tests and the debug window).
  int ReportCount() const { return reportCount_; }
  const TDDSDListener& Listener() const { return listener_; }

 private:
  friend class TDDSDGenWave;
  friend class TDDSDChannel;
  void FreeChannels();

  std::unique_ptr<SoundDevice> device_;
  std::vector<std::unique_ptr<TDDSDChannel>> channels_;
  TDDSDListener listener_;
  uint8_t debugOption_ = dsoHaltOnError;
  std::atomic<bool> halt_{true}, log_{false}, raise_{false};
  std::atomic<bool> available_{false};
  std::atomic<int> reportCount_{0};
  std::mutex logMutex_;
  int logLines_ = 0;
};

}  // namespace mokuren
