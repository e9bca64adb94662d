#pragma once

#include <QAccessibleWidget>
#include <QHash>

class THexGrid;

// What a screen reader sees of a hex grid: a table whose cells are named
// after what they hold ("memory 3F", "register R3") and carry their shown
// text as value. The grid paints its cells itself, so without this a reader
// would find one blank widget. Only the grid's public accessors are used,
// whatever keeps the cells behind them.
class THexGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit THexGridAccessible(THexGrid* grid);
  ~THexGridAccessible() override;

  THexGrid* Grid() const;

  // QAccessibleInterface
  QAccessible::Role role() const override { return QAccessible::Table; }
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  void* interface_cast(QAccessible::InterfaceType t) override;

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int row) const override;
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  int columnCount() const override;
  int rowCount() const override;
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  // The grid selects address ranges, not rows or columns.
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent* event) override;

 private:
  // Cell interfaces are made on demand and kept, as QAccessible expects the
  // same interface for the same cell each time it asks.
  mutable QHash<int, QAccessible::Id> FCells;
};
