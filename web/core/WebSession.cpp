#include "WebSession.h"

#include <algorithm>

#include "machine/Disassembler.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"

namespace {

// Output older than the oldest checkpoint can no longer be taken back; it is
// folded into the terminal's base copy in chunks of at least this size, so a
// program printing forever keeps the page's memory bounded.
constexpr size_t OutputSlack = 1 << 16;

template <class TArray>
void CopyInto(TArray& target, const TCellStore& store) {
  for (size_t i = 0; i < target.size(); ++i) target[i] = store.GetContents(static_cast<int>(i));
}

template <class TArray>
void CopyFrom(TCellStore& store, const TArray& source) {
  for (size_t i = 0; i < source.size(); ++i) store.SetContents(static_cast<int>(i), source[i]);
}

}  // namespace

TWebSession::TWebSession()
    : FMachine(FMemory, FRegisters, FSysRegs), FScratch(FScratchMemory, FScratchRegisters, FScratchSysRegs) {
  // Every write of RF is output, also an unchanged one and one the user makes.
  FRegisters.AddListener([this](int adr, int32_t, int32_t value) {
    if (adr == RegisterCount - 1 && !FRestoring) FOutput.push_back(static_cast<char>(value & 0xFF));
  });
  FScratchRegisters.AddListener([this](int adr, int32_t, int32_t value) {
    if (adr == RegisterCount - 1) FScratchOutput = value & 0xFF;
  });
}

TWebSession::TSnapshot TWebSession::Take() const {
  TSnapshot snapshot;
  CopyInto(snapshot.Memory, FMemory);
  CopyInto(snapshot.Registers, FRegisters);
  CopyInto(snapshot.SysRegs, FSysRegs);
  snapshot.Output = OutputCount();
  snapshot.Index = FIndex;
  return snapshot;
}

void TWebSession::Restore(const TSnapshot& snapshot) {
  FRestoring = true;
  CopyFrom(FMemory, snapshot.Memory);
  CopyFrom(FRegisters, snapshot.Registers);
  CopyFrom(FSysRegs, snapshot.SysRegs);
  FRestoring = false;
  FOutput.resize(static_cast<size_t>(snapshot.Output - FOutputBase));
  FIndex = snapshot.Index;
}

const TWebSession::TSnapshot& TWebSession::CheckpointBefore(int64_t index) const {
  auto it = FCheckpoints.rbegin();
  while (it + 1 != FCheckpoints.rend() && it->Index > index) ++it;
  return *it;
}

void TWebSession::ReplayTo(int64_t index) {
  while (FCheckpoints.size() > 1 && FCheckpoints.back().Index > index) FCheckpoints.pop_back();
  Restore(FCheckpoints.back());
  // Results do not matter here: a halt in the middle of the history is one
  // the user ran past.
  while (FIndex < index) {
    FMachine.ExecuteInstruction();
    ++FIndex;
  }
  // The terminal cannot take a byte back (it may have scrolled a line away):
  // it is rebuilt from the base copy and the bytes kept since.
  if (FTerminalShown > OutputCount()) {
    FTerminal = FTerminalBase;
    FTerminalShown = FOutputBase;
  }
}

void TWebSession::Checkpoint() {
  FCheckpoints.push_back(Take());
  if (FCheckpoints.size() > MaxCheckpoints) FCheckpoints.pop_front();
  TrimOutput();
}

void TWebSession::ForgetHistory() {
  FCheckpoints.clear();
  FIndex = 0;
  FTraceIndex = -1;
  TrimOutput();
}

void TWebSession::TrimOutput() {
  const int64_t keepFrom = FCheckpoints.empty() ? OutputCount() : FCheckpoints.front().Output;
  const auto drop = static_cast<size_t>(keepFrom - FOutputBase);
  if (drop < OutputSlack) return;
  for (size_t i = 0; i < drop; ++i) FTerminalBase.Write(static_cast<unsigned char>(FOutput[i]));
  FOutput.erase(0, drop);
  FOutputBase += static_cast<int64_t>(drop);
  // Bytes the terminal had not shown yet reach it through the base.
  if (FTerminalShown < FOutputBase) {
    FTerminal = FTerminalBase;
    FTerminalShown = FOutputBase;
  }
}

int TWebSession::StepsUntilStop(int64_t limit, TWebStop& stop) {
  for (int64_t i = 0; i < limit; ++i) {
    const int result = FMachine.ExecuteInstruction();
    if (result == StepHalt) stop = wsHalt;
    if (result == StepInvalid) stop = wsInvalid;
    if (result == StepOk && FBreakpointCount > 0 && FBreakpoints[static_cast<size_t>(WrapAddress(PC()))])
      stop = wsBreakpoint;
    if (stop != wsBudget) return static_cast<int>(i + 1);
  }
  return static_cast<int>(limit);
}

TWebStop TWebSession::Run(int budget) {
  FExecuted = 0;
  const int64_t count = std::max(budget, 1);
  TWebStop stop = wsBudget;
  while (FExecuted < count && stop == wsBudget) {
    if (FCheckpoints.empty() || (FIndex % CheckpointInterval == 0 && FCheckpoints.back().Index != FIndex)) Checkpoint();
    // Chunks end at checkpoint boundaries.
    const int64_t chunk = std::min(count - FExecuted, CheckpointInterval - FIndex % CheckpointInterval);
    int64_t done = 0;
    if (FBreakpointCount == 0) {
      if (FMachine.ExecuteInstructions(static_cast<int>(chunk)) == StepOk) {
        done = chunk;
      } else {
        // The executor does not say where in the chunk it stopped: run the
        // chunk again one instruction at a time.
        ReplayTo(FIndex);
        done = StepsUntilStop(chunk, stop);
      }
    } else {
      done = StepsUntilStop(chunk, stop);
    }
    FIndex += done;
    FExecuted += done;
  }
  return stop;
}

bool TWebSession::StepBack() {
  if (HistoryDepth() == 0) return false;
  ReplayTo(FIndex - 1);
  return true;
}

int64_t TWebSession::HistoryDepth() const { return FCheckpoints.empty() ? 0 : FIndex - FCheckpoints.front().Index; }

void TWebSession::SetCell(int adr, int32_t value) {
  ForgetHistory();
  FMemory.SetContents(adr & 0xFF, value);
}

void TWebSession::SetRegister(int n, int32_t value) {
  ForgetHistory();
  FRegisters.SetContents(n & 0x0F, value);
}

void TWebSession::SetPC(int32_t value) {
  ForgetHistory();
  FSysRegs.SetContents(PCIndex, value);
}

void TWebSession::LoadMemory(const std::vector<int32_t>& cells) {
  ForgetHistory();
  for (int adr = 0; adr < MemorySize && adr < static_cast<int>(cells.size()); ++adr)
    FMemory.SetContents(adr, cells[static_cast<size_t>(adr)]);
}

void TWebSession::SetBreakpoint(int adr, bool on) {
  const auto index = static_cast<size_t>(adr & 0xFF);
  if (FBreakpoints[index] == on) return;
  FBreakpoints[index] = on;
  FBreakpointCount += on ? 1 : -1;
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

const std::string& TWebSession::TraceLine() {
  if (FTraceIndex == FIndex) return FTrace;
  FTraceIndex = FIndex;
  FTrace.clear();
  if (HistoryDepth() == 0) return FTrace;
  const TSnapshot& checkpoint = CheckpointBefore(FIndex - 1);
  CopyFrom(FScratchMemory, checkpoint.Memory);
  CopyFrom(FScratchRegisters, checkpoint.Registers);
  CopyFrom(FScratchSysRegs, checkpoint.SysRegs);
  for (int64_t i = checkpoint.Index; i < FIndex - 1; ++i) FScratch.ExecuteInstruction();
  TSnapshot before;
  CopyInto(before.Memory, FScratchMemory);
  CopyInto(before.Registers, FScratchRegisters);
  CopyInto(before.SysRegs, FScratchSysRegs);
  FScratchOutput = -1;
  FScratch.ExecuteInstruction();

  std::string text = Disassemble(FScratchMemory, WrapAddress(before.SysRegs[PCIndex])).Line;
  // The same text as the disassembly list, without the comment column.
  const size_t comment = text.find(';');
  if (comment != std::string::npos) text.erase(text.find_last_not_of(' ', comment - 1) + 1);
  // From memory after the instruction: only one that stores into its own
  // bytes reads differently, and then the text shows what is there now.
  auto change = [&text](const std::string& name, int32_t old, int32_t now) {
    text += "  " + name + " " + HexText(old, 2) + "->" + HexText(now, 2);
  };
  text += " |";
  change("PC", before.SysRegs[PCIndex], PC());
  for (int n = 0; n < RegisterCount; ++n)
    if (before.Registers[static_cast<size_t>(n)] != Register(n))
      change("R" + HexText(n, 1), before.Registers[static_cast<size_t>(n)], Register(n));
  for (int adr = 0; adr < MemorySize; ++adr)
    if (before.Memory[static_cast<size_t>(adr)] != Cell(adr))
      change("[" + HexText(adr, 2) + "]", before.Memory[static_cast<size_t>(adr)], Cell(adr));
  if (FScratchOutput >= 0) text += "  out " + HexText(FScratchOutput, 2);
  FTrace = text;
  return FTrace;
}
