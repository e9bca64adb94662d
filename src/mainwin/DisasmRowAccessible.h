#pragma once

#include "controls/AccessibleItem.h"

class TDisasmList;

// One row of the disassembly list.
class TDisasmRowAccessible : public TAccessibleItem {
 public:
  TDisasmRowAccessible(TDisasmList* list, int row);

  int Row() const { return FRow; }

  bool isValid() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;

 private:
  TDisasmList* List() const;
  int FRow;
};
