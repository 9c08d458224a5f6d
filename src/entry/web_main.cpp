// The page's program: the engine on the game the page bundles (/game), with the browser backend, in a
// worker of the page (the page itself only shows what the engine paints and forwards the player's input).
// Passes run from timers, one per 10 ms of the clock that has gone by (a few at most when the worker was
// held up); while the engine only waits for the player until its next frame, or holds a wait, no timer
// fires before then unless input comes.
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <sys/stat.h>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/TForm1.h"
#include "app/launch_options.h"
#include "backends/web/web_platform.h"
#include "base/text_codec.h"
#include "save/save_data.h"
#include "text/game_translation.h"

namespace {

constexpr uint32_t kPassInterval = 10;
constexpr int kMostPassesPerFrame = 8;

struct Game {
  mokuren::WebPlatform platform;
  std::unique_ptr<mokuren::TForm1> form;
  mokuren::LaunchOptions options;
  uint32_t nextPass = 0;
  long timer = 0;
  bool ended = false;
};

Game* game = nullptr;

void Schedule();

void Passes(void*) {
  game->timer = 0;
  if (game->ended) return;
  mokuren::WebPlatform& platform = game->platform;
  const uint32_t now = platform.TickCount();
  if (static_cast<int32_t>(now - platform.HoldUntil()) >= 0) {
    if (static_cast<int32_t>(now - game->nextPass) > static_cast<int32_t>(kPassInterval * kMostPassesPerFrame))
      game->nextPass = now;
    // Input that came while the engine rested is taken by the first pass at once.
    if (platform.InputWaiting() && static_cast<int32_t>(now - game->nextPass) < 0) game->nextPass = now;
    for (int n = 0; n < kMostPassesPerFrame && static_cast<int32_t>(now - game->nextPass) >= 0; ++n) {
      game->form->Pass();
      game->nextPass += kPassInterval;
      if (game->form->Terminated() || static_cast<int32_t>(platform.TickCount() - platform.HoldUntil()) < 0) break;
    }
    platform.SendMenuChanges();
  }
  if (game->form->Terminated()) {
    game->ended = true;
    game->form->FormDestroy();
    EM_ASM({
      if (Module.mokuren) Module.mokuren.ended();
    });
    return;
  }
  Schedule();
}

void Schedule() {
  if (game->timer || game->ended) return;
  mokuren::WebPlatform& platform = game->platform;
  const uint32_t now = platform.TickCount();
  // Resting: a wait the engine asked for, or nothing to do before its next frame unless input comes.
  uint32_t until = game->nextPass;
  if (static_cast<int32_t>(platform.HoldUntil() - until) > 0) until = platform.HoldUntil();
  if (const auto quiet = platform.QuietUntil(); quiet && static_cast<int32_t>(*quiet - until) > 0) until = *quiet;
  if (platform.InputWaiting() && static_cast<int32_t>(platform.HoldUntil() - now) <= 0) until = now;
  const int32_t wait = static_cast<int32_t>(until - now);
  game->timer = emscripten_set_timeout(Passes, wait > 0 ? wait : 0, nullptr);
}

}  // namespace

extern "C" {

// The page's input, delivered to the engine at its next rest.
EMSCRIPTEN_KEEPALIVE void mokuren_input(int kind, int a, int b, int c) {
  if (!game) return;
  game->platform.Receive({static_cast<mokuren::WebInput::Kind>(kind), a, b, c, {}});
  if (game->timer) {
    emscripten_clear_timeout(game->timer);
    game->timer = 0;
  }
  Schedule();
}

EMSCRIPTEN_KEEPALIVE void mokuren_debug_button(int button) {
  mokuren_input(static_cast<int>(mokuren::WebInput::Kind::DebugButton), button, 0, 0);
}

// Where SAVE.DAT is kept (the page's export reads it), empty before the engine has started.
EMSCRIPTEN_KEEPALIVE const char* mokuren_save_file() {
  static std::string path;
  path = game && game->form ? game->form->Save().SaveFilePath().string() : std::string();
  return path.c_str();
}

// The page's import: the file the player chose replaces SAVE.DAT, or is refused with the reason (UTF-8;
// empty when it was taken). Once it is taken the engine stops, so nothing of the old session is written
// after it, and the page reloads on the new saves.
EMSCRIPTEN_KEEPALIVE const char* mokuren_import_saves(const uint8_t* bytes, int size) {
  static std::string answer;
  if (!game || !game->form || game->ended || size < 0) {
    answer = "ゲームが動いていません";
    return answer.c_str();
  }
  answer = mokuren::ToUtf8(game->form->Save().ImportSaveFile({bytes, static_cast<size_t>(size)}));
  if (answer.empty()) game->ended = true;
  return answer.c_str();
}

// The page is going to the background, where the browser may end it without a word: SAVE.DAT is written as
// a quit writes it (progress, read marks, settings and the album, not only the saved games), and synced.
EMSCRIPTEN_KEEPALIVE void mokuren_persist() {
  if (game && game->form && !game->ended) game->form->Save().Kumo_CreateSaveFile();
}

EMSCRIPTEN_KEEPALIVE void mokuren_dialog_answer(int form, int ok, const char* utf8) {
  if (!game) return;
  game->platform.Receive({mokuren::WebInput::Kind::DialogAnswer, form, ok, 0, mokuren::FromUtf8(utf8)});
  mokuren_input(static_cast<int>(mokuren::WebInput::Kind::MouseMove), -1, -1, 0);
}

}  // extern "C"

int main(int argc, char** argv) {
  // The bundled game (/game), or the folder the player opened in the page (its argument). Either is
  // read-only, so saves go to the player's data folder, which the page keeps in IndexedDB (XDG_DATA_HOME,
  // set by web_page.js), one folder per game.
  const char* dir = argc > 1 ? argv[1] : "/game";
  chmod(dir, 0555);
  // Every message and choice shown also goes to the page's line for screen readers (a device of the
  // worker's file system, web_worker.js), as the desktop's text hook gives them to a reader.
  struct stat hook {};
  const bool reader = stat("/dev/mokuren-text", &hook) == 0;
  const char* args[] = {"mokuren", dir, "--text-hook", "/dev/mokuren-text"};
  mokuren::ParseResult parsed = mokuren::ParseCommandLine(reader ? 4 : 2, args);
  game = new Game;
  game->options = parsed.options;
  // The player's language as the page sets it (LANGUAGE, from ?lang= or the browser's languages).
  game->options.environmentLanguages = mokuren::EnvironmentLanguages(std::getenv("LANGUAGE"), std::getenv("LANG"));
  game->form = std::make_unique<mokuren::TForm1>(game->platform, game->options);
  game->platform.Attach(*game->form);
  std::string error;
  if (!game->form->OpenTextReaders(error)) {
    game->platform.FatalMessage(error);
    return 2;
  }
  if (!game->form->FormCreate()) return 2;
  game->form->StartLoopClock();
  game->platform.LoopStarts();
  game->nextPass = game->platform.TickCount();
  Schedule();
  emscripten_exit_with_live_runtime();
  return 0;
}
