#include "controls/HexGridAccessible.h"

#include "controls/HexGrid.h"
#include "controls/HexGridCellAccessible.h"

#include <QLineEdit>

THexGridAccessible::THexGridAccessible(THexGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

THexGridAccessible::~THexGridAccessible() {
  for (QAccessible::Id id : std::as_const(FCells)) QAccessible::deleteAccessibleInterface(id);
}

THexGrid* THexGridAccessible::Grid() const { return static_cast<THexGrid*>(widget()); }

QAccessible::State THexGridAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.multiSelectable = Grid()->ColCount() > 1;
  return s;
}

QString THexGridAccessible::text(QAccessible::Text t) const {
  QString result = QAccessibleWidget::text(t);
  // Without a name of its own the grid goes by its hint.
  if (t == QAccessible::Name && result.isEmpty()) result = Grid()->toolTip();
  return result;
}

int THexGridAccessible::childCount() const { return Grid()->Count(); }

QAccessibleInterface* THexGridAccessible::child(int index) const {
  const THexGrid* grid = Grid();
  if (index < 0 || index >= grid->Count()) return nullptr;
  return cellAt(index / grid->ColCount(), index % grid->ColCount());
}

int THexGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (!child || child->role() != QAccessible::Cell || child->parent() != this) return -1;
  return static_cast<const THexGridCellAccessible*>(child)->Address();
}

QAccessibleInterface* THexGridAccessible::childAt(int x, int y) const {
  const int adr = Grid()->AddressAt(Grid()->mapFromGlobal(QPoint(x, y)));
  return adr < 0 ? nullptr : child(adr);
}

QAccessibleInterface* THexGridAccessible::focusChild() const {
  const THexGrid* grid = Grid();
  if (!grid->hasFocus() && !(grid->Editor() && grid->Editor()->hasFocus())) return nullptr;
  return cellAt(grid->Row(), grid->Col());
}

void* THexGridAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* THexGridAccessible::cellAt(int row, int column) const {
  const THexGrid* grid = Grid();
  if (row < 0 || row >= grid->RowCount() || column < 0 || column >= grid->ColCount()) return nullptr;
  const int adr = grid->coor2adr(column, row);
  auto found = FCells.constFind(adr);
  if (found != FCells.constEnd()) return QAccessible::accessibleInterface(*found);
  auto* cell = new THexGridCellAccessible(const_cast<THexGrid*>(grid), adr);
  FCells.insert(adr, QAccessible::registerAccessibleInterface(cell));
  return cell;
}

int THexGridAccessible::selectedCellCount() const {
  const THexGrid* grid = Grid();
  return grid->GetSelLo() < 0 ? 0 : grid->GetSelHi() - grid->GetSelLo() + 1;
}

QList<QAccessibleInterface*> THexGridAccessible::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  const THexGrid* grid = Grid();
  if (grid->GetSelLo() < 0) return cells;
  for (int adr = grid->GetSelLo(); adr <= grid->GetSelHi(); ++adr) cells.append(child(adr));
  return cells;
}

QString THexGridAccessible::columnDescription(int column) const {
  return Grid()->ColCount() > 1 ? QStringLiteral("column %1").arg(column, 0, 16).toUpper() : QString();
}

QString THexGridAccessible::rowDescription(int row) const { return QStringLiteral("row %1").arg(row, 0, 16).toUpper(); }

int THexGridAccessible::columnCount() const { return Grid()->ColCount(); }

int THexGridAccessible::rowCount() const { return Grid()->RowCount(); }

void THexGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
  // A resized grid gets new cells; the old ones would name the wrong places.
  for (QAccessible::Id id : std::as_const(FCells)) QAccessible::deleteAccessibleInterface(id);
  FCells.clear();
}
