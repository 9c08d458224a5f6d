// The dialogs in every language the engine ships its own texts in, on Qt's offscreen platform: the game
// picker, the settings, the quit question and the name dialog with a name of the language, each with every
// text whole (nothing cut at an edge) and letters at their own width (not a Japanese face's full-width
// forms, which read letter-spaced). A screenshot of each is written to build/dialog-screenshots/ for a
// reader to look at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

#include "backends/qt/config_dialog.h"
#include "backends/qt/dialog_style.h"
#include "backends/qt/game_picker.h"
#include "backends/qt/name_dialog.h"
#include "backends/qt/qt_windows.h"
#include "platform/game_files.h"
#include "qt/qt_fixture.h"
#include "text/engine_translation.h"

namespace mokuren::testing {
namespace {

struct Language {
  const char* code;
  const char* name;  // a name of the language, typed into the name dialog
};

const Language kLanguages[] = {{"en", "Ken Walker"}, {"ru", "Анна-Мария"}, {"zh_CN", "李小龙"}, {"ko", "김민준"},
                               {"es", "José Luis"},  {"fr", "Élodie"},     {"de", "Jürgen"}};

// What is wrong with the texts of a window, one line each: a text cut at an edge (a label squeezed below
// its line's height too), or drawn letter-spaced.
QStringList Problems(QWidget& window, bool cjk) {
  QStringList problems;
  const auto check = [&](QWidget* w, const QString& text, int room) {
    if (text.isEmpty() || !w->isVisible()) return;
    const QFontMetrics metrics(w->font());
    if (metrics.horizontalAdvance(text) > room) problems << "cut: " + text;
    // A Japanese face draws a Latin or Cyrillic letter as wide as the face is high.
    if (!cjk && metrics.horizontalAdvance(text) >= text.size() * metrics.height() * 3 / 4)
      problems << "letter-spaced: " + text;
  };
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->wordWrap()) {
      if (label->heightForWidth(label->width()) > label->height()) problems << "cut: " + label->text();
      continue;
    }
    if (label->isVisible() && label->height() < label->sizeHint().height()) problems << "cut: " + label->text();
    check(label, label->text(), label->contentsRect().width());
  }
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    // A radio button's text stands after its indicator.
    const int indicator =
        qobject_cast<QRadioButton*>(button)
            ? button->sizeHint().width() - QFontMetrics(button->font()).horizontalAdvance(button->text())
            : 6;
    check(button, button->text(), button->width() - indicator);
  }
  for (QGroupBox* group : window.findChildren<QGroupBox*>()) check(group, group->title(), group->width() - 12);
  return problems;
}

std::filesystem::path Screenshot(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(MOKUREN_BIN_DIR) / "dialog-screenshots";
  std::filesystem::create_directories(dir);
  return dir / (name + ".png");
}

class QtLanguages : public QtFixture, public ::testing::WithParamInterface<Language> {
 protected:
  // A game played in the language: an empty translation of its own, the engine's texts shipped.
  void SetUp() override {
    BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①\"\nwait click\n"}}, {}, {}});
    std::filesystem::create_directories(dir() / "tl");
    WriteFile(dir() / "tl" / (std::string(GetParam().code) + ".po"),
              "msgid \"\"\nmsgstr \"\"\n\"Language: " + std::string(GetParam().code) +
                  "\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n");
    setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
    lang_ = GetParam().code;
  }
  bool Cjk() const { return lang_ == "zh_CN" || lang_ == "ko"; }
  // Checks the window and writes its screenshot.
  void Look(QWidget& window, const std::string& what) {
    EXPECT_EQ(Problems(window, Cjk()).join('\n').toStdString(), "") << what;
    window.grab().save(QString::fromStdString(Screenshot(lang_ + "-" + what).string()));
  }
};

TEST_P(QtLanguages, EveryDialogShowsItsTextsWholeInAFaceOfTheLanguage) {
  bool named = false;
  Launch([&] {
    WhenUp([&] { return qt_->NameView() != nullptr; },
           [&] {
             NameDialog* d = qt_->NameView();
             QLineEdit& edit = d->Edit();
             edit.setFocus();
             edit.selectAll();
             // Typed as an input method commits it.
             QInputMethodEvent typed;
             typed.setCommitString(QString::fromUtf8(GetParam().name));
             QApplication::sendEvent(&edit, &typed);
             Look(*d, "name");
             d->Press(true);
             named = true;
           });
  });
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_TRUE(named);
  EXPECT_EQ(HeroName(), QString::fromUtf8(GetParam().name).toStdU16String());

  QTimer::singleShot(100, [&] {
    ASSERT_NE(qt_->ConfigView(), nullptr);
    Look(*qt_->ConfigView(), "settings");
    qt_->ConfigView()->Press(true);
  });
  Menu(MenuItem::menuConfig);

  // The quit question, answered no.
  bool asked = false;
  QTimer::singleShot(100, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QueryDialog*>(w); d && d->isVisible()) {
        Look(*d, "quit");
        d->Press(false);
        asked = true;
      }
  });
  Menu(MenuItem::menuQuit);
  EXPECT_TRUE(asked);
}

TEST_P(QtLanguages, TheGamePickerShowsItsTextsWholeInAFaceOfTheLanguage) {
  static int argc = 1;
  static char arg0[] = "mokuren";
  static char* argv[] = {arg0, nullptr};
  qt_ = std::make_unique<QtPlatform>(argc, argv);
  EngineTranslation texts;
  std::vector<std::string> problems;
  ASSERT_TRUE(texts.Load(EngineTranslationFile(EngineTranslationsDir(ExecutableDirectory()), lang_, {}), problems));
  qt_->UseLanguage(lang_);
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
        Look(*dialog, "picker");
        dialog->reject();
      }
  });
  watch.start(50);
  EXPECT_FALSE(
      PickGame({{"/games/mokuren", "木蓮"}}, [&](std::u16string_view original) { return texts.Translate(original); }));
}

INSTANTIATE_TEST_SUITE_P(Shipped, QtLanguages, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.code); });

}  // namespace
}  // namespace mokuren::testing
