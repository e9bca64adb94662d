#pragma once

#include <QAccessible>

class TDisasmList;

// One row of the disassembly list.
class TDisasmRowAccessible : public QAccessibleInterface {
 public:
  TDisasmRowAccessible(TDisasmList* list, int row) : FList(list), FRow(row) {}

  int Row() const { return FRow; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;

 private:
  TDisasmList* FList;
  int FRow;
};
