#include "app/AccessibleFactory.h"

#include "controls/HexGrid.h"
#include "controls/HexGridAccessible.h"
#include "controls/ShowText.h"
#include "controls/ShowTextAccessible.h"
#include "mainwin/DisasmList.h"
#include "mainwin/DisasmListAccessible.h"

#include <QAccessible>

namespace {

QAccessibleInterface* MakeAccessible(const QString&, QObject* object) {
  if (auto* grid = qobject_cast<THexGrid*>(object)) return new THexGridAccessible(grid);
  if (auto* list = qobject_cast<TDisasmList*>(object)) return new TDisasmListAccessible(list);
  if (auto* terminal = qobject_cast<TShowText*>(object)) return new TShowTextAccessible(terminal);
  return nullptr;
}

}  // namespace

void InstallAccessibleFactory() {
  static const bool installed = (QAccessible::installFactory(&MakeAccessible), true);
  (void)installed;
}
