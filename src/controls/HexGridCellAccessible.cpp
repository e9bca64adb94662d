#include "controls/HexGridCellAccessible.h"

#include "controls/HexGrid.h"

#include <QLineEdit>
#include <QWidget>
#include <QWindow>

THexGridCellAccessible::THexGridCellAccessible(THexGrid* grid, int adr) : TAccessibleItem(grid), FAdr(adr) {}

THexGrid* THexGridCellAccessible::Grid() const { return static_cast<THexGrid*>(Owner()); }

bool THexGridCellAccessible::isValid() const { return Grid() && FAdr < Grid()->Count(); }

QString THexGridCellAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return QString();
  switch (t) {
    case QAccessible::Name: return Grid()->CellName(FAdr);
    case QAccessible::Value: return Grid()->CellText(columnIndex(), rowIndex());
    default: return QString();
  }
}

QRect THexGridCellAccessible::rect() const {
  if (!isValid()) return QRect();
  const QRect local = Grid()->CellRect(FAdr);
  return QRect(Grid()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State THexGridCellAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.focusable = true;
  s.selectable = true;
  s.selected = isSelected();
  const bool current = columnIndex() == Grid()->Col() && rowIndex() == Grid()->Row();
  s.active = current;
  s.focused = current && (Grid()->hasFocus() || (Grid()->Editor() && Grid()->Editor()->hasFocus()));
  s.invisible = !Grid()->isVisible();
  return s;
}

void* THexGridCellAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
  return nullptr;
}

bool THexGridCellAccessible::isSelected() const {
  return isValid() && Grid()->GetSelLo() >= 0 && FAdr >= Grid()->GetSelLo() && FAdr <= Grid()->GetSelHi();
}

int THexGridCellAccessible::columnIndex() const { return Grid() ? FAdr % Grid()->ColCount() : -1; }

int THexGridCellAccessible::rowIndex() const { return Grid() ? FAdr / Grid()->ColCount() : -1; }
