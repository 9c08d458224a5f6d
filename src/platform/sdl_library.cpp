#include "platform/sdl_library.h"

#ifdef MOKUREN_HAVE_SDL

#include <dlfcn.h>

#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <system_error>

namespace mokuren {

namespace {

// What loading gave, and the subsystems started with it that no user has taken yet.
struct SdlStart {
  SdlFunctions functions{};
  bool loaded = false;
  std::string error;  // why the library did not load
  struct Subsystem {
    uint32_t flag;
    bool pending = false;  // started here (or tried) and not yet taken
    bool ok = false;
    std::string error;  // SDL's message when it did not start
  };
  Subsystem audio{SDL_INIT_AUDIO, false, false, {}};
  Subsystem gamepads{SDL_INIT_GAMECONTROLLER, false, false, {}};
};

template <typename F>
bool Resolve(void* library, const char* name, F& function, std::string& error) {
  function = reinterpret_cast<F>(dlsym(library, name));
  if (function == nullptr && error.empty()) error = std::string("SDL has no ") + name;
  return function != nullptr;
}

SdlStart Load(bool startSubsystems) {
  SdlStart start;
  // Kept loaded for the process's life: SDL's own threads may run until exit.
  void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    start.error = std::string("SDL could not be loaded: ") + (why ? why : "libSDL2-2.0.so.0");
    return start;
  }
  SdlFunctions& f = start.functions;
  bool all = Resolve(library, "SDL_SetHint", f.SetHint, start.error);
  all &= Resolve(library, "SDL_InitSubSystem", f.InitSubSystem, start.error);
  all &= Resolve(library, "SDL_QuitSubSystem", f.QuitSubSystem, start.error);
  all &= Resolve(library, "SDL_TLSCleanup", f.TLSCleanup, start.error);
  all &= Resolve(library, "SDL_GetError", f.GetError, start.error);
  all &= Resolve(library, "SDL_OpenAudioDevice", f.OpenAudioDevice, start.error);
  all &= Resolve(library, "SDL_CloseAudioDevice", f.CloseAudioDevice, start.error);
  all &= Resolve(library, "SDL_PauseAudioDevice", f.PauseAudioDevice, start.error);
  all &= Resolve(library, "SDL_GetAudioDeviceStatus", f.GetAudioDeviceStatus, start.error);
  all &= Resolve(library, "SDL_GetCurrentAudioDriver", f.GetCurrentAudioDriver, start.error);
  all &= Resolve(library, "SDL_PollEvent", f.PollEvent, start.error);
  all &= Resolve(library, "SDL_GameControllerOpen", f.GameControllerOpen, start.error);
  all &= Resolve(library, "SDL_GameControllerClose", f.GameControllerClose, start.error);
  all &= Resolve(library, "SDL_GameControllerGetJoystick", f.GameControllerGetJoystick, start.error);
  all &= Resolve(library, "SDL_GameControllerGetAxis", f.GameControllerGetAxis, start.error);
  all &= Resolve(library, "SDL_JoystickInstanceID", f.JoystickInstanceID, start.error);
  if (!all) return start;
  start.loaded = true;
  // The game's own handlers of SIGTERM and SIGINT stay in place.
  f.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (startSubsystems) {
    // SDL's error message is the calling thread's: each start keeps its own for the user who takes it.
    for (SdlStart::Subsystem* s : {&start.audio, &start.gamepads}) {
      s->pending = true;
      s->ok = f.InitSubSystem(s->flag) == 0;
      if (!s->ok) s->error = f.GetError();
    }
  }
  return start;
}

std::mutex startMutex;
std::future<SdlStart> preparing;  // PrepareSdl's thread, until LoadSdl takes what it gave
std::optional<SdlStart> started;

// With startMutex held: the start, waiting for PrepareSdl's thread or loading here.
SdlStart& Started() {
  if (!started) started = preparing.valid() ? preparing.get() : Load(false);
  return *started;
}

// Subsystems started ahead and never taken (a run without a gamepad's first pass, a test of the sound
// device alone) are quit at exit, before the statics above go.
struct QuitUntaken {
  QuitUntaken() = default;
  QuitUntaken(const QuitUntaken&) = delete;
  QuitUntaken& operator=(const QuitUntaken&) = delete;
  ~QuitUntaken() {
    std::lock_guard lock(startMutex);
    if (!started && !preparing.valid()) return;
    SdlStart& start = Started();
    if (!start.loaded) return;
    for (SdlStart::Subsystem* s : {&start.audio, &start.gamepads}) {
      if (s->pending && s->ok) start.functions.QuitSubSystem(s->flag);
      s->pending = false;
    }
  }
} quitUntaken;

}  // namespace

void PrepareSdl() {
  std::lock_guard lock(startMutex);
  if (started || preparing.valid()) return;
  try {
    preparing = std::async(std::launch::async, [] {
      SdlStart start = Load(true);
      // What SDL keeps for this thread (its error message) is freed before the thread ends: SDL frees it by
      // itself only for threads of its own.
      if (start.loaded) start.functions.TLSCleanup();
      return start;
    });
  } catch (const std::system_error&) {
  }
}

const SdlFunctions* LoadSdl(std::string& error) {
  std::lock_guard lock(startMutex);
  SdlStart& start = Started();
  if (!start.loaded) {
    error = start.error;
    return nullptr;
  }
  return &start.functions;
}

bool SdlReady() {
  std::lock_guard lock(startMutex);
  return started || !preparing.valid() || preparing.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool StartSdlSubsystem(uint32_t flag, std::string& error) {
  std::lock_guard lock(startMutex);
  SdlStart& start = Started();
  if (!start.loaded) {
    error = start.error;
    return false;
  }
  for (SdlStart::Subsystem* s : {&start.audio, &start.gamepads}) {
    if (s->flag != flag || !s->pending) continue;
    s->pending = false;
    error = s->error;
    return s->ok;
  }
  if (start.functions.InitSubSystem(flag) == 0) return true;
  error = start.functions.GetError();
  return false;
}

}  // namespace mokuren

#else

namespace mokuren {

void PrepareSdl() {}

}  // namespace mokuren

#endif
