#include "WebSession.h"

#include <algorithm>

#include "machine/EditWords.h"
#include "machine/Instruction.h"
#include "machine/MemoryClipboard.h"
#include "machine/TraceFormat.h"

namespace {

// Output that no step back can reach any more is folded into the terminal's
// base copy in chunks of at least this size, so a program printing forever
// keeps the page's memory bounded.
constexpr size_t OutputSlack = 1 << 16;

}  // namespace

TWebSession::TWebSession() { FSimulator.SetHistoryLimitBytes(HistoryBytes); }

void TWebSession::SyncOutput() {
  const auto count = static_cast<int64_t>(FSimulator.OutputCount());
  const int64_t mine = OutputCount();
  if (count > mine) {
    FOutput.append(FSimulator.OutputSince(static_cast<uint64_t>(mine)));
  } else if (count < mine) {
    // Kept bytes always cover what the history can take back.
    FOutput.resize(static_cast<size_t>(std::max(count - FOutputBase, int64_t{0})));
    // Only after RestoreTerminal can a step back reach below the base.
    FOutputBase = std::min(FOutputBase, count);
    // The terminal cannot take a byte back (it may have scrolled a line
    // away): it is rebuilt from the base copy and the bytes kept since.
    if (FTerminalShown > count) {
      FTerminal = FTerminalBase;
      FTerminalShown = FOutputBase;
    }
  }
  FSimulator.TakeOutput();
  // Each history record takes back at most one byte.
  const size_t keep = FSimulator.History().Size();
  if (FOutput.size() < keep + 2 * OutputSlack) return;
  const size_t drop = FOutput.size() - keep - OutputSlack;
  for (size_t i = 0; i < drop; ++i) FTerminalBase.Write(static_cast<unsigned char>(FOutput[i]));
  FOutput.erase(0, drop);
  FOutputBase += static_cast<int64_t>(drop);
  // Bytes the terminal had not shown yet reach it through the base.
  if (FTerminalShown < FOutputBase) {
    FTerminal = FTerminalBase;
    FTerminalShown = FOutputBase;
  }
}

TStopReason TWebSession::Run(int budget) {
  const uint64_t before = FSimulator.Executed();
  TRunPolicy policy;
  policy.Budget = static_cast<uint64_t>(std::max(budget, 1));
  const TStopReason reason = FSimulator.Run(policy);
  FExecuted = static_cast<int64_t>(FSimulator.Executed() - before);
  SyncOutput();
  FStop = StopOf(FSimulator, reason);
  TStepTrace trace;
  if (budget == 1 && FExecuted == 1 && FSimulator.LastStep(trace)) {
    // "line 6, NextChar: ..." when the instruction came from the source in memory.
    const std::string place = FDebug.TraceTag(trace.Address);
    const std::string line = FormatTraceLine(trace, FSimulator.RegisterCells());
    FTrace.AddLine(place.empty() ? line : place + ": " + line, FSimulator.Executed());
  }
  const bool stopped = reason == srHalt || reason == srInvalid || reason == srBreakpoint || reason == srWatch;
  return stopped ? reason : srBudget;
}

bool TWebSession::StepBack() {
  const bool done = FSimulator.StepBack();
  SyncOutput();
  if (done) FTrace.TakeBackTo(FSimulator.Executed());
  return done;
}

uint64_t TWebSession::BackToStart() {
  uint64_t undone = 0;
  while (FSimulator.StepBack()) ++undone;
  SyncOutput();
  FTrace.Clear(FSimulator.Executed());
  return undone;
}

void TWebSession::Copy(int lo, int hi) {
  std::vector<int32_t> values = CopyCells(FSimulator.MemoryCells(), lo, hi);
  if (!values.empty()) FClipboard = std::move(values);
}

void TWebSession::Cut(int lo, int hi) {
  if (lo < 0 || hi < 0) return;
  Copy(lo, hi);
  FSimulator.EditMemory(eaCut, lo, std::vector<int32_t>(FClipboard.size(), 0));
}

void TWebSession::Compose(int adr, uint16_t word) {
  FSimulator.Edit(eaComposer, {{csMemory, adr & 0xFF, word >> 8}, {csMemory, (adr + 1) & 0xFF, word & 0xFF}});
}

std::string TWebSession::Paste(int lo, int hi) {
  std::vector<TCellEdit> cells;
  std::string problem = PasteEdits(FClipboard, lo, hi, cells);
  if (problem.empty()) FSimulator.Edit(eaPaste, cells);
  return problem;
}

bool TWebSession::UndoEdit(std::string& words, bool& memoryChanged) {
  words = UndoWords(FSimulator);
  TEditAction action{};
  memoryChanged = false;
  if (!FSimulator.NewestEdit(action)) return false;
  const TMemoryCells before = FSimulator.MemoryCells();
  FSimulator.Undo();
  memoryChanged = FSimulator.MemoryCells() != before;
  SyncOutput();
  return true;
}

bool TWebSession::RedoEdit(std::string& words, bool& memoryChanged) {
  words = RedoWords(FSimulator);
  memoryChanged = false;
  if (!FSimulator.CanRedo()) return false;
  const TMemoryCells before = FSimulator.MemoryCells();
  FSimulator.Redo();
  memoryChanged = FSimulator.MemoryCells() != before;
  SyncOutput();
  return true;
}

void TWebSession::RemoveAllBreakpoints() {
  for (int adr = 0; adr < MemorySize; ++adr) {
    FSimulator.SetBreakpoint(adr, false);
    FSimulator.SetWatch(csMemory, adr, false);
  }
  for (int n = 0; n < RegisterCount; ++n) FSimulator.SetWatch(csRegister, n, false);
}

bool TWebSession::CanStepBack() const {
  const THistory& history = FSimulator.History();
  return !history.Empty() && history.Back().Kind == hkStep;
}

void TWebSession::SetCell(int adr, int32_t value) { FSimulator.SetCell(csMemory, adr, value); }

void TWebSession::SetRegister(int n, int32_t value) {
  FSimulator.SetCell(csRegister, n, value);
  SyncOutput();
}

void TWebSession::SetPC(int32_t value) { FSimulator.SetCell(csSysReg, PCIndex, value); }

void TWebSession::LoadMemory(const std::vector<int32_t>& cells, TEditAction action) {
  FSimulator.LoadMemory(cells, action);
}

void TWebSession::Clear(bool registers, int lo, int hi) {
  if (registers) {
    std::vector<TCellEdit> cells;
    for (int n = 0; n < RegisterCount; ++n) cells.push_back({csRegister, n, 0});
    FSimulator.Edit(eaClear, cells);
    SyncOutput();
    return;
  }
  const int first = std::clamp(std::min(lo, hi), 0, MemorySize - 1);
  const int last = std::clamp(std::max(lo, hi), 0, MemorySize - 1);
  FSimulator.EditMemory(eaClear, first, std::vector<int32_t>(static_cast<size_t>(last - first + 1), 0));
}

TTerminalModel& TWebSession::Terminal() {
  const int64_t end = OutputCount();
  for (int64_t i = FTerminalShown; i < end; ++i)
    FTerminal.Write(static_cast<unsigned char>(FOutput[static_cast<size_t>(i - FOutputBase)]));
  FTerminalShown = end;
  return FTerminal;
}

void TWebSession::RestoreTerminal(std::string_view bytes) {
  TTerminalModel terminal;
  terminal.SetSize(FTerminal.Cols(), FTerminal.Rows());
  for (const char ch : bytes) terminal.Write(static_cast<unsigned char>(ch));
  FTerminalBase = terminal;
  FTerminal = terminal;
  FOutputBase = OutputCount();
  FOutput.clear();
  FTerminalShown = FOutputBase;
}

void TWebSession::SetTerminalSize(int cols, int rows) {
  Terminal();
  FTerminalBase.SetSize(cols, rows);
  FTerminal.SetSize(cols, rows);
}

std::string TWebSession::TraceLine() const {
  TStepTrace trace;
  if (!FSimulator.LastStep(trace)) return "";
  return FormatTraceLine(trace, FSimulator.RegisterCells());
}
