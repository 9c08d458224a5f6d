// Process entry: the command line, the single-instance guard, the backend, the engine.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/TForm1.h"
#include "app/launch_options.h"
#include "platform/headless/headless_platform.h"
#include "platform/instance_guard.h"
#include "platform/quit_signals.h"
#include "text/game_translation.h"
#ifdef MOKUREN_HAVE_QT
#include "platform/qt/qt_platform.h"
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
  // A second windowed instance ends at once, without a message.
  mokuren::InstanceGuard guard;
  if (!guard.Acquire()) return 0;
  mokuren::QtPlatform platform(argc, argv);
  platform.SetWindowScale(options.scale);
  return RunEngine(platform, options);
#else
  std::cerr << "mokuren: this build has no window backend; run it with --headless\n";
  return 2;
#endif
}
