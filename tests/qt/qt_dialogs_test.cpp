// The views of the name, settings and debug windows on Qt's offscreen platform, operated through their
// real widgets while the engine runs its passes, and the frame's scaling for full screen and dense screens.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSet>

#include "backends/qt/config_dialog.h"
#include "backends/qt/debug_window.h"
#include "backends/qt/name_dialog.h"
#include "base/save_block.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/TDebugForm.h"
#include "graphics/ABitmap.h"
#include "platform/speech_setting.h"
#include "qt/qt_fixture.h"
#include "text/TNameForm.h"

namespace mokuren::testing {
namespace {

using QtDialogs = QtFixture;

QStringList QLines(const std::vector<std::u16string>& lines) {
  QStringList out;
  for (const auto& l : lines) out << QString::fromStdU16String(l);
  return out;
}

void Commit(QWidget& target, const QString& preedit, const QString& commit) {
  QInputMethodEvent composing(preedit, {});
  QApplication::sendEvent(&target, &composing);
  QInputMethodEvent done;
  done.setCommitString(commit);
  QApplication::sendEvent(&target, &done);
}

TEST_F(QtDialogs, NameDialogTakesAnInputMethodCommitAndClosesOnlyOnAValidName) {
  QStringList texts;
  QString cut, composed, halfWidth, refused;
  bool stayed = false;
  BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①\"\nwait click\n"}}, {}, {}});
  Launch([&] {
    WhenUp([&] { return qt_->NameView() != nullptr; },
           [&] {
             NameDialog* d = qt_->NameView();
             texts = d->Texts();
             EXPECT_EQ(d->size(), QSize(310, 75));
             EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
             EXPECT_FALSE(d->windowFlags() & Qt::WindowCloseButtonHint);
             QLineEdit& edit = d->Edit();
             edit.setFocus();
             edit.end(false);
             // After カザミネ there is room for two more full-width characters of the twelve bytes.
             Commit(edit, "みなと", "ミナト");
             cut = edit.text();
             edit.selectAll();
             Commit(edit, "みなと", "ミナト");
             composed = edit.text();
             // Half-width letters are not taken, so the box never holds a name that 決定 refuses.
             edit.selectAll();
             Commit(edit, "", "ミナトabcd");
             halfWidth = edit.text();
             // Neither Escape nor the close command leaves the dialog.
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(d, &escape);
             d->close();
             stayed = d->isVisible();
             edit.setText("ミ①");
             d->Press(true);
             refused = d->findChildren<QLabel*>().front()->text();
             edit.setText("ミナト");
             d->Press(true);
           });
  });
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(texts,
            (QStringList{"その男の名前は・・・", "全角２文字以上　６文字以内で名前を入力してください", "カザミネ"}));
  EXPECT_EQ(cut, "カザミネミナ");
  EXPECT_EQ(composed, "ミナト");
  EXPECT_EQ(halfWidth, "ミナト");
  EXPECT_TRUE(stayed);
  EXPECT_EQ(refused, "① は名前に使用できません");
  EXPECT_EQ(MessageLines()[1], u"ミナト");
  EXPECT_EQ(qt_->NameView(), nullptr);
  // The game takes the next click and key again, with or without a window manager to hand them back.
  EXPECT_TRUE(RunUntil([&] { return qt_->Foreground() == WindowId::Main; }, 50));
}

TEST_F(QtDialogs, SettingsDialogShowsTheSettingsItsSlidersActAtOnceAndOkStoresTheRest) {
  // Settings a player chose before, kept in SAVE.DAT.
  StartEngine();
  CloseGame();
  std::string save = ReadFile(dir() / "SAVE.DAT");
  ASSERT_EQ(save.size(), sizeof(SaveBlock));
  SaveBlock& kept = *reinterpret_cast<SaveBlock*>(save.data());
  kept.EffectsOn = 0;
  kept.MessageSpeed = 1;
  kept.BgmVolume = 25;
  WriteFile(dir() / "SAVE.DAT", save);
  Launch();
  QTimer::singleShot(100, [&] {
    ConfigDialog* d = qt_->ConfigView();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Texts(), QLines(FormTexts(FormId::TConfigForm)));
    EXPECT_EQ(d->size(), QSize(394, 358));
    EXPECT_TRUE(d->Radio(TConfigForm::GrpEfOffRB).isChecked());
    EXPECT_TRUE(d->Radio(TConfigForm::ModeWinRB).isChecked());
    EXPECT_TRUE(d->Radio(TConfigForm::MsgFastRB).isChecked());
    EXPECT_EQ(d->Slider(TConfigForm::BgmVolBar).value(), 25);
    // Tab reaches every control: each group's checked choice, every slider, "ＯＫ".
    QSet<QWidget*> reached;
    for (int i = 0; i < 16; ++i) {
      QWidget* focus = QApplication::focusWidget();
      if (focus && d->isAncestorOf(focus)) reached.insert(focus);
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      QApplication::sendEvent(focus && d->isAncestorOf(focus) ? focus : d, &tab);
    }
    for (int s = 0; s < TConfigForm::SliderCount; ++s)
      EXPECT_TRUE(reached.contains(&d->Slider(static_cast<TConfigForm::Slider>(s)))) << "slider " << s;
    d->Slider(TConfigForm::BgmVolBar).setValue(0);
    EXPECT_EQ(Kept().BgmVolume, 0);
    d->Radio(TConfigForm::MsgSlowRB).click();
    d->Radio(TConfigForm::ModeFullRB).click();
    d->Slider(TConfigForm::MsgAutoBar).setValue(12);
    EXPECT_EQ(Kept().MessageSpeed, 1);  // not before OK
    EXPECT_FALSE(qt_->Main().isFullScreen());
    d->Press(true);
  });
  Menu(MenuItem::menuConfig);
  EXPECT_EQ(Kept().MessageSpeed, 3);
  EXPECT_EQ(Kept().AutoDelay, 12);
  EXPECT_EQ(Kept().FullScreen, 1);
  EXPECT_TRUE(qt_->Main().isFullScreen());
  EXPECT_EQ(qt_->ConfigView(), nullptr);
}

// What a screen reader (AT-SPI, through Qt's accessibility) is told of each dialog: its name and what it
// is for, and a name for every control the focus can reach.
void ExpectDescribed(QWidget& dialog, QStringList& unnamed) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&dialog);
  ASSERT_NE(a, nullptr);
  if (a->text(QAccessible::Name).isEmpty() || a->text(QAccessible::Description).isEmpty())
    unnamed << dialog.metaObject()->className();
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&dialog)) continue;
    QAccessibleInterface* c = QAccessible::queryAccessibleInterface(w);
    if (!c || c->text(QAccessible::Name).isEmpty())
      unnamed << QString(dialog.metaObject()->className()) + "/" + w->metaObject()->className();
  }
}

TEST_F(QtDialogs, EveryDialogAndEachOfItsControlsIsNamedForAScreenReader) {
  BuildTestGame(dir(), TestGame{{{1, "heroname\nsysmenu 1\nmsg \"①\"\n"}}, {}, {}});
  QStringList unnamed;
  Launch([&] {
    WhenUp([&] { return qt_->NameView() != nullptr; },
           [&] {
             ExpectDescribed(*qt_->NameView(), unnamed);
             qt_->NameView()->Press(true);
           });
  });
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  WhenUp([&] { return qt_->ConfigView() != nullptr; },
         [&] {
           ExpectDescribed(*qt_->ConfigView(), unnamed);
           qt_->ConfigView()->Press(true);
         });
  Menu(MenuItem::menuConfig);
  WhenUp([&] { return qt_->FrontView() != nullptr; },
         [&] {
           ExpectDescribed(*qt_->FrontView(), unnamed);
           PressLater("キャンセル");
         });
  Menu(MenuItem::menuTitle);
  qt_->OpenForm(FormId::TCommentForm);
  ExpectDescribed(*qt_->FrontView(), unnamed);
  qt_->CloseForm(FormId::TCommentForm);
  EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}

// The settings' "読み上げ" has the game read aloud from then on, and is kept for its next start.
TEST_F(QtDialogs, TheSpeechSwitchReadsAloudNowAndIsKept) {
  const TempDir config;
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  // A stand-in for speech-dispatcher's client.
  const std::filesystem::path bin = config.path() / "bin";
  std::filesystem::create_directories(bin);
  WriteFile(bin / "spd-say", "#!/bin/sh\nexec cat > /dev/null\n");
  std::filesystem::permissions(bin / "spd-say", std::filesystem::perms::owner_all);
  const std::string path = getenv("PATH");
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  BuildTestGame(dir(), TestGame{{{1, "sysmenu 1\nmsg \"一つ目\"\n"}}, {}, {}});
  Launch();
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_FALSE(qt_->host().SpeechOn());
  WhenUp([&] { return qt_->ConfigView() != nullptr; },
         [&] {
           qt_->ConfigView()->Speech().click();
           qt_->ConfigView()->Press(true);
         });
  Menu(MenuItem::menuConfig);
  const bool now = qt_->host().SpeechOn();
  Stop();
  const bool kept = ReadSpeechSetting();
  setenv("PATH", path.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_TRUE(now);
  EXPECT_TRUE(kept);
}

// A game played in English whose translation gives the settings dialog some of its texts.
class QtTranslatedDialogs : public QtFixture {
 protected:
  void SetUp() override {
    WriteMinimalGame(dir());
    std::filesystem::create_directories(dir() / "tl");
    WriteFile(dir() / "tl" / "en.po",
              "msgid \"\"\nmsgstr \"\"\n\"Language: en\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
              "\nmsgctxt \"engine\"\nmsgid \"環境設定\"\nmsgstr \"Settings\"\n"
              "\nmsgctxt \"engine\"\nmsgid \"画面エフェクト\"\nmsgstr \"Screen effects\"\n"
              "\nmsgctxt \"engine\"\nmsgid \"あり\"\nmsgstr \"On\"\n"
              "\nmsgctxt \"engine\"\nmsgid \"ＯＫ\"\nmsgstr \"OK\"\n");
    setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
    lang_ = "en";
    Launch();
  }
};

TEST_F(QtTranslatedDialogs, SettingsDialogWidgetsShowTheTranslationAndTheEnginesOwnEnglishForTheRest) {
  QStringList texts, buttons;
  QTimer::singleShot(100, [&] {
    ConfigDialog* d = qt_->ConfigView();
    ASSERT_NE(d, nullptr);
    texts = d->Texts().mid(0, 4);
    for (const QPushButton* b : d->findChildren<QPushButton*>()) buttons << b->text();
    d->Press(true);
  });
  Menu(MenuItem::menuConfig);
  EXPECT_EQ(texts, (QStringList{"Settings", "Screen effects", "On", "Off"}));
  EXPECT_EQ(buttons, QStringList{"OK"});
}

TEST_F(QtDialogs, DebugWindowFollowsTheEngineAndItsButtonsDump) {
  // In debug mode (its marker file) the debug window is up from the start.
  BuildTestGame(dir(), TestGame{{{1, "wait 300\nse 7\nse 8\nwait click\n"}}, {}, {}});
  WriteFile(dir() / "debugmode.txt", "");
  Launch();
  DebugWindow* w = qt_->DebugView();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "Debug Window : Mokuren Ver.0.88");
  EXPECT_EQ(w->size(), QSize(720, 220));
  EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
  QStringList captions;
  for (int b = 0; b < TDebugForm::ButtonCount; ++b) captions << w->Button(static_cast<TDebugForm::Button>(b)).text();
  EXPECT_EQ(captions, (QStringList{"FLG表示", "MSG履歴", "Album ON", "Album OFF", "Album RND", "RT"}));
  Passes(1);
  EXPECT_TRUE(w->Label1().text().startsWith("TC:8388865 NO:1 ")) << w->Label1().text().toStdString();
  EXPECT_EQ(w->Label2().text(), "BGM:0 SE1:0 SE2:0 SE3:0");
  // Sound effects that are missing are listed as they are reported.
  ASSERT_TRUE(RunUntilTask(task::WaitKey));
  Passes(1);
  EXPECT_TRUE(w->Memo2().toPlainText().endsWith(
      "script 1 step 1: Sound/S07.oggが見つかりません\nscript 1 step 2: Sound/S08.oggが見つかりません"))
      << w->Memo2().toPlainText().toStdString();
  w->Button(TDebugForm::Button6).click();
  EXPECT_EQ(w->Memo1().toPlainText(), "0 0\n0 0\n0 0\n0 0\n0 0\n0 0");
  w->Button(TDebugForm::Button3).click();
  EXPECT_EQ(Var('S', 300), 1);
}

// In debug mode the debug window opens beside the main window where the screen has room, and never over
// the main window's title bar.
class QtDebugWindow : public QtFixture {};

TEST_F(QtDebugWindow, OpensBesideTheMainWindowNotOverItsTitleBar) {
  WriteMinimalGame(dir_.path());
  WriteFile(dir_.path() / "debugmode.txt", "");
  Launch();
  QWidget& main = qt_->Main();
  DebugWindow* w = qt_->DebugView();
  ASSERT_NE(w, nullptr);
  const QRect frame = main.frameGeometry();
  const QRect titleBar(frame.topLeft(), QSize(frame.width(), std::max(1, main.geometry().top() - frame.top())));
  EXPECT_FALSE(w->frameGeometry().intersects(titleBar));
  // A smaller window leaves room: the debug window opens next to it.
  main.resize(400, 300);
  main.move(0, 0);
  qt_->SetFormVisible(FormId::TDebugForm, false);
  qt_->SetFormVisible(FormId::TDebugForm, true);
  EXPECT_FALSE(w->frameGeometry().intersects(main.frameGeometry()));
}

// A widget that shows a surface the way the main window shows the frame.
class Canvas : public QWidget {
 public:
  explicit Canvas(const TABitmap& s) : surface_(s) {}
  void paintEvent(QPaintEvent*) override { PaintSurface(*this, surface_); }

 private:
  const TABitmap& surface_;
};

TEST_F(QtDialogs, FrameScalesCrisplyByWholeFactorsSmoothlyOtherwiseAndPointsMapBack) {
  Start();
  TABitmap checker(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) std::fill_n(checker.ScanLine(y) + 4 * x, 3, (x + y) % 2 ? 255 : 0);
  Canvas canvas(checker);
  // Twice the size with two columns to spare: a black border, then each pixel a 2x2 square.
  canvas.resize(20, 12);
  QImage crisp = canvas.grab().toImage();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 18;
      const int expected = inside && ((x - 2) / 2 + y / 2) % 2 ? 255 : 0;
      ASSERT_EQ(crisp.pixelColor(x, y), QColor(expected, expected, expected)) << x << "," << y;
    }
  EXPECT_EQ(WidgetToFrame(canvas, QSize(8, 6), QPointF(7.5, 3.2)), (Point{2, 1}));
  EXPECT_EQ(WidgetToFrame(canvas, QSize(8, 6), FrameToWidget(canvas, QSize(8, 6), Point{7, 5})), (Point{7, 5}));
  // One and a half times: smooth, so some pixels fall between black and white.
  canvas.resize(12, 9);
  QImage smooth = canvas.grab().toImage();
  int grey = 0;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) grey += smooth.pixelColor(x, y).red() % 255 != 0;
  EXPECT_GT(grey, 0);
}

}  // namespace
}  // namespace mokuren::testing
