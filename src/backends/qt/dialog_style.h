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
#include <vector>

#include "text/text_renderer.h"

namespace mokuren {

// A title bar with the caption only: the window is left through its own buttons.
inline constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// The language the dialogs speak ("en", "ru", "zh_CN"; "ja" the original's): the faces DialogFont gives
// cover it (DejaVu for Latin, Greek and Cyrillic, WenQuanYi Micro Hei for Chinese and Korean, Japanese
// faces standing in for what those lack), and Qt's own texts (its standard dialogs, a text box's menu) are
// in it where Debian ships Qt's translation. Windows made afterwards follow it.
void UseDialogLanguage(std::string_view language);
// Whether the dialogs are in the original's Japanese faces (no other language chosen).
bool DialogsInJapanese();

// A face of the game's dialogs at a pixel size: the language's, then the engine's Japanese ones.
QFont DialogFont(FontName name, int pixelSize);
// A modal dialog of the game: its caption, "ＭＳ Ｐゴシック" at 12 pixels, a client area of fixed size, and
// above every other window when `onTop`.
void SetUpDialog(QWidget& dialog, std::u16string_view caption, QSize client, bool onTop);
// Makes a dialog built at the frame's own scale `factor` times larger: its fonts, its size, and its
// controls' places, sizes and spacing, so that it reads as well as the picture shown that many times.
void GrowDialog(QWidget& dialog, int factor);
// Moves the window so that its centre lies at `centre` (global coordinates).
void CentreAt(QWidget& window, QPoint centre);
// Where the frame's centre lies on screen: the middle of the main window's 800x600 client area, wherever
// it is shown and however it is scaled.
QPoint FrameCentre(const QWidget& mainWindow);

inline QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace mokuren
