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

void CentreAt(QWidget& window, QPoint centre) { window.move(centre - QPoint(window.width() / 2, window.height() / 2)); }

QPoint FrameCentre(const QWidget& mainWindow) {
  return mainWindow.mapToGlobal(FrameToWidget(mainWindow, QSize(800, 600), Point{400, 300})).toPoint();
}

}  // namespace mokuren
