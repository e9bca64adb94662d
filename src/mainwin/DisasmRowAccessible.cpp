#include "mainwin/DisasmRowAccessible.h"

#include "mainwin/DisasmList.h"

#include <QWindow>

TDisasmRowAccessible::TDisasmRowAccessible(TDisasmList* list, int row) : TAccessibleItem(list), FRow(row) {}

TDisasmList* TDisasmRowAccessible::List() const { return static_cast<TDisasmList*>(Owner()); }

bool TDisasmRowAccessible::isValid() const { return List() && FRow >= 0 && FRow < List()->RowCount(); }

QString TDisasmRowAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return QString();
  if (t == QAccessible::Name) return List()->RowText(FRow).trimmed();
  // The row PC points at is the next instruction; a reader says so.
  if (t == QAccessible::Description && FRow == List()->PcRow()) return QStringLiteral("program counter");
  return QString();
}

QRect TDisasmRowAccessible::rect() const {
  if (!isValid()) return QRect();
  const QRect local = List()->RowRect(FRow);
  return QRect(List()->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TDisasmRowAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.readOnly = true;
  const bool pcRow = FRow == List()->SelectedRow();
  s.selected = pcRow;
  s.active = pcRow;
  s.focused = pcRow && List()->hasFocus();
  s.offscreen = FRow < List()->TopRow() || FRow >= List()->TopRow() + List()->VisibleRows();
  return s;
}
