#pragma once

#include <QAccessibleWidget>
#include <QHash>

class TDisasmList;

// The disassembly list for a screen reader: a list whose items are its rows'
// texts; the row PC points at is the selected item and says so.
class TDisasmListAccessible : public QAccessibleWidget {
 public:
  explicit TDisasmListAccessible(TDisasmList* list);
  ~TDisasmListAccessible() override;

  TDisasmList* List() const;

  QString text(QAccessible::Text t) const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

 private:
  mutable QHash<int, QAccessible::Id> FItems;
};
