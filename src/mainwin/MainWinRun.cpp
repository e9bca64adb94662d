#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "desktop/Settings.h"
#include "machine/StopWords.h"
#include "mainwin/ClearDialog.h"
#include "mainwin/DisasmList.h"
#include "mainwin/SpeedBar.h"
#include "mainwin/TracePane.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

const QColor RunningColor(0, 128, 0);
const QColor StopColor(255, 0, 0);

// A run executes instructions in slices on the user-interface thread and
// returns to the event loop between them, so repaints and commands (Break,
// Step, edits, closing) are handled within a few milliseconds while nothing
// of the run stays on the stack. The views catch up once per slice.
constexpr std::chrono::milliseconds SliceTime(8);
// The session reads the clock every DeadlineCheckInterval instructions, so a
// slice would end a whole number of those after its start. A loop whose
// period divides that number would then be caught at the same point at
// every frame and look frozen (the terminal of the output test would always
// end in the same characters). So each slice runs on for a pseudo-random
// number of instructions after its deadline.
constexpr unsigned PhaseSpread = TRunPolicy::DeadlineCheckInterval;  // a power of two

uint64_t NextPhaseShift(uint32_t& state) {
  // xorshift32: fast, never zero for a non-zero start.
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return 1 + (state & (PhaseSpread - 1));
}
// While a modal dialog is open the run waits, as it would if the dialog's
// own loop ran inside it; it looks again at this interval.
constexpr int ModalPollMilliseconds = 20;

}  // namespace

void TMainWin::ShowStepResult(TStopReason reason) {
  const QString words = QString::fromStdString(StopWords(StopOf(*FSession, reason)));
  const bool stopped = reason == srHalt || reason == srInvalid || reason == srBreakpoint || reason == srWatch;
  SetStatus(words, stopped ? StopColor : QColor(Qt::black));
}

void TMainWin::TakeTypedCells() {
  const std::pair<THexGrid*, TCellSpace> grids[] = {
      {FMainMemory, csMemory}, {FRegisters, csRegister}, {FSysRegs, csSysReg}};
  for (const auto& [grid, space] : grids) {
    if (!grid->EditorOpen() || !grid->Editor() || grid->Editor()->isHidden()) continue;
    const int adr = grid->coor2adr(grid->EditCol(), grid->EditRow());
    // The grid reads a cell under an open editor as the digits typed.
    const int32_t typed = grid->GetContents(adr);
    if (typed != FSession->Cell(space, adr)) UserEdit(eaCellEdit, {{space, adr, typed}});
  }
}

void TMainWin::StepSimulator() {
  SetStatus(QStringLiteral("Running..."), RunningColor);
  TakeTypedCells();
  // A Break of an earlier run has been handled already.
  FSession->CancelBreak();
  const TStopReason reason = FSession->Step();
  TraceLastStep();
  SyncViews();
  ShowStepResult(reason);
}

void TMainWin::RunSimulator() {
  // A second Run while one is in progress would only end the first one;
  // refuse it instead.
  if (FRunning) return;
  SetStatus(QStringLiteral("Running..."), RunningColor);
  FRunButton->setEnabled(false);
  FBreakButton->setEnabled(true);
  FRunning = true;
  FPaceStart = std::chrono::steady_clock::now();
  FPacing.Restart(FRunSpeed > 0 ? FRunSpeed : 1);
  FSession->CancelBreak();
  SetAnnouncing(false);
  FRunTimer->setInterval(0);
  FRunTimer->start();
}

void TMainWin::RunSlice() {
  if (!FRunning || !FBreakButton->isEnabled()) return;
  if (QApplication::activeModalWidget()) {
    FRunTimer->setInterval(ModalPollMilliseconds);
    return;
  }
  FRunTimer->setInterval(0);
  TakeTypedCells();
  if (FRunSpeed > 0) {
    RunPacedSlice();
    return;
  }
  TRunPolicy slice;
  slice.Deadline = std::chrono::steady_clock::now() + SliceTime;
  TStopReason reason = FSession->Run(slice);
  if (reason == srDeadline) {
    TRunPolicy shift;
    shift.Budget = NextPhaseShift(FClockCheckState);
    reason = FSession->Run(shift);
  }
  SyncViews();
  if (reason == srHalt || reason == srInvalid || reason == srBreak || reason == srBreakpoint || reason == srWatch)
    FinishRun(reason);
}

// A run at a set speed executes the instructions due by now, one at a time
// at the slow speeds so that each is shown (PC row, changed cells, the
// terminal, the trace), and sleeps on the timer until the next is due.
// False when the run ended.
bool TMainWin::RunPacedSlice() {
  using namespace std::chrono;
  const double elapsed = duration<double>(steady_clock::now() - FPaceStart).count();
  const uint64_t due = FPacing.DueBy(elapsed);
  const bool showEach = FPacing.ShowEach();
  while (FPacing.Done() < due) {
    TRunPolicy policy;
    policy.Budget = FPacing.Batch(due);
    const uint64_t before = FSession->Executed();
    const TStopReason reason = FSession->Run(policy);
    FPacing.Count(FSession->Executed() - before);
    if (showEach) TraceLastStep();
    if (showEach || reason != srBudget) SyncViews();
    if (reason != srBudget) {
      FinishRun(reason);
      return false;
    }
  }
  SyncViews();
  const double next = FPacing.NextDelay(elapsed);
  FRunTimer->setInterval(std::max(0, static_cast<int>(next * 1000)));
  return true;
}

void TMainWin::SetRunSpeed(int perSecond) {
  FRunSpeed = perSecond;
  for (QAction* item : FSpeedMenu->actions()) item->setChecked(item->data().toInt() == perSecond);
  if (FSpeedBar) FSpeedBar->ShowSpeed(perSecond);
  FSettings.RunSpeed = perSecond;
  // A change during a run counts from now on.
  FPaceStart = std::chrono::steady_clock::now();
  FPacing.Restart(perSecond > 0 ? perSecond : 1);
  if (FRunning) FRunTimer->setInterval(0);
}

void TMainWin::FinishRun(TStopReason reason) {
  FRunTimer->stop();
  FRunning = false;
  // The instructions run too fast for a line each are counted at the end.
  FTraceWin->CatchUp(FSession->Executed());
  SetAnnouncing(true);
  EndRunToRow();
  ShowStepResult(reason);
  FRunButton->setEnabled(true);
  FBreakButton->setEnabled(false);
}

// The run is between two slices whenever this runs (both are on the
// user-interface thread), so the request ends it here and now; the session
// is told too, for a run that may have started in the same turn.
void TMainWin::BreakSimulator() {
  FSession->RequestBreak();
  FinishRun(srBreak);
}

void TMainWin::ZeroPCClick() { UserEdit(eaCellEdit, {{csSysReg, PCIndex, 0}}); }

void TMainWin::ClearSimulator() {
  TClearDialog dialog(this);
  if (dialog.exec() == QDialog::Accepted) {
    // Whatever is ticked is cleared as one edit: one Undo brings it all back.
    std::vector<TCellEdit> cells;
    const bool memory = dialog.MemChecked->isChecked();
    if (memory)
      for (int adr = 0; adr < MemorySize; ++adr) cells.push_back({csMemory, adr, 0});
    if (dialog.RegChecked->isChecked())
      for (int n = 0; n < RegisterCount; ++n) cells.push_back({csRegister, n, 0});
    if (dialog.PCChecked->isChecked()) cells.push_back({csSysReg, PCIndex, 0});
    const int top = FDisasmWin->TopRow();
    BeginDisasmUpdate();
    UserEdit(eaClear, cells);
    if (memory) {
      FDisasmWin->SetTopRow(top);
      FMainMemory->SetModified(false);
      SetMemoryModified(false);
    }
    EndDisasmUpdate();
  }
  SetStatus(QStringLiteral("Ready"), Qt::black);
}
