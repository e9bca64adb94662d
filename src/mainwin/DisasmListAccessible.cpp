#include "mainwin/DisasmListAccessible.h"

#include "mainwin/DisasmList.h"
#include "mainwin/DisasmRowAccessible.h"

TDisasmListAccessible::TDisasmListAccessible(TDisasmList* list) : QAccessibleWidget(list, QAccessible::List) {}

TDisasmListAccessible::~TDisasmListAccessible() {
  for (QAccessible::Id id : std::as_const(FItems)) QAccessible::deleteAccessibleInterface(id);
}

TDisasmList* TDisasmListAccessible::List() const { return static_cast<TDisasmList*>(widget()); }

QString TDisasmListAccessible::text(QAccessible::Text t) const {
  QString result = QAccessibleWidget::text(t);
  if (t == QAccessible::Name && result.isEmpty()) result = List()->toolTip();
  return result;
}

int TDisasmListAccessible::childCount() const { return List()->RowCount(); }

QAccessibleInterface* TDisasmListAccessible::child(int index) const {
  if (index < 0 || index >= List()->RowCount()) return nullptr;
  auto found = FItems.constFind(index);
  if (found != FItems.constEnd()) return QAccessible::accessibleInterface(*found);
  auto* item = new TDisasmRowAccessible(List(), index);
  FItems.insert(index, QAccessible::registerAccessibleInterface(item));
  return item;
}

int TDisasmListAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (!child || child->role() != QAccessible::ListItem || child->parent() != this) return -1;
  return static_cast<const TDisasmRowAccessible*>(child)->Row();
}

QAccessibleInterface* TDisasmListAccessible::childAt(int x, int y) const {
  return child(List()->RowAt(List()->viewport()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* TDisasmListAccessible::focusChild() const {
  return List()->hasFocus() ? child(List()->SelectedRow()) : nullptr;
}
