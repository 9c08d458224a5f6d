#include "sound/ddsd.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/text_codec.h"
#include "platform/game_files.h"

namespace mokuren {

namespace {

// DSBCAPS_* values the buffer flags are made of.
constexpr uint32_t kCtrlFrequency = 0x20;
constexpr uint32_t kCtrlPan = 0x40;
constexpr uint32_t kCtrlVolume = 0x80;
constexpr uint32_t kCtrlPositionNotify = 0x100;
constexpr uint32_t kCtrlFx = 0x200;
constexpr uint32_t kStickyFocus = 0x4000;
constexpr uint32_t kGetCurrentPosition2 = 0x10000;

std::u16string HexCode(int32_t result) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "(Error Code(%x))", static_cast<uint32_t>(result));
  return FromUtf8(buf);
}

}  // namespace

EDDSD::EDDSD(const std::u16string& message) : std::runtime_error(ToUtf8(message)), Message(message) {}

// ---- Notify thread -----------------------------------------------------------------------------------

TDDSDNotifyThread::TDDSDNotifyThread(std::function<uint32_t()> poll)
    : thread_([this, poll = std::move(poll)] {
        // A device that stops playing chunks still gets a poll this often.
        constexpr uint32_t kLongestChunkWait = 100;
        uint32_t rest = 10;
        uint64_t seen = 0;
        for (;;) {
          {
            std::unique_lock lock(mutex_);
            // A chunk played while the poll ran counts: the poll saw the cursor from before it.
            waitingForChunk_ = rest == 0;
            const bool stop = wake_.wait_for(lock, std::chrono::milliseconds(rest == 0 ? kLongestChunkWait : rest),
                                             [&] { return terminated_ || (waitingForChunk_ && chunks_ != seen); });
            waitingForChunk_ = false;
            if (stop && terminated_) return;
            seen = chunks_;
          }
          rest = poll();
        }
      }) {}

void TDDSDNotifyThread::Rendered() {
  std::lock_guard lock(mutex_);
  ++chunks_;
  // A poll that waits out a time of its own is not woken for nothing.
  if (waitingForChunk_) wake_.notify_one();
}

TDDSDNotifyThread::~TDDSDNotifyThread() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

// ---- Waves -------------------------------------------------------------------------------------------

TDDSDGenWave::TDDSDGenWave(TDDSD& owner, bool effects, int32_t size, bool stereo, int bits, int rate, bool streaming)
    : owner_(owner), size_(size), streaming_(streaming), effects_(effects) {
  format_.channels = stereo ? 2 : 1;
  format_.bits = static_cast<uint16_t>(bits);
  format_.rate = static_cast<uint32_t>(rate);
  if (!owner_.Available()) return;
  // Buffer flags.
  flags_ = streaming ? (kCtrlFrequency | kCtrlPan | kCtrlVolume | kCtrlPositionNotify | kGetCurrentPosition2)
                     : (kCtrlFrequency | kCtrlPan | kCtrlVolume);
  if (effects) flags_ = kCtrlFx | kCtrlFrequency | kCtrlPan | kCtrlVolume;
  if (owner_.StickyFocus) flags_ |= kStickyFocus;
  // The device buffer; a failure is reported and leaves the wave without one.
  int32_t result = dsresult::InvalidParam;
  if (size > 0 && bits > 0 && bits <= 32 && rate > 0)
    buffer_ = owner_.Device().CreateBuffer(format_, static_cast<uint32_t>(size), result);
  if (owner_.Check(result, u"サウンドバッファの作成に失敗しました") != 0) return;
  // Streaming: the notify positions are the cursor comparisons of Poll; start the poll at once.
  if (streaming_) {
    half_ = size_ >> 1;
    if (owner_.Device().RealTime()) {
      thread_ = std::make_unique<TDDSDNotifyThread>([this] {
        Poll();
        return NextPollMs();
      });
      owner_.Device().AddRenderListener(this, [thread = thread_.get()] { thread->Rendered(); });
    } else
      owner_.Device().AddPoller(this, [this] { Poll(); });
  }
}

TDDSDGenWave::~TDDSDGenWave() {
  // The poll must stop before the buffer it reads goes away, and the device stop telling it of chunks
  // before that.
  if (thread_) owner_.Device().RemoveRenderListener(this);
  thread_.reset();
  if (streaming_) owner_.Device().RemovePoller(this);
  if (channel_ != nullptr) channel_->Forget();
  buffer_.reset();
}

void TDDSDGenWave::WriteData(int32_t offset, const void* source, int32_t size) {
  if (!owner_.Available() || !buffer_) return;
  int32_t result = (offset < 0 || size < 0)
                       ? dsresult::InvalidParam
                       : buffer_->Write(static_cast<uint32_t>(offset), source, static_cast<uint32_t>(size));
  owner_.Check(result, u"DirectSoundBufferのロックに失敗しました");
}

void TDDSDGenWave::EndAt(uint64_t frames) {
  if (buffer_) buffer_->SetEnd(frames);
}

bool TDDSDGenWave::CurrentPosition(uint32_t& play, uint32_t& write) {
  play = write = 0;
  return buffer_ && buffer_->GetCurrentPosition(play, write) == dsresult::Ok;
}

void TDDSDGenWave::Poll() {
  if (!owner_.Available() || !buffer_) return;
  uint32_t play = 0, write = 0;
  // A device that has gone away fails here; the stream then simply gets no more refills.
  if (buffer_->GetCurrentPosition(play, write) != dsresult::Ok) return;
  // Both cursors at 0: the buffer has not started playing.
  if (play == 0 && write == 0) return;
  uint32_t half = static_cast<uint32_t>(half_);
  uint32_t status = 0;
  auto request = [&](int32_t offset, int32_t size) {
    buffer_->GetStatus(status);
    if ((status & kStatusPlaying) && OnNotify) OnNotify(*this, channel_, offset, size);
  };
  if (halfState_ == 0) {
    // The first half plays: ask for the second.
    if (play < half && write < half) {
      request(half_, size_ - half_);
      halfState_ = 1;
    }
  } else if (play > half && write > half) {
    // The second half plays: ask for the first.
    request(0, half_);
    halfState_ = 0;
  }
}

uint32_t TDDSDGenWave::NextPollMs() {
  constexpr uint32_t kStep = 10, kMargin = 20, kLongest = 500, kNextChunk = 0;
  uint32_t play = 0, write = 0, status = 0;
  const uint32_t size = static_cast<uint32_t>(size_), bytesPerSecond = format_.rate * format_.BlockAlign();
  if (!buffer_ || size == 0 || bytesPerSecond == 0 || buffer_->GetCurrentPosition(play, write) != dsresult::Ok ||
      buffer_->GetStatus(status) != dsresult::Ok)
    return kStep;
  // A buffer that does not play yet may start at any chunk and want its first refill soon after.
  if (!(status & kStatusPlaying)) return kNextChunk;
  // The next refill waits for the cursor to wrap round to the first half, or to pass the middle.
  const uint32_t boundary = halfState_ == 0 ? size : static_cast<uint32_t>(half_);
  const uint64_t ahead = (boundary + size - play % size) % size;
  const uint64_t ms = ahead * 1000 / bytesPerSecond;
  return ms <= kMargin ? kNextChunk : static_cast<uint32_t>(std::min<uint64_t>(ms - kMargin, kLongest));
}

// ---- Channels ----------------------------------------------------------------------------------------

// Only a wave whose buffer the channel shares knows the channel (and tells it when it goes away), so
// only then may the channel reach the wave; a static wave may already be gone, its copy lives on.
TDDSDChannel::~TDDSDChannel() {
  if (shared_ != nullptr && wave_ != nullptr && wave_->channel_ == this) wave_->channel_ = nullptr;
}

void TDDSDChannel::ReleaseBuffer() {
  if (shared_ != nullptr && wave_ != nullptr && wave_->channel_ == this) wave_->channel_ = nullptr;
  ownBuffer_.reset();
  shared_ = nullptr;
  is3D_ = false;
}

void TDDSDChannel::setWaveData(TDDSDGenWave* wave) {
  if (!owner_.Available()) return;
  // A streaming wave already attached: the same wave again changes nothing, another one stops it first.
  if (wave_ != nullptr && streaming_) {
    if (wave == wave_) return;
    if (shared_ != nullptr) shared_->Stop();
  }
  ReleaseBuffer();
  // No wave leaves the channel empty.
  if (wave == nullptr) {
    wave_ = nullptr;
    streaming_ = false;
    return;
  }
  // Streaming and effect waves share their buffer with the channel; a static wave gets its own copy.
  if (wave->streaming_ || wave->effects_) {
    shared_ = wave->buffer_.get();
    wave->channel_ = this;
  } else if (wave->buffer_) {
    ownBuffer_ = wave->buffer_->Duplicate();
  } else {
    owner_.Check(dsresult::InvalidParam, u"setWaveData サウンドバッファの複製に失敗しました");
  }
  // The channel takes the wave's kind and rate.
  streaming_ = wave->streaming_;
  is3D_ = false;
  rate_ = static_cast<int>(wave->format_.rate);
  wave_ = wave;
}

void TDDSDChannel::PlayOnce() {
  if (!owner_.Available() || Buffer() == nullptr) return;
  Buffer()->SetCurrentPosition(0);
  Buffer()->Play(false);
}

void TDDSDChannel::PlayLoop() {
  if (!owner_.Available() || Buffer() == nullptr) return;
  Buffer()->SetCurrentPosition(0);
  Buffer()->Play(true);
}

void TDDSDChannel::Stop() {
  if (!owner_.Available() || Buffer() == nullptr) return;
  Buffer()->Stop();
}

uint32_t TDDSDChannel::GetStatus() {
  if (Buffer() == nullptr) return 0;
  uint32_t status = 0;
  Buffer()->GetStatus(status);
  return status;
}

void TDDSDChannel::SetParams3D(const DS3DBuffer& params) {
  params3D_.Params = params;
  // No device of ours has a 3D buffer, so there is nothing to apply.
}

// ---- Component ---------------------------------------------------------------------------------------

TDDSD::TDDSD(std::unique_ptr<SoundDevice> device) : device_(std::move(device)) {
  LogPath = ExecutableDirectory() / "DDSD_DebugLog.txt";
  OnHalt = [this] {
    available_ = false;
    device_->StopAll();
  };
}

TDDSD::~TDDSD() { FreeChannels(); }

void TDDSD::FreeChannels() { channels_.clear(); }

void TDDSD::SetDebugOption(uint8_t options) {
  debugOption_ = options & 7;
  halt_ = (options & dsoHaltOnError) != 0;
  log_ = (options & dsoDebugMessage) != 0;
  raise_ = (options & dsoExceptOnError) != 0;
}

bool TDDSD::Loaded() {
  SetDebugOption(debugOption_);
  return InitDevice();
}

bool TDDSD::InitDevice() {
  // A fresh set of channels.
  FreeChannels();
  int count = std::clamp(ChannelCount, 0, 256);
  for (int i = 0; i < count; ++i) channels_.push_back(std::make_unique<TDDSDChannel>(*this));
  available_ = false;
  // No device is no error: the game runs silent.
  if (!device_->IsOpen() && !device_->Open()) return false;
  // The cooperative level and the primary buffer have no counterpart in our devices.
  available_ = true;
  // No device offers a 3D listener: asking for one is reported, and sound goes on without it.
  if (Use3D) {
    if (Check(dsresult::NoInterface, u"DirectSound3D Listenerの作成に失敗しました") != 0) return available_;
    listener_ = TDDSDListener{};
  }
  return true;
}

TDDSDChannel* TDDSD::Channel(int index) {
  if (index < 0 || index >= static_cast<int>(channels_.size())) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "チャンネル番号%dは無効です、%d～%dの範囲で指定してください", index, 0,
                  ChannelCount - 1);
    Report(FromUtf8(buf));
    return nullptr;
  }
  return channels_[static_cast<size_t>(index)].get();
}

int32_t TDDSD::Check(int32_t result, const std::u16string& text) {
  // Any non-zero value is a failure, positive success codes included.
  if (result == 0) return 0;
  Report(text + HexCode(result));
  return result;
}

void TDDSD::Report(const std::u16string& message) {
  ++reportCount_;
  // The first line of a run recreates the log; later lines append.
  if (log_) {
    std::lock_guard lock(logMutex_);
    ++logLines_;
    if (std::FILE* f = std::fopen(LogPath.c_str(), logLines_ == 1 ? "wb" : "ab")) {
      std::fprintf(f, "debug#%.5d ... %s\r\n", logLines_, ToUtf8(message).c_str());
      std::fclose(f);
    }
  }
  if (raise_) throw EDDSD(message);
  // Ending the process over a sound failure would lose the player's game; the halt leaves it silent.
  if (halt_ && OnHalt) OnHalt();
}

}  // namespace mokuren
