#include "backends/qt/spoken_controls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QLineEdit>

namespace mokuren {

namespace {

QString NameOf(QWidget& control) {
  if (!control.accessibleName().isEmpty()) return control.accessibleName();
  if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&control)) {
    const QString name = a->text(QAccessible::Name);
    if (!name.isEmpty()) return name;
  }
  return {};
}

}  // namespace

QString SpokenText(QWidget& control) {
  QString text = NameOf(control);
  const auto add = [&text](const QString& part) {
    if (part.isEmpty()) return;
    if (!text.isEmpty()) text += QStringLiteral("　");
    text += part;
  };
  if (const auto* button = qobject_cast<QAbstractButton*>(&control); button && button->isCheckable())
    add(button->isChecked() ? QStringLiteral("オン") : QStringLiteral("オフ"));
  if (const auto* slider = qobject_cast<QAbstractSlider*>(&control)) add(QString::number(slider->value()));
  if (const auto* edit = qobject_cast<QLineEdit*>(&control)) add(edit->text());
  return text;
}

QString SpokenText(const QAction& item) {
  QString text = item.text();
  text.remove(QLatin1Char('&'));
  if (item.isCheckable() && item.isChecked()) text += QStringLiteral("　オン");
  return text;
}

}  // namespace mokuren
