#include "mainwin/MainWin.h"

#include "app/Settings.h"
#include "controls/HexGrid.h"
#include "machine/Machine.h"
#include "mainwin/ClearDialog.h"
#include "mainwin/DisasmList.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor RunningColor(0, 128, 0);
const QColor StopColor(255, 0, 0);

// A run executes instructions in slices on the user-interface thread and
// returns to the event loop between them, so repaints and commands (Break,
// Step, edits, closing) are handled within a few milliseconds while nothing
// of the run stays on the stack. The clock is read every few hundred
// instructions only.
constexpr qint64 SliceMilliseconds = 8;
// A slice ends at a clock check. Were the checks a fixed number of
// instructions apart, a loop whose period divides that number would be
// caught at the same point of the loop at every frame and look frozen (the
// terminal of the output test would always end in the same characters). So
// the distance between checks varies, by a cheap pseudo-random step.
constexpr int MinInstructionsPerClockCheck = 192;
constexpr unsigned ClockCheckSpread = 128;  // a power of two

int NextClockCheckDistance(uint32_t& state) {
  // xorshift32: fast, never zero for a non-zero start.
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return MinInstructionsPerClockCheck + static_cast<int>(state & (ClockCheckSpread - 1));
}
// While a modal dialog is open the run waits, as it would if the dialog's
// own loop ran inside it; it looks again at this interval.
constexpr int ModalPollMilliseconds = 20;

}  // namespace

void TMainWin::ShowStepResult(int result) {
  if (result == StepHalt)
    SetStatus(QStringLiteral("Halted"), StopColor);
  else if (result == StepInvalid)
    SetStatus(QStringLiteral("Invalid instruction"), StopColor);
  else
    SetStatus(QStringLiteral("Ready"), Qt::black);
}

void TMainWin::StepSimulator() {
  SetStatus(QStringLiteral("Running..."), RunningColor);
  ShowStepResult(FMachine->ExecuteInstructions(1));
}

void TMainWin::RunSimulator() {
  // A second Run while one is in progress would only end the first one;
  // refuse it instead.
  if (FRunning) return;
  SetStatus(QStringLiteral("Running..."), RunningColor);
  RunButton->setEnabled(false);
  BreakButton->setEnabled(true);
  FRunning = true;
  SetAnnouncing(false);
  FRunTimer->setInterval(0);
  FRunTimer->start();
}

void TMainWin::RunSlice() {
  if (!FRunning || !BreakButton->isEnabled()) return;
  if (QApplication::activeModalWidget()) {
    FRunTimer->setInterval(ModalPollMilliseconds);
    return;
  }
  FRunTimer->setInterval(0);
  QElapsedTimer clock;
  clock.start();
  int result = StepOk;
  do {
    const int distance = NextClockCheckDistance(FClockCheckState);
    for (int i = 0; i < distance && result == StepOk; ++i) result = FMachine->ExecuteInstruction();
  } while (result == StepOk && !clock.hasExpired(SliceMilliseconds));
  if (result != StepOk) FinishRun(result);
}

void TMainWin::FinishRun(int result) {
  FRunTimer->stop();
  FRunning = false;
  SetAnnouncing(true);
  ShowStepResult(result);
  RunButton->setEnabled(true);
  BreakButton->setEnabled(false);
}

void TMainWin::BreakSimulator() {
  FRunTimer->stop();
  FRunning = false;
  SetAnnouncing(true);
  RunButton->setEnabled(true);
  BreakButton->setEnabled(false);
  SetStatus(QStringLiteral("Ready"), Qt::black);
}

void TMainWin::ZeroPCClick() { SysRegs->SetContents(0, 0); }

void TMainWin::ClearSimulator() {
  TClearDialog dialog(this);
  if (dialog.exec() == QDialog::Accepted) {
    if (dialog.MemChecked->isChecked()) {
      const int top = DisasmWin->TopRow();
      BeginDisasmUpdate();
      for (int adr = 0; adr < MainMemory->Count(); ++adr) MainMemory->SetContents(adr, 0);
      DisasmWin->SetTopRow(top);
      EndDisasmUpdate();
      MainMemory->SetModified(false);
      SetMemoryModified(false);
    }
    if (dialog.RegChecked->isChecked()) ClearRegisters();
    if (dialog.PCChecked->isChecked()) SysRegs->SetContents(0, 0);
  }
  SetStatus(QStringLiteral("Ready"), Qt::black);
}
