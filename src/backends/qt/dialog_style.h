// What the game's small windows share: a title bar without buttons, the engine's Japanese faces at the
// sizes the windows name, and placement by their centre.
#pragma once

#include <QFont>
#include <QPoint>
#include <QString>
#include <QTranslator>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>

#include "text/text_renderer.h"

namespace mokuren {

// A title bar with the caption only: the window is left through its own buttons.
inline constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QFont DialogFont(FontName name, int pixelSize);
// A modal dialog of the game: its caption, "ＭＳ Ｐゴシック" at 12 pixels, a client area of fixed size, and
// above every other window when `onTop`.
void SetUpDialog(QWidget& dialog, std::u16string_view caption, QSize client, bool onTop);
// Makes a dialog built at the frame's own scale `factor` times larger: its fonts, its size, and its
// controls' places, sizes and spacing, so that it reads as well as the picture shown that many times.
void GrowDialog(QWidget& dialog, int factor);
// Qt's own words (the folder picker's buttons, a text box's menu, a message box's "OK") in `language`
// ("ja", "en"…) from Qt's translations (Debian's qt6-translations-l10n), installed for the application;
// null when Qt has none for it. The translation lasts as long as what is returned.
std::unique_ptr<QTranslator> InstallQtTranslation(std::string_view language);
// Moves the window so that its centre lies at `centre` (global coordinates).
void CentreAt(QWidget& window, QPoint centre);
// Where the frame's centre lies on screen: the middle of the main window's 800x600 client area, wherever
// it is shown and however it is scaled.
QPoint FrameCentre(const QWidget& mainWindow);

inline QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace mokuren
