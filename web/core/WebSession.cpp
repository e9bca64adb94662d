#include "WebSession.h"

#include <algorithm>

#include "machine/Disassembler.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"

namespace {

// About 250,000 instructions of history (an instruction logs three or four
// changes of 8 bytes); a power of two so the ring index is a mask.
constexpr size_t RingCapacity = size_t{1} << 20;
constexpr size_t RingMask = RingCapacity - 1;
// Output beyond what the history can still take back is folded into the
// terminal's base copy in chunks, so the page's memory stays bounded while a
// program prints forever.
constexpr size_t OutputSlack = 1 << 16;

constexpr uint8_t MemoryStore = 0;
constexpr uint8_t RegisterStore = 1;
constexpr uint8_t SysStore = 2;

}  // namespace

TWebSession::TWebSession() : FMachine(FMemory, FRegisters, FSysRegs), FRing(RingCapacity) {
  FMemory.AddListener([this](int adr, int32_t old, int32_t value) { Record(MemoryStore, adr, old, value); });
  FRegisters.AddListener([this](int adr, int32_t old, int32_t value) {
    if (FRestoring) return;
    // Every write of RF is output, also an unchanged one and one the user makes.
    if (adr == RegisterCount - 1) FOutput.push_back(static_cast<char>(value & 0xFF));
    Record(RegisterStore, adr, old, value);
  });
  FSysRegs.AddListener([this](int adr, int32_t old, int32_t value) { Record(SysStore, adr, old, value); });
}

void TWebSession::Record(uint8_t store, int adr, int32_t old, int32_t) {
  if (FRestoring) return;
  if (!FMachine.Executing()) {
    ForgetHistory();
    return;
  }
  if (FSize == RingCapacity) DropOldest();
  FRing[FHead] = TChange{store, static_cast<uint8_t>(adr), old};
  FHead = (FHead + 1) & RingMask;
  ++FSize;
}

void TWebSession::ForgetHistory() {
  FSize = 0;
  FDepth = 0;
  FTrace.clear();
  TrimOutput();
}

// The oldest entry is always a marker: drop it and the changes of its instruction.
void TWebSession::DropOldest() {
  size_t tail = (FHead - FSize) & RingMask;
  do {
    tail = (tail + 1) & RingMask;
    --FSize;
  } while (FSize > 0 && FRing[tail].Store != MarkerStore);
  --FDepth;
}

void TWebSession::TrimOutput() {
  // A step back takes back at most one byte per instruction in the history.
  const size_t keep = static_cast<size_t>(FDepth);
  if (FOutput.size() < keep + 2 * OutputSlack) return;
  const size_t drop = FOutput.size() - keep - OutputSlack;
  // Bytes the terminal has not shown yet still reach it through the base.
  for (size_t i = 0; i < drop; ++i) FTerminalBase.Write(static_cast<unsigned char>(FOutput[i]));
  FOutput.erase(0, drop);
  FOutputBase += static_cast<int64_t>(drop);
  if (FTerminalShown < FOutputBase) {
    FTerminal = FTerminalBase;
    FTerminalShown = FOutputBase;
  }
}

TWebStop TWebSession::Run(int budget) {
  FExecuted = 0;
  FTrace.clear();
  const int count = std::max(budget, 1);
  TWebStop stop = wsBudget;
  while (FExecuted < count) {
    if (FSize == RingCapacity) DropOldest();
    FRing[FHead] = TChange{MarkerStore, 0, 0};
    FHead = (FHead + 1) & RingMask;
    ++FSize;
    ++FDepth;
    const int result = FMachine.ExecuteInstruction();
    ++FExecuted;
    if (result == StepHalt) {
      stop = wsHalt;
      break;
    }
    if (result == StepInvalid) {
      stop = wsInvalid;
      break;
    }
    if (FBreakpoints[static_cast<size_t>(WrapAddress(PC()))]) {
      stop = wsBreakpoint;
      break;
    }
  }
  if (FOutput.size() >= static_cast<size_t>(FDepth) + 2 * OutputSlack) TrimOutput();
  return stop;
}

bool TWebSession::StepBack() {
  if (FDepth == 0) return false;
  FRestoring = true;
  const int64_t outputBefore = OutputCount();
  for (;;) {
    FHead = (FHead - 1) & RingMask;
    --FSize;
    const TChange change = FRing[FHead];
    if (change.Store == MarkerStore) break;
    if (change.Store == MemoryStore) FMemory.SetContents(change.Adr, change.Old);
    if (change.Store == SysStore) FSysRegs.SetContents(change.Adr, change.Old);
    if (change.Store == RegisterStore) {
      FRegisters.SetContents(change.Adr, change.Old);
      if (change.Adr == RegisterCount - 1 && !FOutput.empty()) FOutput.pop_back();
    }
  }
  FRestoring = false;
  --FDepth;
  FTrace.clear();
  if (OutputCount() < outputBefore && FTerminalShown > OutputCount()) {
    // The terminal cannot take a byte back (a byte may have scrolled a line
    // away): it is rebuilt from the base copy and the bytes kept since.
    FTerminal = FTerminalBase;
    FTerminalShown = FOutputBase;
  }
  return true;
}

void TWebSession::SetCell(int adr, int32_t value) { FMemory.SetContents(adr & 0xFF, value); }

void TWebSession::SetRegister(int n, int32_t value) { FRegisters.SetContents(n & 0x0F, value); }

void TWebSession::SetPC(int32_t value) { FSysRegs.SetContents(0, value); }

void TWebSession::LoadMemory(const std::vector<int32_t>& cells) {
  for (int adr = 0; adr < MemorySize && adr < static_cast<int>(cells.size()); ++adr)
    FMemory.SetContents(adr, cells[static_cast<size_t>(adr)]);
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
  if (!FTrace.empty() || FDepth == 0) return FTrace;
  // The changes of the last instruction follow the newest marker.
  size_t index = FHead;
  size_t count = 0;
  do {
    index = (index - 1) & RingMask;
    ++count;
  } while (FRing[index].Store != MarkerStore);
  int32_t oldPC = PC();
  std::string changes;
  for (size_t i = 1; i < count; ++i) {
    const TChange& change = FRing[(index + i) & RingMask];
    // IR is in the text already; a jump writes PC twice, shown once with
    // the value it ended with.
    if (change.Store == SysStore && (change.Adr == IRIndex || i != 1)) continue;
    if (change.Store == SysStore) oldPC = change.Old;
    std::string name;
    int32_t now = 0;
    if (change.Store == MemoryStore) {
      name = "[" + HexText(change.Adr, 2) + "]";
      now = FMemory.GetContents(change.Adr);
    } else if (change.Store == RegisterStore) {
      name = "R" + HexText(change.Adr, 1);
      now = FRegisters.GetContents(change.Adr);
    } else {
      name = "PC";
      now = PC();
    }
    changes += "  " + name + " " + HexText(change.Old, 2) + "->" + HexText(now, 2);
  }
  // From memory as it is now: only an instruction that stores into its own
  // two bytes would read differently, and then the text shows what is there.
  std::string text = Disassemble(FMemory, WrapAddress(oldPC)).Line;
  const size_t comment = text.find(';');
  if (comment != std::string::npos) text.erase(text.find_last_not_of(' ', comment - 1) + 1);
  FTrace = text + " |" + changes;
  return FTrace;
}
