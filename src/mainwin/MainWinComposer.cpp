#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "mainwin/AssembleDialog.h"

#include <QPointer>

// A right click on the disassembly list composes the instruction of the row
// under the pointer. The list has already taken the focus and selected the
// row; a click below the last row has no row and opens nothing.
void TMainWin::DisasmWinMouseDown(int row) {
  if (row < 0) return;
  // Rows follow the alignment of PC: with an odd PC row k holds the
  // instruction at 2k + 1.
  const int address = 2 * row + (Session().PC() & 1);
  QPointer<TAssembleDialog> dialog = new TAssembleDialog(*this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->SetAddress(address);
  dialog->exec();
  SetStatus(QStringLiteral("Ready"), Qt::black);
}

int TMainWin::MemoryCell(int address) const { return Session().Memory(address & 0xFF); }

void TMainWin::WriteInstruction(int address, uint16_t word) {
  UserEdit(eaComposer, {{csMemory, address & 0xFF, word >> 8}, {csMemory, (address + 1) & 0xFF, word & 0xFF}});
}
