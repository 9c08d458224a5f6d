#include "sound/sound_device.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "sound/wav_recorder.h"

namespace mokuren {

DeviceBuffer::DeviceBuffer(SoundDevice& device, const PcmFormat& format, std::shared_ptr<std::vector<uint8_t>> data)
    : device_(device), format_(format), data_(std::move(data)) {
  step_ = (static_cast<uint64_t>(format_.rate) << 32) / kDeviceRate;
  std::lock_guard lock(device_.mutex_);
  device_.buffers_.push_back(this);
}

DeviceBuffer::~DeviceBuffer() {
  std::lock_guard lock(device_.mutex_);
  std::erase(device_.buffers_, this);
}

int32_t DeviceBuffer::Play(bool loop) {
  if (device_.Lost()) return dsresult::BufferLost;
  std::lock_guard lock(device_.mutex_);
  playing_ = true;
  looping_ = loop;
  return dsresult::Ok;
}

int32_t DeviceBuffer::Stop() {
  std::lock_guard lock(device_.mutex_);
  playing_ = false;
  return dsresult::Ok;
}

int32_t DeviceBuffer::SetCurrentPosition(uint32_t byteOffset) {
  if (byteOffset >= Size()) return dsresult::InvalidParam;
  std::lock_guard lock(device_.mutex_);
  position_ = static_cast<uint64_t>(byteOffset / format_.BlockAlign()) << 32;
  laps_ = 0;
  return dsresult::Ok;
}

void DeviceBuffer::SetEnd(uint64_t frames) {
  std::lock_guard lock(device_.mutex_);
  end_ = frames;
}

int32_t DeviceBuffer::GetCurrentPosition(uint32_t& play, uint32_t& write) {
  play = write = 0;
  if (device_.Lost()) return dsresult::BufferLost;
  std::lock_guard lock(device_.mutex_);
  uint32_t align = format_.BlockAlign();
  uint64_t frames = Size() / align;
  uint64_t at = position_ >> 32;
  play = static_cast<uint32_t>((at % frames) * align);
  uint64_t lead = (static_cast<uint64_t>(device_.writeLead_) * step_) >> 32;
  write = playing_ ? static_cast<uint32_t>(((at + lead) % frames) * align) : play;
  return dsresult::Ok;
}

int32_t DeviceBuffer::GetStatus(uint32_t& status) {
  std::lock_guard lock(device_.mutex_);
  status = playing_ ? (kStatusPlaying | (looping_ ? kStatusLooping : 0)) : 0;
  if (device_.Lost()) return dsresult::BufferLost;
  return dsresult::Ok;
}

int32_t DeviceBuffer::Write(uint32_t offset, const void* source, uint32_t size) {
  uint32_t total = Size();
  if (offset >= total || size > total || source == nullptr) return dsresult::InvalidParam;
  std::lock_guard lock(device_.mutex_);
  const auto* src = static_cast<const uint8_t*>(source);
  uint32_t first = std::min(size, total - offset);
  std::memcpy(data_->data() + offset, src, first);
  if (first < size) std::memcpy(data_->data(), src + first, size - first);
  return dsresult::Ok;
}

std::unique_ptr<DeviceBuffer> DeviceBuffer::Duplicate() {
  return std::unique_ptr<DeviceBuffer>(new DeviceBuffer(device_, format_, data_));
}

SoundDevice::SoundDevice() = default;
SoundDevice::~SoundDevice() = default;

std::unique_ptr<DeviceBuffer> SoundDevice::CreateBuffer(const PcmFormat& format, uint32_t bytes, int32_t& result) {
  bool goodFormat = (format.channels == 1 || format.channels == 2) && (format.bits == 8 || format.bits == 16) &&
                    format.rate >= 100 && format.rate <= 200000;
  if (!goodFormat) {
    result = dsresult::BadFormat;
    return nullptr;
  }
  // DirectSound's own limits: at least 4 bytes, at most 256 MiB, whole frames.
  if (bytes < 4 || bytes > (256u << 20) || bytes % format.BlockAlign() != 0) {
    result = dsresult::InvalidParam;
    return nullptr;
  }
  if (Lost()) {
    result = dsresult::BufferLost;
    return nullptr;
  }
  result = dsresult::Ok;
  auto data = std::make_shared<std::vector<uint8_t>>(bytes, format.bits == 8 ? uint8_t{0x80} : uint8_t{0});
  return std::unique_ptr<DeviceBuffer>(new DeviceBuffer(*this, format, std::move(data)));
}

void SoundDevice::StopAll() {
  std::lock_guard lock(mutex_);
  for (DeviceBuffer* b : buffers_) b->playing_ = false;
}

void SoundDevice::SetRecorder(std::unique_ptr<WavRecorder> recorder) {
  std::lock_guard lock(mutex_);
  recorder_ = std::move(recorder);
}

void SoundDevice::AddPoller(const void* key, std::function<void()> poll) {
  pollers_.emplace_back(key, std::move(poll));
}

void SoundDevice::RemovePoller(const void* key) {
  std::erase_if(pollers_, [key](const auto& p) { return p.first == key; });
}

void SoundDevice::AddRenderListener(const void* key, std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  renderListeners_.emplace_back(key, std::move(listener));
}

void SoundDevice::RemoveRenderListener(const void* key) {
  std::lock_guard lock(mutex_);
  std::erase_if(renderListeners_, [key](const auto& l) { return l.first == key; });
}

void SoundDevice::RunPollers() {
  // A poll may not add or remove pollers, so iterate over a snapshot of the count.
  for (size_t i = 0; i < pollers_.size(); ++i) pollers_[i].second();
}

namespace {

int32_t SampleAt(const uint8_t* data, const PcmFormat& f, uint64_t frame, int channel) {
  if (f.bits == 16) {
    int16_t s;
    std::memcpy(&s, data + frame * f.BlockAlign() + channel * 2, 2);
    return s;
  }
  return (static_cast<int32_t>(data[frame * f.BlockAlign() + channel]) - 128) << 8;
}

}  // namespace

void SoundDevice::Render(int16_t* out, uint32_t frameCount) {
  constexpr uint32_t kBlock = 1024;
  std::array<int32_t, kBlock * 2> acc;
  std::lock_guard lock(mutex_);
  for (uint32_t done = 0; done < frameCount;) {
    uint32_t n = std::min(kBlock, frameCount - done);
    std::fill_n(acc.begin(), n * 2, 0);
    for (DeviceBuffer* b : buffers_) {
      if (!b->playing_) continue;
      const PcmFormat& f = b->format_;
      const uint8_t* data = b->data_->data();
      uint64_t frames = b->data_->size() / f.BlockAlign();
      int right = f.channels == 2 ? 1 : 0;
      bool exact = b->step_ == (uint64_t{1} << 32);
      for (uint32_t i = 0; i < n; ++i) {
        uint64_t at = b->position_ >> 32;
        if (at >= frames) {
          if (!b->looping_) {
            b->playing_ = false;
            b->position_ = 0;
            break;
          }
          b->position_ -= frames << 32;
          at -= frames;
          b->laps_ += frames;
        }
        if (b->laps_ + at >= b->end_) {
          b->playing_ = false;
          b->position_ = 0;
          break;
        }
        int32_t l = SampleAt(data, f, at, 0);
        int32_t r = SampleAt(data, f, at, right);
        if (!exact) {
          // Linear interpolation toward the next frame (the first one again when looping).
          // The last frame before a fed buffer's end is held, as a one-shot buffer's last frame is.
          uint64_t next = at + 1 < frames ? at + 1 : (b->looping_ ? 0 : at);
          if (b->laps_ + at + 1 >= b->end_) next = at;
          int64_t frac = static_cast<int64_t>((b->position_ >> 16) & 0xFFFF);
          l += static_cast<int32_t>(((SampleAt(data, f, next, 0) - l) * frac) >> 16);
          r += static_cast<int32_t>(((SampleAt(data, f, next, right) - r) * frac) >> 16);
        }
        acc[i * 2] += l;
        acc[i * 2 + 1] += r;
        b->position_ += b->step_;
      }
    }
    int16_t* o = out + done * 2;
    for (uint32_t i = 0; i < n * 2; ++i) o[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
    if (recorder_) recorder_->Write(o, n);
    done += n;
  }
  for (const auto& [key, listener] : renderListeners_) listener();
}

}  // namespace mokuren
