#pragma once

#include "controls/AccessibleItem.h"

class THexGrid;

// One cell of a hex grid for a screen reader: its name says what the cell is,
// its value is the text the cell shows.
class THexGridCellAccessible : public TAccessibleItem, public QAccessibleTableCellInterface {
 public:
  THexGridCellAccessible(THexGrid* grid, int adr);

  int Address() const { return FAdr; }

  // QAccessibleInterface
  bool isValid() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType t) override;

  // QAccessibleTableCellInterface
  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override;
  int rowIndex() const override;
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  THexGrid* Grid() const;
  int FAdr;
};
