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
#include "platform/qt/qt_platform.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {

class QtFixture : public ::testing::Test {
 protected:
  // Starts the engine on a game whose script 1 is `script` (the minimal game when empty) and runs the
  // first passes.
  void Start(const std::string& script = {}) {
    if (script.empty()) {
      WriteMinimalGame(dir_.path());
    } else {
      BuildTestGame(dir_.path(), TestGame{{{1, script}}, {}, {}});
    }
    Launch();
  }
  // Starts the engine on the game already in dir(); `beforePasses` runs once the application exists.
  void Launch(const std::function<void()>& beforePasses = {}) {
    static int argc = 1;
    static char arg0[] = "mokuren";
    static char* argv[] = {arg0, nullptr};
    UseDesktopScreen();
    platform_ = std::make_unique<QtPlatform>(argc, argv);
    LaunchOptions options;
    options.gameDir = dir_.path().string();
    options.lang = lang_;
    if (rememberWindow_) platform_->RememberWindowIn(dir_.path(), true);
    form_ = std::make_unique<TForm1>(*platform_, options);
    platform_->Attach(*form_);
    ASSERT_TRUE(form_->FormCreate());
    form_->StartLoopClock();
    if (beforePasses) beforePasses();
    for (int i = 0; i < 3; ++i) form_->IdleEvent();
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
  void TearDown() override {
    form_.reset();
    platform_.reset();
  }
  // Runs passes until `done` holds, at most `limit`; false when it never did.
  template <typename Done>
  bool RunUntil(Done done, int limit = 3000) {
    for (int i = 0; i < limit && !done(); ++i) form_->IdleEvent();
    return done();
  }
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

  TempDir dir_;
  // Launch keeps the main window's place for the game and starts it where it was left, as the program does.
  bool rememberWindow_ = false;
  // The --lang the game is played in (its original when empty).
  std::string lang_;
  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace mokuren::testing
