#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "mainwin/DisasmList.h"
#include "mainwin/StatusPanel.h"
#include "mainwin/TracePane.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <bitset>

// The window's views kept in step with the session: user edits go in
// through UserEdit, and SyncViews brings every view up to the session's
// generation. Building the window is MainWin.cpp.

namespace {

// The selection's words in the status bar, in the grids' selection colour.
const QColor SelectionTextColor(0, 0, 192);

}  // namespace

void TMainWin::SetMemoryModified(bool flag) {
  if (FMemoryModified == flag) return;
  FMemoryModified = flag;
  FSession->SetMemoryModified(flag);
  FMainMemory->SetModified(flag);
  FSaveButton->setEnabled(flag);
  FMenuSaveFile->setEnabled(flag);
  FStatusModified->setText(flag ? QStringLiteral("Modified") : QString());
  if (!flag) AutosaveMemory();
}

void TMainWin::SetStatus(const QString& text, const QColor& color) {
  FStatusColor = color;
  FStatusText->SetText(text, color);
}

QString TMainWin::StatusTextValue() const { return FStatusText->Text(); }

void TMainWin::MainMemorySelectCell(int col, int row) {
  const int adr = FMainMemory->coor2adr(col, row);
  InspectCell(csMemory, adr);
  QString text = QStringLiteral("Address: %1").arg(adr);
  // A value too wide for its cell is shown whole here too.
  if (!FMainMemory->CellTextFits(adr)) text += QStringLiteral(" = ") + FMainMemory->CellText(col, row);
  FStatusAddress->setText(text);
  FStatusAddress->setFixedWidth(std::max(FAddressPanelWidth, FStatusAddress->fontMetrics().horizontalAdvance(text) +
                                                                 FAddressPanelWidth - FAddressPanelTextWidth));
}

void TMainWin::MainMemorySelChanged(int selStart, int selEnd) {
  QString text;
  if (selStart < 0 || selEnd < 0)
    text = QStringLiteral("No Selection");
  else if (selStart == selEnd)
    text = QStringLiteral("Selected: %1").arg(selStart);
  else
    text = QStringLiteral("Selected: %1-%2").arg(std::min(selStart, selEnd)).arg(std::max(selStart, selEnd));
  SetStatus(text, SelectionTextColor);
}

void TMainWin::UserEdit(TEditAction action, const std::vector<TCellEdit>& cells) {
  int lastChanged = -1;
  for (const TCellEdit& cell : cells)
    if (cell.Space == csMemory && FSession->Memory(cell.Address) != cell.Value) lastChanged = WrapAddress(cell.Address);
  FSession->Edit(action, cells);
  if (lastChanged >= 0) {
    SetMemoryModified(true);
    FDisasmWin->SetTopRow(DisasmRowOf(lastChanged) - 3);
  }
  SyncViews();
}

void TMainWin::SyncViews() {
  for (THexGrid* grid : {FMainMemory, FRegisters, FSysRegs}) grid->Refresh();
  const uint64_t seen = FViewGeneration;
  FViewGeneration = FSession->Generation();
  if (FViewGeneration != seen) {
    // Any write of PC counts, also one that put back the value shown: the
    // list then follows PC again.
    const bool pcWritten = FSession->CellGeneration(csSysReg, PCIndex) > seen;
    const int32_t pc = FSession->PC();
    const bool alignmentChanged = ((pc ^ FShownPC) & 1) != 0;
    FShownPC = pc;
    FDisasmWin->BeginUpdate();
    if (alignmentChanged) {
      RewriteAllDisasmRows();
    } else {
      FSession->ChangedMemory(seen, FChangedCells);
      std::bitset<MemorySize / 2> rows;
      for (int adr : FChangedCells) rows.set(static_cast<size_t>(DisasmRowOf(adr)));
      for (int row = 0; row < FDisasmWin->RowCount(); ++row)
        if (rows.test(static_cast<size_t>(row))) RewriteDisasmRow(row);
    }
    if (pcWritten) PcChanged(pc);
    FDisasmWin->EndUpdate();
  }
  FollowOutput();
  UpdateValuePanel();
  ShowSourcePlace();
  // At most one write per autosave delay, also while a run changes the
  // registers many times a second.
  if (FMemoryModified && FMemoryAutosaveTimer && !FMemoryAutosaveTimer->isActive()) FMemoryAutosaveTimer->start();
}

void TMainWin::ClearMainMemory(TEditAction action) {
  int lo = FMainMemory->GetSelLo();
  int hi = FMainMemory->GetSelHi();
  if (lo < 0 || hi < 0) {
    lo = 0;
    hi = FMainMemory->Count() - 1;
  }
  std::vector<TCellEdit> cells;
  for (int adr = lo; adr <= hi; ++adr) cells.push_back({csMemory, adr, 0});
  UserEdit(action, cells);
}

void TMainWin::ClearRegisters() {
  std::vector<TCellEdit> cells;
  for (int n = 0; n < RegisterCount; ++n) cells.push_back({csRegister, n, 0});
  UserEdit(eaClear, cells);
}

void TMainWin::LoadMemoryImage(const std::vector<int32_t>& cells, TEditAction action) {
  UserEdit(action, TSimulator::ProgramEdits(cells));
}

void TMainWin::AssembleIntoMemory(const std::vector<int32_t>& image) {
  LoadMemoryImage(image, eaAssemble);
  SetMemoryModified(false);
  FTraceWin->StartSection(QStringLiteral("Assembled into memory"), FSession->Executed());
  // The image is in memory, ready to run: the last run's stop no longer
  // describes the machine.
  SetStatus(QStringLiteral("Ready"), Qt::black);
}

void TMainWin::ResetProgramCounter(TEditAction action) {
  std::vector<TCellEdit> cells;
  TSimulator::AppendPCReset(cells);
  UserEdit(action, cells);
}

void TMainWin::BeginDisasmUpdate() { FDisasmWin->BeginUpdate(); }

void TMainWin::EndDisasmUpdate() { FDisasmWin->EndUpdate(); }
