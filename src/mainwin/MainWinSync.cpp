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
  MainMemory->SetModified(flag);
  SaveButton->setEnabled(flag);
  MenuSaveFile->setEnabled(flag);
  StatusModified->setText(flag ? QStringLiteral("Modified") : QString());
  if (!flag) AutosaveMemory();
}

void TMainWin::SetStatus(const QString& text, const QColor& color) {
  FStatusColor = color;
  StatusText->SetText(text, color);
}

QString TMainWin::StatusTextValue() const { return StatusText->Text(); }

void TMainWin::MainMemorySelectCell(int col, int row) {
  const int adr = MainMemory->coor2adr(col, row);
  InspectCell(csMemory, adr);
  QString text = QStringLiteral("Address: %1").arg(adr);
  // A value too wide for its cell is shown whole here too.
  if (!MainMemory->CellTextFits(adr)) text += QStringLiteral(" = ") + MainMemory->CellText(col, row);
  StatusAddress->setText(text);
  StatusAddress->setFixedWidth(std::max(FAddressPanelWidth, StatusAddress->fontMetrics().horizontalAdvance(text) +
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
    DisasmWin->SetTopRow(DisasmRowOf(lastChanged) - 3);
  }
  SyncViews();
}

void TMainWin::SyncViews() {
  for (THexGrid* grid : {MainMemory, Registers, SysRegs}) grid->Refresh();
  const uint64_t seen = FViewGeneration;
  FViewGeneration = FSession->Generation();
  if (FViewGeneration != seen) {
    // Any write of PC counts, also one that put back the value shown: the
    // list then follows PC again.
    const bool pcWritten = FSession->CellGeneration(csSysReg, PCIndex) > seen;
    const int32_t pc = FSession->PC();
    const bool alignmentChanged = ((pc ^ FShownPC) & 1) != 0;
    FShownPC = pc;
    DisasmWin->BeginUpdate();
    if (alignmentChanged) {
      RewriteAllDisasmRows();
    } else {
      FSession->ChangedMemory(seen, FChangedCells);
      std::bitset<MemorySize / 2> rows;
      for (int adr : FChangedCells) rows.set(static_cast<size_t>(DisasmRowOf(adr)));
      for (int row = 0; row < DisasmWin->RowCount(); ++row)
        if (rows.test(static_cast<size_t>(row))) RewriteDisasmRow(row);
    }
    if (pcWritten) PcChanged(pc);
    DisasmWin->EndUpdate();
  }
  FollowOutput();
  UpdateValuePanel();
  ShowSourcePlace();
  // At most one write per autosave delay, also while a run changes the
  // registers many times a second.
  if (FMemoryModified && FMemoryAutosaveTimer && !FMemoryAutosaveTimer->isActive()) FMemoryAutosaveTimer->start();
}

void TMainWin::ClearMainMemory(TEditAction action) {
  int lo = MainMemory->GetSelLo();
  int hi = MainMemory->GetSelHi();
  if (lo < 0 || hi < 0) {
    lo = 0;
    hi = MainMemory->Count() - 1;
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
  TraceWin->StartSection(QStringLiteral("Assembled into memory"), FSession->Executed());
  // The image is in memory, ready to run: the last run's stop no longer
  // describes the machine.
  SetStatus(QStringLiteral("Ready"), Qt::black);
}

void TMainWin::ResetProgramCounter(TEditAction action) {
  std::vector<TCellEdit> cells;
  TSimulator::AppendPCReset(cells);
  UserEdit(action, cells);
}

void TMainWin::BeginDisasmUpdate() { DisasmWin->BeginUpdate(); }

void TMainWin::EndDisasmUpdate() { DisasmWin->EndUpdate(); }
