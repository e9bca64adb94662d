#include "mainwin/DisasmRowAccessible.h"

#include "mainwin/DisasmList.h"

#include <QWindow>

bool TDisasmRowAccessible::isValid() const { return FRow >= 0 && FRow < FList->RowCount(); }

QWindow* TDisasmRowAccessible::window() const { return FList->window()->windowHandle(); }

QAccessibleInterface* TDisasmRowAccessible::parent() const { return QAccessible::queryAccessibleInterface(FList); }

QString TDisasmRowAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return QString();
  if (t == QAccessible::Name) return FList->RowText(FRow).trimmed();
  // The row PC points at is the next instruction; a reader says so.
  if (t == QAccessible::Description && FRow == FList->SelectedRow()) return QStringLiteral("program counter");
  return QString();
}

QRect TDisasmRowAccessible::rect() const {
  const QRect local = FList->RowRect(FRow);
  return QRect(FList->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TDisasmRowAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.readOnly = true;
  const bool pcRow = FRow == FList->SelectedRow();
  s.selected = pcRow;
  s.active = pcRow;
  s.focused = pcRow && FList->hasFocus();
  s.offscreen = FRow < FList->TopRow() || FRow >= FList->TopRow() + FList->VisibleRows();
  return s;
}
