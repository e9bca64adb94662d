#include "controls/ShowTextAccessible.h"

#include "controls/ShowText.h"

TShowTextAccessible::TShowTextAccessible(TShowText* terminal) : QAccessibleWidget(terminal, QAccessible::Terminal) {}

const TShowText* TShowTextAccessible::Terminal() const { return static_cast<const TShowText*>(widget()); }

QAccessible::State TShowTextAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.readOnly = true;
  s.multiLine = true;
  return s;
}

QString TShowTextAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return Terminal()->ReadableText();
  QString result = QAccessibleWidget::text(t);
  if (t == QAccessible::Name && result.isEmpty()) result = Terminal()->toolTip();
  return result;
}

void* TShowTextAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

int TShowTextAccessible::cursorPosition() const { return characterCount(); }

QString TShowTextAccessible::text(int startOffset, int endOffset) const {
  const QString all = Terminal()->ReadableText();
  if (startOffset < 0 || endOffset < startOffset) return QString();
  return all.mid(startOffset, endOffset - startOffset);
}

int TShowTextAccessible::characterCount() const { return static_cast<int>(Terminal()->ReadableText().size()); }

QString TShowTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = offset;
  *endOffset = offset;
  return QString();
}
