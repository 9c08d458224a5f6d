// The engine on the Qt backend, on Qt's offscreen platform, driven pass by pass.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/TForm1.h"
#include "backends/qt/qt_platform.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {

class QtFixture : public EngineFixture {
 protected:
  // Starts the engine on a game whose script 1 is `script` (the minimal game when empty) and runs the
  // first passes.
  void Start(const std::string& script = {}) {
    if (script.empty()) {
      WriteMinimalGame(dir());
    } else {
      BuildTestGame(dir(), TestGame{{{1, script}}, {}, {}});
    }
    Launch();
  }
  // Starts the engine on the game already in dir() as EngineFixture does, over the Qt backend;
  // `beforePasses` runs once the application exists.
  void Launch(const std::function<void()>& beforePasses = {}) {
    static int argc = 1;
    static char arg0[] = "mokuren";
    static char* argv[] = {arg0, nullptr};
    UseDesktopScreen();
    qt_ = std::make_unique<QtPlatform>(argc, argv);
    if (rememberWindow_) qt_->RememberWindowIn(dir(), true);
    LaunchOptions options;
    options.lang = lang_;
    EngineFixture::Launch(*qt_, options);
    if (beforePasses) beforePasses();
    Passes(3);
  }
  // Ends the engine and its backend, so that a test may launch them again.
  void Stop() {
    watch_.reset();
    form_.reset();
    qt_.reset();
  }
  // The offscreen platform's one screen is 800x600 unless told otherwise; a desktop's is larger, so that
  // a window made larger than the frame still lies on it.
  static void UseDesktopScreen() {
    const char* qpa = std::getenv("QT_QPA_PLATFORM");
    if (!qpa || std::string(qpa) != "offscreen") return;
    static const TempDir config;
    const std::filesystem::path file = config.path() / "screen.json";
    std::ofstream(file) << R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1200,)"
                           R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file.string()).c_str(), 1);
  }
  void TearDown() override { Stop(); }
  // Presses the button with this caption in the dialog in front, a little later.
  void PressLater(const QString& caption) {
    QTimer::singleShot(200, [caption] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        for (QPushButton* b : w->findChildren<QPushButton*>())
          if (b->text() == caption) b->click();
      }
    });
  }

  // Runs `action` once `up` holds, looking every 20 ms from whichever event loop runs (a modal window's
  // too), so that a test acting on a window the engine opens during its passes does not race them on a
  // busy machine. One watch at a time; `action` must not start another.
  void WhenUp(std::function<bool()> up, std::function<void()> action) {
    watch_ = std::make_unique<QTimer>();
    QObject::connect(watch_.get(), &QTimer::timeout, [this, up = std::move(up), action = std::move(action)] {
      if (!up()) return;
      watch_->stop();
      action();
    });
    watch_->start(20);
  }

  // Launch keeps the main window's place for the game and starts it where it was left, as the program does.
  bool rememberWindow_ = false;
  // The --lang the game is played in (its original when empty).
  std::string lang_;
  std::unique_ptr<QtPlatform> qt_;
  std::unique_ptr<QTimer> watch_;
};

}  // namespace mokuren::testing
