// The Qt backend on Qt's offscreen platform with an engine on the minimal game, a few passes in.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "app/TForm1.h"
#include "platform/qt/qt_platform.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {

class QtBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMinimalGame(dir_.path());
    static int argc = 1;
    static char arg0[] = "mokuren";
    static char* argv[] = {arg0, nullptr};
    platform_ = std::make_unique<QtPlatform>(argc, argv);
    LaunchOptions options;
    options.gameDir = dir_.path().string();
    form_ = std::make_unique<TForm1>(*platform_, options);
    platform_->Attach(*form_);
    ASSERT_TRUE(form_->FormCreate());
    form_->StartLoopClock();
    for (int i = 0; i < 3; ++i) form_->IdleEvent();
  }
  void TearDown() override {
    form_.reset();
    platform_.reset();
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
  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace mokuren::testing
