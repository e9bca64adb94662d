#include "machine/Simulator.h"

#include <algorithm>
#include <cassert>

#include "machine/Executor.h"

namespace {

constexpr int OutputRegister = RegisterCount - 1;

}  // namespace

// The executor's view of a session during one chunk of a run. PC and IR live
// in locals and go back into the session when the chunk ends; nothing else
// reads them meanwhile. Everything else is reached through the one session
// reference, so the hot loop keeps a single base register for all arrays.
// Record adds the history record of each instruction, Checks the watch test
// of each write.
template <bool Record, bool Checks>
struct TSimulator::TRunState {
  TSimulator& S;
  int32_t Pc;
  int32_t Ir;
  uint64_t Gen = 0;  // the generation of the instruction executing
  // The record of the instruction executing, built in registers and stored
  // whole once it is complete: one wide store instead of six narrow ones.
  THistoryRecord Rec{hkStep, csNone, 0, 0, 0, 0, 0};
  bool Watched = false;

  int32_t PC() const { return Pc; }
  int32_t Memory(int adr) const { return S.FMemory[static_cast<size_t>(adr)]; }
  int32_t Register(int n) const { return S.FRegisters[static_cast<size_t>(n)]; }
  void Fetched(int32_t pc, int32_t ir) {
    if constexpr (Record) {
      Rec = {hkStep, csNone, 0, 0, Pc, Ir, 0};
    }
    Pc = pc;
    Ir = ir;
  }
  void Effect(TCellSpace space, int address, int32_t old) {
    if constexpr (Record) {
      Rec.Space = space;
      Rec.Address = static_cast<uint8_t>(address);
      Rec.OldValue = old;
    }
  }
  void SetRegister(int n, int32_t value) {
    const auto i = static_cast<size_t>(n);
    Effect(csRegister, n, S.FRegisters[i]);
    S.FRegisters[i] = value;
    S.FRegisterGenerations[i] = Gen;
    if (n == OutputRegister) [[unlikely]]
      S.FOutput.push_back(static_cast<char>(value & 0xFF));
    if constexpr (Checks) Watched = Watched || S.FWatchedRegisters[i];
  }
  void SetMemory(int adr, int32_t value) {
    const auto i = static_cast<size_t>(adr);
    Effect(csMemory, adr, S.FMemory[i]);
    S.FMemory[i] = value;
    S.FMemoryGenerations[i] = Gen;
    // An instruction starting here or one cell before has a byte here.
    S.FDecoded[i].Kind = dkUndecoded;
    S.FDecoded[static_cast<size_t>((adr - 1) & 0xFF)].Kind = dkUndecoded;
    if constexpr (Checks) Watched = Watched || S.FWatchedMemory[i];
  }
  void Jump(int target) {
    Effect(csSysReg, PCIndex, Pc);
    Pc = target;
  }
};

TSimulator::TSimulator() = default;

int32_t TSimulator::Cell(TCellSpace space, int address) const {
  switch (space) {
    case csMemory: return Memory(address);
    case csRegister: return Register(address);
    case csSysReg: return SysReg(address);
    case csNone: break;
  }
  return 0;
}

void TSimulator::Reset() {
  FMemory.fill(0);
  FDecoded.fill(TDecoded{});
  FRegisters.fill(0);
  FSysRegs.fill(0);
  ++FGeneration;
  FMemoryGenerations.fill(FGeneration);
  FRegisterGenerations.fill(FGeneration);
  FSysRegGenerations.fill(FGeneration);
  FExecuted = 0;
  FOutput.clear();
  FOutputTaken = 0;
  FHistory.Clear();
  FRedo.clear();
  FMemoryModified = false;
}

// --- user edits

void TSimulator::WriteCell(TCellSpace space, int address, int32_t value) {
  switch (space) {
    case csMemory:
      FMemory[static_cast<size_t>(address)] = value;
      FMemoryGenerations[static_cast<size_t>(address)] = FGeneration;
      FDecoded[static_cast<size_t>(address)].Kind = dkUndecoded;
      FDecoded[static_cast<size_t>((address - 1) & 0xFF)].Kind = dkUndecoded;
      break;
    case csRegister:
      FRegisters[static_cast<size_t>(address)] = value;
      FRegisterGenerations[static_cast<size_t>(address)] = FGeneration;
      break;
    case csSysReg:
      FSysRegs[static_cast<size_t>(address)] = value;
      FSysRegGenerations[static_cast<size_t>(address)] = FGeneration;
      break;
    case csNone: break;
  }
}

void TSimulator::Edit(TEditAction action, const std::vector<TCellEdit>& cells) {
  // A new edit starts a new line of changes: what was undone before can no
  // longer be redone on top of it.
  FRedo.clear();
  ApplyEdit(action, cells);
}

bool TSimulator::Redo() {
  if (FRedo.empty()) return false;
  const TRedoEdit edit = std::move(FRedo.back());
  FRedo.pop_back();
  ApplyEdit(edit.Action, edit.Cells);
  return true;
}

void TSimulator::ApplyEdit(TEditAction action, const std::vector<TCellEdit>& cells) {
  // Only what changes is recorded, except RF: each write of it is output.
  std::vector<THistoryRecord> records;
  records.reserve(cells.size());
  ++FGeneration;
  for (const TCellEdit& edit : cells) {
    if (edit.Space == csNone) continue;
    const int address = edit.Space == csMemory     ? WrapAddress(edit.Address)
                        : edit.Space == csRegister ? (edit.Address & 0x0F)
                                                   : (edit.Address & 1);
    const int32_t old = Cell(edit.Space, address);
    const bool output = edit.Space == csRegister && address == OutputRegister;
    if (old == edit.Value && !output) continue;
    records.push_back(
        {hkEditCell, edit.Space, static_cast<uint8_t>(address), static_cast<uint8_t>(output), old, 0, edit.Value});
    WriteCell(edit.Space, address, edit.Value);
    if (edit.Space == csMemory) FMemoryModified = true;
    if (output) FOutput.push_back(static_cast<char>(edit.Value & 0xFF));
  }
  // An edit that changes nothing is not worth an Undo, except clearing the
  // terminal, which changes only what the window shows.
  if (records.empty() && action != eaClearOutput) return;
  if (records.size() + 2 > THistory::ChunkRecords) {
    // Larger than any edit a student can make: too big to keep, and the
    // history before it no longer leads to this state.
    FHistory.Clear();
    return;
  }
  THistoryRecord* place = FHistory.ReserveWhole(records.size() + 2);
  place[0] = {hkEditBegin, csNone, 0, action, 0, 0, 0};
  std::copy(records.begin(), records.end(), place + 1);
  place[records.size() + 1] = {hkEditEnd, csNone, 0, action, 0, 0, 0};
  FHistory.Commit(records.size() + 2);
}

void TSimulator::SetCell(TCellSpace space, int address, int32_t value, TEditAction action) {
  Edit(action, {{space, address, value}});
}

void TSimulator::EditMemory(TEditAction action, int address, const std::vector<int32_t>& values) {
  std::vector<TCellEdit> cells;
  cells.reserve(values.size());
  for (size_t i = 0; i < values.size(); ++i)
    cells.push_back({csMemory, WrapAddress(address + static_cast<int>(i)), values[i]});
  Edit(action, cells);
}

void TSimulator::LoadMemory(const std::vector<int32_t>& cells, TEditAction action) {
  std::vector<int32_t> all(MemorySize, 0);
  std::copy_n(cells.begin(), std::min(cells.size(), all.size()), all.begin());
  EditMemory(action, 0, all);
}

void TSimulator::AppendPCReset(std::vector<TCellEdit>& cells) {
  cells.push_back({csSysReg, PCIndex, 2});
  cells.push_back({csSysReg, PCIndex, 0});
}

std::vector<TCellEdit> TSimulator::ProgramEdits(const std::vector<int32_t>& cells) {
  std::vector<TCellEdit> edits;
  const size_t count = std::min(cells.size(), static_cast<size_t>(MemorySize));
  edits.reserve(count + 2);
  for (size_t adr = 0; adr < count; ++adr) edits.push_back({csMemory, static_cast<int>(adr), cells[adr]});
  AppendPCReset(edits);
  return edits;
}

// --- running

void TSimulator::SetBreakpoint(int address, bool on) {
  FBreakpoints[static_cast<size_t>(WrapAddress(address))] = on;
  UpdateChecks();
}

void TSimulator::SetWatch(TCellSpace space, int address, bool on) {
  if (space == csMemory) FWatchedMemory[static_cast<size_t>(WrapAddress(address))] = on;
  if (space == csRegister) FWatchedRegisters[static_cast<size_t>(address & 0x0F)] = on;
  UpdateChecks();
}

bool TSimulator::Watched(TCellSpace space, int address) const {
  if (space == csMemory) return FWatchedMemory[static_cast<size_t>(WrapAddress(address))];
  if (space == csRegister) return FWatchedRegisters[static_cast<size_t>(address & 0x0F)];
  return false;
}

void TSimulator::UpdateChecks() {
  auto any = [](const auto& flags) { return std::find(flags.begin(), flags.end(), true) != flags.end(); };
  FChecks = any(FBreakpoints) || any(FWatchedMemory) || any(FWatchedRegisters);
}

template <bool Record, bool Checks, bool Decoded>
uint64_t TSimulator::ExecuteChunk(uint64_t count, bool skipBreakpoint, TStopReason& reason) {
  TRunState<Record, Checks> state{*this, FSysRegs[PCIndex], FSysRegs[IRIndex]};
  THistoryRecord* records = nullptr;
  if constexpr (Record) {
    size_t granted = 0;
    records = FHistory.Reserve(static_cast<size_t>(count), granted);
    count = granted;
  }
  const uint64_t firstGen = FGeneration + 1;
  uint64_t done = 0;
  int result = StepOk;
  while (done < count) {
    const int pc = WrapAddress(state.Pc);
    if constexpr (Checks) {
      if (FBreakpoints[static_cast<size_t>(pc)] && !(skipBreakpoint && done == 0)) {
        reason = srBreakpoint;
        break;
      }
    }
    state.Gen = firstGen + done;
    if constexpr (Decoded) {
      // A copy: the instruction may store over its own bytes, which
      // invalidates the entry while it executes.
      TDecoded decoded = FDecoded[static_cast<size_t>(pc)];
      if (decoded.Kind == dkUndecoded) [[unlikely]] {
        decoded = DecodeInstruction(FMemory[static_cast<size_t>(pc)], FMemory[static_cast<size_t>((pc + 1) & 0xFF)]);
        FDecoded[static_cast<size_t>(pc)] = decoded;
      }
      result = ExecuteDecoded(decoded, pc, state);
    } else {
      result = ExecuteStep(state);
    }
    if constexpr (Record) records[done] = state.Rec;
    ++done;
    if (result != StepOk) {
      reason = result == StepHalt ? srHalt : srInvalid;
      break;
    }
    if constexpr (Checks) {
      if (state.Watched) {
        reason = srWatch;
        break;
      }
    }
  }
  if constexpr (Record) {
    FHistory.Commit(static_cast<size_t>(done));
  } else if (done > 0) {
    // The recorded past no longer leads to this state: undoing it would mix
    // old cells with new ones.
    FHistory.Clear();
  }
  FSysRegs[PCIndex] = state.Pc;
  FSysRegs[IRIndex] = state.Ir;
  FGeneration += done;
  if (done > 0) FSysRegGenerations.fill(FGeneration);
  FExecuted += done;
  return done;
}

template <bool Record, bool Checks>
uint64_t TSimulator::ExecuteChunk(uint64_t count, bool skipBreakpoint, TStopReason& reason) {
  return FDecoding ? ExecuteChunk<Record, Checks, true>(count, skipBreakpoint, reason)
                   : ExecuteChunk<Record, Checks, false>(count, skipBreakpoint, reason);
}

TStopReason TSimulator::Run(const TRunPolicy& policy) {
  const bool unreported = FUnreportedBreakpoint && FUnreportedGeneration == FGeneration;
  const uint64_t before = FExecuted;
  TStopReason reason = RunChunks(policy, unreported);
  if (reason == srBreakpoint) {
    FUnreportedBreakpoint = false;
    return reason;
  }
  // Nothing executed: whatever was reached is still ahead of the next call.
  if (FExecuted == before) return reason;
  if (reason == srBudget || reason == srDeadline) {
    // A call that stops for its caller (a slice of a longer run, a traced
    // step) reports what the next instruction would have been stopped by,
    // so that the next call, which starts by executing, does not miss it.
    if (policy.StepLimit != 0 && FExecuted >= policy.StepLimit) return srStepLimit;
    if (FChecks && Breakpoint(PC())) reason = srBreakpoint;
    return reason;
  }
  FUnreportedBreakpoint = FChecks && Breakpoint(PC());
  FUnreportedGeneration = FGeneration;
  return reason;
}

TStopReason TSimulator::RunChunks(const TRunPolicy& policy, bool checkFirst) {
  uint64_t done = 0;
  for (;;) {
    if (FBreakRequested.exchange(false, std::memory_order_relaxed)) return srBreak;
    if (policy.Deadline && done > 0 && std::chrono::steady_clock::now() >= *policy.Deadline) return srDeadline;
    uint64_t chunk = policy.Deadline ? TRunPolicy::DeadlineCheckInterval : BreakCheckInterval;
    if (policy.Budget != 0) {
      if (done >= policy.Budget) return srBudget;
      chunk = std::min(chunk, policy.Budget - done);
    }
    if (policy.StepLimit != 0) {
      if (FExecuted >= policy.StepLimit) return srStepLimit;
      chunk = std::min(chunk, policy.StepLimit - FExecuted);
    }
    TStopReason reason = srBudget;
    const bool skip = done == 0 && !checkFirst;
    uint64_t ran = 0;
    if (FRecording) {
      ran = FChecks ? ExecuteChunk<true, true>(chunk, skip, reason) : ExecuteChunk<true, false>(chunk, skip, reason);
    } else {
      ran = FChecks ? ExecuteChunk<false, true>(chunk, skip, reason) : ExecuteChunk<false, false>(chunk, skip, reason);
    }
    done += ran;
    if (reason != srBudget) return reason;
  }
}

TStopReason TSimulator::Step() {
  // A step executes the instruction at PC whatever was reached before.
  FUnreportedBreakpoint = false;
  TRunPolicy policy;
  policy.Budget = 1;
  return Run(policy);
}

// --- output

std::string_view TSimulator::OutputSince(uint64_t position) const {
  if (position < FOutputTaken) position = FOutputTaken;
  const uint64_t offset = position - FOutputTaken;
  if (offset >= FOutput.size()) return {};
  return std::string_view(FOutput).substr(static_cast<size_t>(offset));
}

std::string TSimulator::TakeOutput() {
  FOutputTaken += FOutput.size();
  std::string taken;
  taken.swap(FOutput);
  return taken;
}

std::string TSimulator::TakeOutput(size_t count) {
  if (count >= FOutput.size()) return TakeOutput();
  std::string taken = FOutput.substr(0, count);
  FOutput.erase(0, count);
  FOutputTaken += count;
  return taken;
}

void TSimulator::PopOutput() {
  // A byte already taken cannot be called back; only the count goes back.
  if (!FOutput.empty()) {
    FOutput.pop_back();
  } else if (FOutputTaken > 0) {
    --FOutputTaken;
  }
}

// --- change tracking

uint64_t TSimulator::CellGeneration(TCellSpace space, int address) const {
  switch (space) {
    case csMemory: return FMemoryGenerations[static_cast<size_t>(WrapAddress(address))];
    case csRegister: return FRegisterGenerations[static_cast<size_t>(address & 0x0F)];
    case csSysReg: return FSysRegGenerations[static_cast<size_t>(address & 1)];
    case csNone: break;
  }
  return 0;
}

void TSimulator::ChangedMemory(uint64_t since, std::vector<int>& changed) const {
  changed.clear();
  for (int adr = 0; adr < MemorySize; ++adr)
    if (FMemoryGenerations[static_cast<size_t>(adr)] > since) changed.push_back(adr);
}

// --- history

void TSimulator::UndoStep(const THistoryRecord& record) {
  // Newest write first: the effect (possibly a jump), then IR, then PC.
  const auto space = static_cast<TCellSpace>(record.Space);
  if (space == csRegister && record.Address == OutputRegister) PopOutput();
  if (space != csNone) WriteCell(space, record.Address, record.OldValue);
  WriteCell(csSysReg, IRIndex, record.OldIR);
  WriteCell(csSysReg, PCIndex, record.OldPC);
  --FExecuted;
}

void TSimulator::UndoEditCell(const THistoryRecord& record) {
  if (record.Extra != 0) PopOutput();
  WriteCell(static_cast<TCellSpace>(record.Space), record.Address, record.OldPC);
}

TUndone TSimulator::Undo() {
  if (FHistory.Empty()) return udNothing;
  ++FGeneration;
  const THistoryRecord last = FHistory.Back();
  FHistory.PopBack();
  if (last.Kind == hkStep) {
    UndoStep(last);
    return udStep;
  }
  assert(last.Kind == hkEditEnd);
  // The values the edit wrote are the ones the cells hold now; they are
  // kept, in the order written, so that Redo can write them again.
  TRedoEdit redo;
  redo.Action = static_cast<TEditAction>(last.Extra);
  while (!FHistory.Empty() && FHistory.Back().Kind == hkEditCell) {
    const THistoryRecord& cell = FHistory.Back();
    const auto space = static_cast<TCellSpace>(cell.Space);
    redo.Cells.push_back({space, cell.Address, Cell(space, cell.Address)});
    UndoEditCell(cell);
    FHistory.PopBack();
  }
  assert(!FHistory.Empty() && FHistory.Back().Kind == hkEditBegin);
  if (!FHistory.Empty()) FHistory.PopBack();
  std::reverse(redo.Cells.begin(), redo.Cells.end());
  FRedo.push_back(std::move(redo));
  return udEdit;
}

bool TSimulator::NewestEdit(TEditAction& action) const {
  if (FHistory.Empty() || FHistory.Back().Kind != hkEditEnd) return false;
  action = static_cast<TEditAction>(FHistory.Back().Extra);
  return true;
}

uint64_t TSimulator::StepsBack() const {
  size_t index = FHistory.Size();
  while (index > 0 && FHistory.At(index - 1).Kind == hkStep) --index;
  return FHistory.Size() - index;
}

bool TSimulator::StepBack() {
  if (FHistory.Empty() || FHistory.Back().Kind != hkStep) return false;
  return Undo() == udStep;
}

bool TSimulator::UndoTo(uint64_t position) {
  if (position < FHistory.FirstPosition()) return false;
  while (FHistory.EndPosition() > position && Undo() != udNothing) {
  }
  return true;
}

bool TSimulator::LastStep(TStepTrace& trace) const {
  if (FHistory.Empty() || FHistory.Back().Kind != hkStep) return false;
  const THistoryRecord& record = FHistory.Back();
  const auto space = static_cast<TCellSpace>(record.Space);
  trace.Address = WrapAddress(record.OldPC);
  // The instruction may have overwritten its own cells.
  auto fetched = [&](int adr) { return space == csMemory && record.Address == adr ? record.OldValue : Memory(adr); };
  trace.First = fetched(trace.Address);
  trace.Second = fetched((trace.Address + 1) & 0xFF);
  const bool jumped = space == csSysReg;
  const int32_t pcAfterFetch = jumped ? record.OldValue : PC();
  trace.Writes.clear();
  trace.Writes.push_back({csSysReg, PCIndex, record.OldPC, pcAfterFetch});
  trace.Writes.push_back({csSysReg, IRIndex, record.OldIR, IR()});
  if (space != csNone) trace.Writes.push_back({space, record.Address, record.OldValue, Cell(space, record.Address)});
  trace.HasOutput = space == csRegister && record.Address == OutputRegister;
  trace.Output = static_cast<uint8_t>(trace.HasOutput ? Register(OutputRegister) & 0xFF : 0);
  return true;
}
