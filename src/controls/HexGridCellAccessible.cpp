#include "controls/HexGridCellAccessible.h"

#include "controls/HexGrid.h"

#include <QLineEdit>
#include <QWidget>
#include <QWindow>

bool THexGridCellAccessible::isValid() const { return FGrid && FAdr < FGrid->Count(); }

QWindow* THexGridCellAccessible::window() const { return FGrid ? FGrid->window()->windowHandle() : nullptr; }

QAccessibleInterface* THexGridCellAccessible::parent() const {
  return FGrid ? QAccessible::queryAccessibleInterface(FGrid.data()) : nullptr;
}

QString THexGridCellAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return QString();
  switch (t) {
    case QAccessible::Name: return FGrid->CellName(FAdr);
    case QAccessible::Value: return FGrid->CellText(columnIndex(), rowIndex());
    default: return QString();
  }
}

QRect THexGridCellAccessible::rect() const {
  if (!isValid()) return QRect();
  const QRect local = FGrid->CellRect(FAdr);
  return QRect(FGrid->mapToGlobal(local.topLeft()), local.size());
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
  const bool current = columnIndex() == FGrid->Col() && rowIndex() == FGrid->Row();
  s.active = current;
  s.focused = current && (FGrid->hasFocus() || (FGrid->Editor() && FGrid->Editor()->hasFocus()));
  s.invisible = !FGrid->isVisible();
  return s;
}

void* THexGridCellAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
  return nullptr;
}

bool THexGridCellAccessible::isSelected() const {
  return isValid() && FGrid->GetSelLo() >= 0 && FAdr >= FGrid->GetSelLo() && FAdr <= FGrid->GetSelHi();
}

int THexGridCellAccessible::columnIndex() const { return FGrid ? FAdr % FGrid->ColCount() : -1; }

int THexGridCellAccessible::rowIndex() const { return FGrid ? FAdr / FGrid->ColCount() : -1; }
