#include "machine/Simulator.h"

#include <algorithm>
#include <cassert>

#include "machine/Executor.h"

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
