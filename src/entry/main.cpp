// Process entry: the command line, the single-instance guard, the backend, the engine.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "app/TForm1.h"
#include "app/game_title.h"
#include "app/launch_options.h"
#include "backends/headless/headless_platform.h"
#include "base/startup_message.h"
#include "base/text_codec.h"
#include "platform/game_files.h"
#include "platform/instance_guard.h"
#include "platform/quit_signals.h"
#include "platform/recent_games.h"
#include "platform/sdl_library.h"
#include "text/engine_translation.h"
#include "text/font_match.h"
#include "text/game_translation.h"
#ifdef MOKUREN_HAVE_QT
#include "backends/qt/game_picker.h"
#include "backends/qt/qt_platform.h"
#endif

namespace {

int RunEngine(mokuren::Platform& platform, const mokuren::LaunchOptions& options) {
  mokuren::TForm1 form(platform, options);
  platform.Attach(form);
  std::string error;
  if (!form.automation().LoadEvents(error) || !mokuren::CheckOutputFiles(options, error) ||
      !form.automation().StartRecording(error) || !form.OpenTextReaders(error)) {
    std::cerr << "mokuren: " << error << '\n';
    return 2;
  }
  if (!form.FormCreate()) return 2;
  return form.Run();
}

}  // namespace

int main(int argc, char** argv) {
  mokuren::InstallQuitSignals();
  mokuren::ParseResult parsed = mokuren::ParseCommandLine(argc, argv);
  if (!parsed.error.empty()) {
    std::cerr << "mokuren: " << parsed.error << '\n' << mokuren::UsageText();
    return 2;
  }
  std::error_code ec;
  mokuren::ResolveFilesAgainst(parsed.options, std::filesystem::current_path(ec).string());
  if (parsed.options.lang.empty())
    parsed.options.environmentLanguages = mokuren::EnvironmentLanguages(std::getenv("LANGUAGE"), std::getenv("LANG"));
  const mokuren::LaunchOptions& options = parsed.options;
  if (options.help) {
    std::cout << mokuren::UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "Mokuren " << MOKUREN_VERSION << '\n';
    return 0;
  }
  if (options.headless) {
    mokuren::HeadlessPlatform platform;
    return RunEngine(platform, options);
  }
#ifdef MOKUREN_HAVE_QT
  std::filesystem::path gameDir =
      options.gameDir.empty() ? mokuren::ExecutableDirectory() : std::filesystem::path(options.gameDir);
  mokuren::LaunchOptions launch = options;
  // The fonts' configuration is read, and SDL loaded and its sound and gamepads started, while the window
  // system is started.
  mokuren::PrepareFontMatching();
  mokuren::PrepareSdl();
  std::optional<mokuren::QtPlatform> platform;
  // The engine's own texts in the player's language, read only when the picker or a message needs them.
  mokuren::EngineTextsOnDemand engineTexts(
      mokuren::ExecutableDirectory(), options.lang, options.environmentLanguages,
      [](const std::string& problem) { std::cerr << "mokuren: " << problem << '\n'; });
  // Started without a game (from the desktop's menu): the player picks one, or one opened before.
  // Qt's own words (the folder picker's buttons) in the language of the engine's texts.
  const std::filesystem::path engineTranslation = mokuren::EngineTranslationFile(
      mokuren::EngineTranslationsDir(mokuren::ExecutableDirectory()), options.lang, options.environmentLanguages);
  const std::string qtLanguage = engineTranslation.empty() ? "ja" : engineTranslation.stem().string();
  if (options.gameDir.empty() && !mokuren::HoldsGame(gameDir)) {
    platform.emplace(argc, argv);
    platform->UseLanguage(qtLanguage);
    std::vector<mokuren::RecentGame> recent;
    for (std::filesystem::path& dir : mokuren::ReadRecentGames(mokuren::RecentGamesFile()))
      recent.push_back({dir, mokuren::ToUtf8(mokuren::ReadGameTitle(dir).text)});
    // The picker comes before any game and its translation: the engine's own, in the player's language.
    const std::optional<std::filesystem::path> picked =
        mokuren::PickGame(recent, [&](std::u16string_view original) { return engineTexts.Translate(original); });
    if (!picked) return 0;
    gameDir = *picked;
    launch.gameDir = gameDir.string();
  }
  // A second windowed start of the same game shows the running one and ends. Headless runs take no lock:
  // tests and scripts run side by side on one game.
  mokuren::InstanceGuard guard(gameDir);
  if (!guard.Acquire()) {
    mokuren::PrintFatalMessage(mokuren::StartupMessage(engineTexts.Translator(), mokuren::startup_text::kAlreadyRunning,
                                                       {{u"dir", mokuren::FromUtf8(gameDir.string())}}));
    return 0;
  }
  if (!platform) {
    platform.emplace(argc, argv);
    platform->UseLanguage(qtLanguage);
  }
  platform->SetWindowScale(launch.scale);
  platform->RememberWindowIn(gameDir, !launch.scaleGiven);
  platform->WatchRaiseRequests(guard);
  if (mokuren::HoldsGame(gameDir)) {
    std::error_code absolute;
    mokuren::RememberGame(mokuren::RecentGamesFile(), std::filesystem::absolute(gameDir, absolute));
  }
  return RunEngine(*platform, launch);
#else
  std::cerr << "mokuren: this build has no window backend; run it with --headless\n";
  return 2;
#endif
}
