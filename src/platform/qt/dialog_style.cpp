#include "platform/qt/dialog_style.h"

#include "platform/qt/qt_windows.h"

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

void CentreAt(QWidget& window, QPoint centre) { window.move(centre - QPoint(window.width() / 2, window.height() / 2)); }

QPoint FrameCentre(const QWidget& mainWindow) {
  return mainWindow.mapToGlobal(FrameToWidget(mainWindow, kFrameSize, Point{kFrameWidth / 2, kFrameHeight / 2}))
      .toPoint();
}

}  // namespace mokuren
