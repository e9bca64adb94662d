#include "WebSession.h"

#include <algorithm>

#include "machine/Disassembler.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"

namespace {

// Output that no step back can reach any more is folded into the terminal's
// base copy in chunks of at least this size, so a program printing forever
// keeps the page's memory bounded.
constexpr size_t OutputSlack = 1 << 16;

std::string CellName(TCellSpace space, int address) {
  switch (space) {
    case csMemory: return "[" + HexText(address, 2) + "]";
    case csRegister: return "R" + HexText(address, 1);
    case csSysReg: return address == PCIndex ? "PC" : "IR";
    case csNone: break;
  }
  return "";
}

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

TWebStop TWebSession::Run(int budget) {
  const uint64_t before = FSimulator.Executed();
  TRunPolicy policy;
  policy.Budget = static_cast<uint64_t>(std::max(budget, 1));
  const TStopReason reason = FSimulator.Run(policy);
  FExecuted = static_cast<int64_t>(FSimulator.Executed() - before);
  SyncOutput();
  switch (reason) {
    case srHalt: return wsHalt;
    case srInvalid: return wsInvalid;
    case srBreakpoint: return wsBreakpoint;
    default: return wsBudget;
  }
}

bool TWebSession::StepBack() {
  const bool done = FSimulator.StepBack();
  SyncOutput();
  return done;
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

void TWebSession::SetTerminalSize(int cols, int rows) {
  Terminal();
  FTerminalBase.SetSize(cols, rows);
  FTerminal.SetSize(cols, rows);
}

std::string TWebSession::TraceLine() const {
  TStepTrace trace;
  if (!FSimulator.LastStep(trace)) return "";
  // The instruction as it was fetched, in the disassembly list's words
  // without the comment column.
  TMemoryCells fetched{};
  fetched[static_cast<size_t>(trace.Address)] = trace.First;
  fetched[static_cast<size_t>((trace.Address + 1) & 0xFF)] = trace.Second;
  std::string text = Disassemble(fetched, trace.Address).Line;
  const size_t comment = text.find(';');
  if (comment != std::string::npos) text.erase(text.find_last_not_of(' ', comment - 1) + 1);
  text += " |";
  // PC as it ended (a jump writes it twice), IR left out: the text shows it.
  int32_t finalPC = PC();
  bool pcShown = false;
  for (const TTraceWrite& write : trace.Writes) {
    if (write.Space == csSysReg && write.Address == IRIndex) continue;
    if (write.Space == csSysReg && write.Address == PCIndex) {
      if (pcShown) continue;
      pcShown = true;
      text += "  PC " + HexText(write.Old, 2) + "->" + HexText(finalPC, 2);
      continue;
    }
    text += "  " + CellName(write.Space, write.Address) + " " + HexText(write.Old, 2) + "->" + HexText(write.New, 2);
  }
  if (trace.HasOutput) text += "  out " + HexText(trace.Output, 2);
  return text;
}
