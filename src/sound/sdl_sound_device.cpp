// The windowed game's sound device: SDL audio (its audio subsystem only) at 44100 Hz, 16-bit stereo.
// SDL's callback thread mixes the playing buffers; SDL converts to whatever the hardware wants. SDL is
// loaded when the device first opens (see platform/sdl_library.h).
#include "sound/sound_device.h"

#include "platform/sdl_library.h"

namespace mokuren {

#ifdef MOKUREN_HAVE_SDL

namespace {

class SdlSoundDevice final : public SoundDevice {
 public:
  ~SdlSoundDevice() override { Close(); }

  bool Open() override {
    std::string why;
    if (!StartSdlSubsystem(SDL_INIT_AUDIO, why)) {
      error_ = "SDL audio: " + why;
      return false;
    }
    sdl_ = LoadSdl(why);
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kDeviceRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    // Larger chunks wake the callback thread less often; the mixer works a half-buffer ahead anyway.
    want.samples = 4096;
    want.callback = &SdlSoundDevice::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = sdl_->OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      const char* driver = sdl_->GetCurrentAudioDriver();
      error_ =
          std::string("SDL audio, the default device of ") + (driver ? driver : "no driver") + ": " + sdl_->GetError();
      Close();
      return false;
    }
    writeLead_ = have.samples;
    sdl_->PauseAudioDevice(device_, 0);
    return true;
  }
  bool IsOpen() const override { return device_ != 0; }
  std::string OpenError() const override { return error_; }
  bool RealTime() const override { return true; }
  bool Lost() const override { return device_ != 0 && sdl_->GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED; }

 private:
  static void Callback(void* self, Uint8* stream, int len) {
    static_cast<SdlSoundDevice*>(self)->Render(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(len) / 4);
  }
  void Close() {
    if (device_ != 0) sdl_->CloseAudioDevice(device_);
    device_ = 0;
    if (subsystem_) sdl_->QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
  }

  const SdlFunctions* sdl_ = nullptr;  // there once the subsystem started
  SDL_AudioDeviceID device_ = 0;
  bool subsystem_ = false;
  std::string error_;
};

}  // namespace

std::unique_ptr<SoundDevice> MakeSdlSoundDevice() { return std::make_unique<SdlSoundDevice>(); }

#else

namespace {
// Built without SDL: there is never a device, and the game runs silent.
class NoSoundDevice final : public SoundDevice {
 public:
  bool Open() override { return false; }
  bool IsOpen() const override { return false; }
  std::string OpenError() const override { return "this build has no sound device (built without SDL)"; }
  bool RealTime() const override { return true; }
};
}  // namespace

std::unique_ptr<SoundDevice> MakeSdlSoundDevice() { return std::make_unique<NoSoundDevice>(); }

#endif

}  // namespace mokuren
