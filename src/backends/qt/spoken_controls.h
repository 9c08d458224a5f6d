// What is read aloud (--speak) when the player's focus reaches a control of a dialog or an item of the
// popup menu: the same name a screen reader is given (the control's accessible name, else its own text),
// then what it holds now.
#pragma once

#include <QAction>
#include <QString>
#include <QWidget>

namespace mokuren {

// The control's name, then its state: a radio button or check box on or off, a slider's value, a text
// box's text.
QString SpokenText(QWidget& control);
// The item's caption without its accelerator mark, and "オン" when it is checked.
QString SpokenText(const QAction& item);

}  // namespace mokuren
