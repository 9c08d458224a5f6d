// SDL (the sound device and gamepads of the windowed game), loaded with dlopen rather than by the dynamic
// loader at exec: the library and the two dozen it needs of its own are only mapped when the windowed game
// starts, and PrepareSdl has them mapped and SDL's audio and game controller subsystems started on a second
// thread while the window system starts on the first. The headless engine never loads it.
#pragma once

#include <cstdint>
#include <string>

#ifdef MOKUREN_HAVE_SDL
#include <SDL.h>
#endif

namespace mokuren {

// Starts loading SDL and its audio and game controller subsystems on a second thread; a second call does
// nothing, and so does a build without SDL. Where no thread can be started, the first user loads it.
void PrepareSdl();

#ifdef MOKUREN_HAVE_SDL

// The SDL functions the game calls, resolved from the loaded library.
struct SdlFunctions {
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_TLSCleanup) TLSCleanup;
  decltype(&SDL_GetError) GetError;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus;
  decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
  decltype(&SDL_PollEvent) PollEvent;
  decltype(&SDL_GameControllerOpen) GameControllerOpen;
  decltype(&SDL_GameControllerClose) GameControllerClose;
  decltype(&SDL_GameControllerGetJoystick) GameControllerGetJoystick;
  decltype(&SDL_GameControllerGetAxis) GameControllerGetAxis;
  decltype(&SDL_JoystickInstanceID) JoystickInstanceID;
};

// SDL's functions, loading the library on this thread unless PrepareSdl did: waits for that thread when it
// is still at work. Null when the library cannot be loaded or lacks one of them; `error` then says why.
const SdlFunctions* LoadSdl(std::string& error);

// True once LoadSdl would not wait: PrepareSdl's thread has finished, or was never started.
bool SdlReady();

// Starts the subsystem `flag` (SDL_INIT_AUDIO or SDL_INIT_GAMECONTROLLER) for a user who quits it with
// QuitSubSystem when done: the first call for each takes PrepareSdl's start of it, later ones start it
// again. False with SDL's message in `error` when it does not start (or SDL is not there).
bool StartSdlSubsystem(uint32_t flag, std::string& error);

#endif

}  // namespace mokuren
