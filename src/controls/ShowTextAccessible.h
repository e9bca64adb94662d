#pragma once

#include <QAccessibleWidget>

class TShowText;

// The output terminal for a screen reader: read-only text, its lines joined
// by line breaks, trailing blanks of a line left out (they are only the
// terminal's empty cells).
class TShowTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TShowTextAccessible(TShowText* terminal);

  // QAccessibleInterface
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;
  void* interface_cast(QAccessible::InterfaceType t) override;

  // QAccessibleTextInterface: nothing can be selected or typed.
  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override;
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  const TShowText* Terminal() const;
};
