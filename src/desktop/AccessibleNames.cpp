#include "desktop/AccessibleNames.h"

#include <QAccessible>
#include <QString>
#include <QWidget>

QString AccessibleNameOf(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  return iface ? iface->text(QAccessible::Name) : QString();
}

void NameUnnamedControls(QWidget* window) {
  const QList<QWidget*> widgets = window->findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (!AccessibleNameOf(widget).trimmed().isEmpty()) continue;
    QString hint = widget->toolTip();
    if (hint.isEmpty()) hint = widget->statusTip();
    if (!hint.isEmpty()) widget->setAccessibleName(hint);
  }
}
