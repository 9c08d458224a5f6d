#include "backends/qt/dialog_style.h"

#include <QCoreApplication>
#include <QLayout>
#include <QLibraryInfo>
#include <vector>

#include "backends/qt/qt_windows.h"

namespace mokuren {

QFont DialogFont(FontName name, int pixelSize) {
  QFont font;
  // Any Japanese face stands in when the family is not installed.
  font.setFamilies({FontFamily(name), "Noto Sans CJK JP", "Noto Serif CJK JP"});
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

std::unique_ptr<QTranslator> InstallQtTranslation(std::string_view language) {
  auto translator = std::make_unique<QTranslator>();
  const QString name =
      QStringLiteral("qtbase_") + QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size()));
  if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return nullptr;
  QCoreApplication::installTranslator(translator.get());
  return translator;
}

void CentreAt(QWidget& window, QPoint centre) { window.move(centre - QPoint(window.width() / 2, window.height() / 2)); }

QPoint FrameCentre(const QWidget& mainWindow) {
  return mainWindow.mapToGlobal(FrameToWidget(mainWindow, kFrameSize, Point{kFrameWidth / 2, kFrameHeight / 2}))
      .toPoint();
}

}  // namespace mokuren
