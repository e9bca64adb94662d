#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "desktop/PathRules.h"
#include "desktop/Platform.h"
#include "desktop/Settings.h"
#include "machine/Disassembler.h"
#include "machine/Listing.h"
#include "mainwin/DisasmList.h"
#include "mainwin/ListingWindow.h"

#include <QFile>
#include <QPointer>

// The rows follow the alignment of PC: with an odd PC row k shows the
// instruction at 2k + 1, and cell 00 belongs to the one at FF.
int TMainWin::DisasmRowOf(int address) const {
  const int start = (FSession->PC() & 1) == 0 ? (address & ~1) : ((address - 1) & 0xFF) | 1;
  return start / 2;
}

void TMainWin::RewriteDisasmRow(int row) {
  const int pc = WrapAddress(FSession->PC());
  const int start = 2 * row + (pc & 1);
  FDisasmWin->SetRowText(row, QString::fromLatin1(Disassemble(FSession->MemoryCells(), start).Line));
  if (pc == start) FDisasmWin->SetPcRow(row);
  FDisasmWin->SetRowMarked(row, FSession->Breakpoint(start));
  if (FDisasmWin->LabelColumnWidth() > 0) {
    const TMapLabel* label = FDebug->LabelAt(start & 0xFF);
    FDisasmWin->SetRowLabel(row, label ? QString::fromStdString(label->Name) + QLatin1Char(':') : QString());
  }
}

void TMainWin::RewriteAllDisasmRows() {
  FDisasmWin->BeginUpdate();
  for (int row = 0; row < FDisasmWin->RowCount(); ++row) RewriteDisasmRow(row);
  FDisasmWin->EndUpdate();
}

void TMainWin::PcChanged(int pc) {
  const int row = (pc & 0xFF) / 2;
  FDisasmWin->SetPcRow(row);
  FDisasmWin->SetTopRow(row - 3);
}

void TMainWin::DisasmWinDblClick(int row) {
  UserEdit(eaCellEdit, {{csSysReg, PCIndex, 2 * row + (FSession->PC() & 1)}});
}

QString TMainWin::ListingPath() const {
  if (HasSeparator(FSettings.TempLstFile)) return FSettings.TempLstFile;
  return FSettings.TempDir + FSettings.TempLstFile;
}

void TMainWin::ViewAsmButtonClick() {
  // A cell being edited is listed with the digits typed so far.
  TakeTypedCells();
  const QString path = ListingPath();
  const std::string error =
      WriteListingFile(QFile::encodeName(path).toStdString(), FSession->MemoryCells(), FSession->PC());
  if (!error.empty()) {
    Platform().ShowMessage(this, QStringLiteral("Error"), QString::fromStdString(error), TMsgIcon::Error);
    return;
  }
  // Where the desktop has no text editor to start, the program shows the
  // listing itself: the button always shows it.
  const QPointer<TMainWin> self(this);
  const auto showHere = [self, path] {
    if (self && !TListingWindow::ShowFile(path, self))
      Platform().ShowMessage(self, QStringLiteral("Error"),
                             QStringLiteral("No text editor could be started for %1.").arg(path), TMsgIcon::Error);
  };
  if (!Platform().StartTextEditor(path, showHere)) showHere();
}
