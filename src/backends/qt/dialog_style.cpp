#include "backends/qt/dialog_style.h"

#include <QApplication>
#include <QLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>
#include <vector>

#include "backends/qt/qt_windows.h"

namespace mokuren {

namespace {

// The families that cover the dialogs' language, by the engine's face they stand for; empty for Japanese.
struct LanguageFaces {
  QString sans, serif;
};
LanguageFaces& Faces() {
  static LanguageFaces faces;
  return faces;
}

std::unique_ptr<QTranslator>& QtTranslator() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

QStringList Families(FontName name) {
  QStringList families;
  const LanguageFaces& faces = Faces();
  const QString& own = name == FontName::PMincho ? faces.serif : faces.sans;
  if (!own.isEmpty()) families << own;
  // Any Japanese face stands in when the family is not installed, and for what the language's lacks.
  families << FontFamily(name) << "Noto Sans CJK JP"
           << "Noto Serif CJK JP";
  return families;
}

}  // namespace

void UseDialogLanguage(std::string_view language) {
  const std::string code(language.substr(0, language.find_first_of(".@")));
  const std::string base = code.substr(0, code.find_first_of("_-"));
  LanguageFaces& faces = Faces();
  if (base == "ja" || base.empty()) {
    faces = {};
  } else if (base == "zh" || base == "ko") {
    // Japanese faces draw Chinese and Korean with Japanese glyph shapes, or not at all.
    faces = {"WenQuanYi Micro Hei", "WenQuanYi Micro Hei"};
  } else {
    // Japanese faces draw Latin, Greek and Cyrillic letters full-width: a word reads letter-spaced.
    faces = {"DejaVu Sans", "DejaVu Serif"};
  }
  // Without a QApplication (not yet made, or a headless tool) there is nothing to set.
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QFont font = QApplication::font();
    font.setFamilies(Families(FontName::PGothic));
    QApplication::setFont(font);
    std::unique_ptr<QTranslator>& translator = QtTranslator();
    if (translator) QCoreApplication::removeTranslator(translator.get());
    translator = std::make_unique<QTranslator>();
    const QLocale locale(QString::fromStdString(code));
    if (translator->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(translator.get());
    else
      translator.reset();
  }
}

bool DialogsInJapanese() { return Faces().sans.isEmpty(); }

QFont DialogFont(FontName name, int pixelSize) {
  QFont font;
  font.setFamilies(Families(name));
  font.setPixelSize(pixelSize);
  return font;
}

void SetUpDialog(QWidget& dialog, std::u16string_view caption, QSize client, bool onTop) {
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setWindowTitle(Q(caption));
  dialog.setFont(DialogFont(FontName::PGothic, 12));
  dialog.setFixedSize(client);
}

void GrowDialog(QWidget& dialog, int factor) {
  if (factor <= 1) return;
  struct Was {
    QWidget* widget;
    QFont font;
    QRect geometry;
    bool fixed;
  };
  // Everything is read before anything changes: a child's font follows its parent's.
  std::vector<Was> was;
  for (QWidget* w : dialog.findChildren<QWidget*>())
    was.push_back({w, w->font(), w->geometry(), w->minimumSize() == w->maximumSize()});
  const Was self{&dialog, dialog.font(), dialog.geometry(), dialog.minimumSize() == dialog.maximumSize()};
  const auto grow = [factor](const Was& w) {
    QFont font = w.font;
    if (font.pixelSize() > 0)
      font.setPixelSize(font.pixelSize() * factor);
    else
      font.setPointSizeF(font.pointSizeF() * factor);
    w.widget->setFont(font);
    const QSize size = w.geometry.size() * factor;
    if (w.fixed) w.widget->setFixedSize(size);
  };
  grow(self);
  for (const Was& w : was) {
    grow(w);
    w.widget->setGeometry(QRect(w.geometry.topLeft() * factor, w.geometry.size() * factor));
  }
  for (QLayout* layout : dialog.findChildren<QLayout*>()) {
    const QMargins m = layout->contentsMargins();
    layout->setContentsMargins(m * factor);
    if (layout->spacing() > 0) layout->setSpacing(layout->spacing() * factor);
  }
  if (!self.fixed) dialog.resize(self.geometry.size() * factor);
}

void CentreAt(QWidget& window, QPoint centre) { window.move(centre - QPoint(window.width() / 2, window.height() / 2)); }

QPoint FrameCentre(const QWidget& mainWindow) {
  return mainWindow.mapToGlobal(FrameToWidget(mainWindow, kFrameSize, Point{kFrameWidth / 2, kFrameHeight / 2}))
      .toPoint();
}

}  // namespace mokuren
