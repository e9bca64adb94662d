#include "WebSession.h"

#include <algorithm>

#include "machine/EditWords.h"
#include "machine/Instruction.h"
#include "machine/MemoryClipboard.h"
#include "machine/TraceFormat.h"

TWebSession::TWebSession() { FSimulator.SetHistoryLimitBytes(HistoryBytes); }

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
  FSimulator.Edit(action, TSimulator::ProgramEdits(cells));
}

void TWebSession::ResetPC() {
  std::vector<TCellEdit> cells;
  TSimulator::AppendPCReset(cells);
  FSimulator.Edit(eaCellEdit, cells);
}

void TWebSession::LoadCaseStart(const std::vector<int32_t>& memory, const std::array<int32_t, RegisterCount>& registers,
                                int32_t pc) {
  std::vector<TCellEdit> edits;
  for (size_t adr = 0; adr < memory.size() && adr < static_cast<size_t>(MemorySize); ++adr)
    edits.push_back({csMemory, static_cast<int>(adr), memory[adr]});
  for (int r = 0; r < RegisterCount; ++r) edits.push_back({csRegister, r, registers[static_cast<size_t>(r)]});
  edits.push_back({csSysReg, PCIndex, pc});
  FSimulator.Edit(eaLoadCase, edits);
  SyncOutput();
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

void TWebSession::RestoreTerminal(std::string_view bytes) {
  SyncOutput();
  FTerminal.StartOver(bytes);
}

void TWebSession::SetTerminalSize(int cols, int rows) {
  SyncOutput();
  FTerminal.SetSize(cols, rows);
}

std::string TWebSession::TraceLine() const {
  TStepTrace trace;
  if (!FSimulator.LastStep(trace)) return "";
  return FormatTraceLine(trace, FSimulator.RegisterCells());
}
