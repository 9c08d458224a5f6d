#include "platform/qt/qt_platform.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <thread>

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"
#include "platform/qt/qt_windows.h"
#include "text/text_codec.h"

namespace mokuren {

namespace {

QString Q(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

struct MenuEntry {
  MenuItem item;
  const char16_t* caption;
  bool separatorBefore;
};

// The popup menu, in order, with its separators.
constexpr MenuEntry kMenu[] = {
    {MenuItem::menuKSkip, u"既読スキップ", false},
    {MenuItem::menuSSkip, u"シーンスキップ", false},
    {MenuItem::menuAuto, u"自動進行", false},
    {MenuItem::menuWindow, u"ウィンドウ消去", true},
    {MenuItem::menuFloat, u"ウィンドウフロート化", false},
    {MenuItem::menuSave, u"セーブ", true},
    {MenuItem::menuLoad, u"ロード", false},
    {MenuItem::menuConfig, u"環境設定", true},
    {MenuItem::menuTitle, u"タイトルに戻る", true},
    {MenuItem::menuQuit, u"ゲーム終了", false},
};

}  // namespace

bool EngineKey(int qtKey, Key& key) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: key = Key::Enter; return true;
    case Qt::Key_Space: key = Key::Space; return true;
    case Qt::Key_PageUp: key = Key::PageUp; return true;
    case Qt::Key_PageDown: key = Key::PageDown; return true;
    case Qt::Key_F1: key = Key::F1; return true;
    case Qt::Key_F2: key = Key::F2; return true;
    case Qt::Key_Control: key = Key::Ctrl; return true;
    default: return false;
  }
}

QtPlatform::QtPlatform(int& argc, char** argv) : app_(argc, argv) {
  QApplication::setApplicationName("Mokuren");
  QApplication::setQuitOnLastWindowClosed(false);
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::Attach(TForm1& form) {
  form_ = &form;
  main_ = std::make_unique<MainWindow>(*this);
  float_ = std::make_unique<FloatWindow>(*this);
  menu_ = std::make_unique<QMenu>(main_.get());
  for (const MenuEntry& e : kMenu) {
    if (e.separatorBefore) menu_->addSeparator();
    QAction* a = menu_->addAction(Q(e.caption));
    actions_[static_cast<size_t>(e.item)] = a;
    MenuItem item = e.item;
    QObject::connect(a, &QAction::triggered, [this, item] { form_->MenuClick(item); });
  }
  Action(MenuItem::menuFloat)->setCheckable(true);
  QObject::connect(menu_.get(), &QMenu::aboutToShow, [this] { form_->PopupMenu1Popup(); });
}

QWidget& QtPlatform::Main() { return *main_; }

void QtPlatform::ShowMainWindow() {
  main_->show();
  if (QScreen* screen = main_->screen()) {
    QRect avail = screen->availableGeometry();
    main_->move(avail.center() - main_->rect().center());
  }
  main_->activateWindow();
}

uint32_t QtPlatform::TickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  return static_cast<uint32_t>(ms);
}

void QtPlatform::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void QtPlatform::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

WindowId QtPlatform::Foreground() {
  QWidget* w = QApplication::activeWindow();
  if (w == main_.get()) return WindowId::Main;
  if (w == float_.get()) return WindowId::Float;
  return WindowId::Other;
}

Point QtPlatform::CursorPos(WindowId client) {
  QWidget* w = client == WindowId::Float ? static_cast<QWidget*>(float_.get()) : static_cast<QWidget*>(main_.get());
  QPoint p = w->mapFromGlobal(QCursor::pos());
  if (client == WindowId::Main && main_->isFullScreen()) {
    // The frame is scaled to fit; report the pointer in frame coordinates.
    double s = std::min(main_->width() / 800.0, main_->height() / 600.0);
    double ox = (main_->width() - 800 * s) / 2, oy = (main_->height() - 600 * s) / 2;
    return {static_cast<int32_t>((p.x() - ox) / s), static_cast<int32_t>((p.y() - oy) / s)};
  }
  return {p.x(), p.y()};
}

void QtPlatform::InjectCursor(WindowId window, Point p) {
  QWidget* w = window == WindowId::Float ? static_cast<QWidget*>(float_.get()) : static_cast<QWidget*>(main_.get());
  QCursor::setPos(w->mapToGlobal(QPoint(p.x, p.y)));
}

void QtPlatform::PaintMain(const TABitmap& frame) {
  main_->SetFrame(&frame);
  main_->update();
}

void QtPlatform::PaintFloat(const TABitmap& frame) {
  float_->SetFrame(&frame);
  if (float_->isVisible()) float_->update();
}

void QtPlatform::SetCursorShown(bool shown) { main_->setCursor(shown ? Qt::ArrowCursor : Qt::BlankCursor); }

void QtPlatform::SetFullScreen(bool full) {
  if (full) {
    main_->setMinimumSize(0, 0);
    main_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    main_->showFullScreen();
  } else {
    main_->showNormal();
    main_->setFixedSize(800, 600);
  }
}

void QtPlatform::SetFloatVisible(bool visible) { float_->setVisible(visible); }
bool QtPlatform::FloatVisible() { return float_->isVisible(); }

void QtPlatform::SetMenuEnabled(MenuItem item, bool enabled) {
  if (item != MenuItem::Count && Action(item)->isEnabled() != enabled) Action(item)->setEnabled(enabled);
}
bool QtPlatform::MenuEnabled(MenuItem item) { return item != MenuItem::Count && Action(item)->isEnabled(); }
void QtPlatform::SetMenuCaption(MenuItem item, const std::u16string& caption) { Action(item)->setText(Q(caption)); }
void QtPlatform::SetMenuChecked(MenuItem item, bool checked) { Action(item)->setChecked(checked); }
bool QtPlatform::MenuChecked(MenuItem item) { return Action(item)->isChecked(); }

void QtPlatform::PopupMenu(Point client) { menu_->popup(main_->mapToGlobal(QPoint(client.x, client.y))); }

void QtPlatform::OpenForm(FormId form) {
  switch (form) {
    case FormId::TQueryForm:
      query_ = std::make_unique<QueryDialog>(main_.get(), *form_);
      query_->open();
      break;
    default: break;
  }
}

void QtPlatform::CloseForm(FormId form) {
  if (form == FormId::TQueryForm && query_) {
    query_->hide();
    query_.reset();
  }
}

void QtPlatform::SetFormVisible(FormId form, bool visible) {
  if (form == FormId::TMsgForm) SetFloatVisible(visible);
}

void QtPlatform::FatalMessage(const std::string& utf8) {
  QMessageBox::critical(nullptr, "Mokuren", QString::fromStdString(utf8));
}

}  // namespace mokuren
