#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine/Executor.h"
#include "machine/History.h"
#include "machine/Instruction.h"
#include "machine/RunPolicy.h"
#include "machine/StepTrace.h"

// The user edits the history tells apart, so that an undo can name them.
enum TEditAction : uint8_t {
  eaCellEdit,  // a value typed into a grid cell
  eaClear,
  eaPaste,
  eaCut,
  eaComposer,
  eaAssemble,  // the editor's image assembled into memory
  eaLoadFile,
  eaLoadCase,  // an exercise case's start, to debug it
  // The output terminal emptied by the student: an edit of no cells, so
  // that Undo brings the text back in its turn with the other edits.
  eaClearOutput,
};

// One cell a user edit writes.
struct TCellEdit {
  TCellSpace Space = csMemory;
  int Address = 0;
  int32_t Value = 0;
};

// A user edit as Redo applies it again.
struct TRedoEdit {
  TEditAction Action = eaCellEdit;
  std::vector<TCellEdit> Cells;
};

// What Undo took back.
enum TUndone : uint8_t { udNothing, udStep, udEdit };

// A simulator session: the whole state of the machine (256 memory cells,
// R0..RF, PC and IR, each a 32-bit cell as a program file may hold any value),
// the output port, the run policy, change tracking for views and the history
// of every change. Plain C++; the window, orvik-cli and the tests are its
// users. Not thread-safe, except RequestBreak.
class TSimulator {
 public:
  TSimulator();
  TSimulator(const TSimulator&) = delete;
  TSimulator& operator=(const TSimulator&) = delete;

  // --- state
  int32_t Memory(int adr) const { return FMemory[static_cast<size_t>(WrapAddress(adr))]; }
  int32_t Register(int n) const { return FRegisters[static_cast<size_t>(n & 0x0F)]; }
  int32_t PC() const { return FSysRegs[PCIndex]; }
  int32_t IR() const { return FSysRegs[IRIndex]; }
  int32_t SysReg(int index) const { return FSysRegs[static_cast<size_t>(index & 1)]; }
  int32_t Cell(TCellSpace space, int address) const;
  const std::array<int32_t, MemorySize>& MemoryCells() const { return FMemory; }
  const std::array<int32_t, RegisterCount>& RegisterCells() const { return FRegisters; }

  // Everything back to zero: cells, output, counters and history.
  void Reset();

  // --- user edits: each call is one undoable entry of the history
  void Edit(TEditAction action, const std::vector<TCellEdit>& cells);
  void SetCell(TCellSpace space, int address, int32_t value, TEditAction action = eaCellEdit);
  // Consecutive memory cells from address on, wrapping at 256.
  void EditMemory(TEditAction action, int address, const std::vector<int32_t>& values);
  // All 256 cells (a program file, an assembled image); missing ones become 0.
  void LoadMemory(const std::vector<int32_t>& cells, TEditAction action = eaLoadFile);
  // PC set to 0 so that every view sees PC change, whatever it held: it is
  // written 2 and then 0. Appended to the cells of another edit (a program
  // loaded into memory), the student's one command is one step of Undo.
  static void AppendPCReset(std::vector<TCellEdit>& cells);
  // A program's cells (at most 256) into memory from address 0, then PC
  // reset as above: what Open and Assemble do, as one edit.
  static std::vector<TCellEdit> ProgramEdits(const std::vector<int32_t>& cells);
  // Set by a user edit that changed a memory cell, never by the program.
  bool MemoryModified() const { return FMemoryModified; }
  void SetMemoryModified(bool modified) { FMemoryModified = modified; }

  // --- running
  // Executes instructions until the policy or the program stops it.
  TStopReason Run(const TRunPolicy& policy);
  // One instruction, also at a breakpoint: srBudget, or why it stopped
  // after it (srBreakpoint when it brought PC to a breakpoint).
  TStopReason Step();
  // Thread-safe: the next check of a running Run (at most every
  // BreakCheckInterval instructions) stops it with srBreak. A request made
  // while nothing runs stops the next Run before its first instruction.
  void RequestBreak() { FBreakRequested.store(true, std::memory_order_relaxed); }
  void CancelBreak() { FBreakRequested.store(false, std::memory_order_relaxed); }
  // Instructions executed so far (an undone one no longer counts).
  uint64_t Executed() const { return FExecuted; }
  // Run stops before executing an instruction at a breakpoint address that
  // its instructions bring PC to, also when its budget or deadline ends at
  // that moment (the stop is reported rather than left to the next call).
  // Run always executes the instruction it starts from: PC is there because
  // a reported stop left it there (so the run goes on) or because the
  // student put it there (an edit, Step Back, Undo), asking to run from
  // there. The one exception is a breakpoint reached by the last instruction
  // of a call that stopped for another reason (a watch, a break request, a
  // halt): the next Run reports that breakpoint before executing anything,
  // unless something changed the machine since.
  void SetBreakpoint(int address, bool on);
  bool Breakpoint(int address) const { return FBreakpoints[static_cast<size_t>(WrapAddress(address))]; }
  // Run stops after an instruction that writes a watched cell (also with an
  // unchanged value). Watched PC or IR are not supported: both change with
  // every instruction.
  void SetWatch(TCellSpace space, int address, bool on);
  bool Watched(TCellSpace space, int address) const;

  static constexpr uint64_t BreakCheckInterval = 65536;

  // Run executes from a table of decoded instructions (the default); off, it
  // decodes every instruction as it fetches it. The two must agree exactly:
  // tests compare them.
  void SetDecoding(bool on) { FDecoding = on; }
  bool Decoding() const { return FDecoding; }

  // --- output port: every write of RF appends its low byte
  static constexpr int OutputRegister = RegisterCount - 1;
  // Bytes written since the start, including those taken.
  uint64_t OutputCount() const { return FOutputTaken + FOutput.size(); }
  // The bytes not yet taken, from position (counted from the start) on.
  std::string_view OutputSince(uint64_t position) const;
  // Hands over the bytes held and forgets them (orvik-cli streams them).
  std::string TakeOutput();
  // Hands over the oldest count bytes held (all of them when fewer).
  std::string TakeOutput(size_t count);

  // --- change tracking for views
  // Grows with every instruction and every change; never goes back, also
  // not on undo. A cell changed since a view looked at generation G when its
  // generation is greater than G.
  uint64_t Generation() const { return FGeneration; }
  uint64_t CellGeneration(TCellSpace space, int address) const;
  // Fills changed with the memory addresses changed after since.
  void ChangedMemory(uint64_t since, std::vector<int>& changed) const;

  // --- history
  // Instructions are recorded only while this is on (the default); a run
  // without it goes somewhat faster and clears the history, since the
  // recorded past no longer leads to the state it leaves.
  void SetRecording(bool on) { FRecording = on; }
  bool Recording() const { return FRecording; }
  const THistory& History() const { return FHistory; }
  void SetHistoryLimitBytes(size_t bytes) { FHistory.SetLimitBytes(bytes); }
  // Undoes the newest entry of the history, instruction or user edit.
  TUndone Undo();
  // The user edits taken back by Undo, newest last; a new edit forgets them.
  bool CanRedo() const { return !FRedo.empty(); }
  const std::vector<TRedoEdit>& RedoEdits() const { return FRedo; }
  // Applies the newest undone edit again; false when there is none.
  bool Redo();
  // True when the newest entry of the history is a user edit; action names it.
  bool NewestEdit(TEditAction& action) const;
  // The instructions at the end of the history: how far StepBack can go
  // before it meets a user edit or the start of what is kept.
  uint64_t StepsBack() const;
  // Undoes the last instruction; false (and nothing changes) when the newest
  // entry is not an instruction.
  bool StepBack();
  // Undoes entries until the history ends at position (see
  // THistory::EndPosition); false, with nothing changed, when that part of
  // the history was already dropped.
  bool UndoTo(uint64_t position);
  // The newest entry when it is an instruction (so only while recording):
  // what it did. False otherwise.
  bool LastStep(TStepTrace& trace) const;

 private:
  template <bool Record, bool Checks>
  struct TRunState;

  TStopReason RunChunks(const TRunPolicy& policy, bool checkFirst);
  template <bool Record, bool Checks>
  uint64_t ExecuteChunkDecoding(uint64_t count, bool skipBreakpoint, TStopReason& reason);
  template <bool Record, bool Checks>
  uint64_t ExecuteChunkDecoded(uint64_t count, bool skipBreakpoint, TStopReason& reason);
  template <bool Record>
  THistoryRecord* ReserveRecords(uint64_t& count);
  template <bool Record>
  uint64_t EndChunk(uint64_t done, int32_t pc, int32_t ir);
  template <bool Record, bool Checks>
  uint64_t ExecuteChunk(uint64_t count, bool skipBreakpoint, TStopReason& reason);
  void WriteCell(TCellSpace space, int address, int32_t value);
  void ApplyEdit(TEditAction action, const std::vector<TCellEdit>& cells);
  void UndoStep(const THistoryRecord& record);
  void UndoEditCell(const THistoryRecord& record);
  void PopOutput();
  void UpdateChecks();

  std::array<int32_t, MemorySize> FMemory{};
  // What the instruction starting at each address decodes to; every write
  // of a memory cell marks the two entries whose bytes it holds undecoded.
  std::array<TDecoded, MemorySize> FDecoded{};
  bool FDecoding = true;
  std::array<int32_t, RegisterCount> FRegisters{};
  std::array<int32_t, SysRegCount> FSysRegs{};
  std::array<uint64_t, MemorySize> FMemoryGenerations{};
  std::array<uint64_t, RegisterCount> FRegisterGenerations{};
  std::array<uint64_t, SysRegCount> FSysRegGenerations{};
  uint64_t FGeneration = 0;
  uint64_t FExecuted = 0;

  std::string FOutput;
  uint64_t FOutputTaken = 0;

  std::array<bool, MemorySize> FBreakpoints{};
  std::array<bool, MemorySize> FWatchedMemory{};
  std::array<bool, RegisterCount> FWatchedRegisters{};
  bool FChecks = false;  // any breakpoint or watch set
  // A breakpoint a run reached but did not report (see SetBreakpoint),
  // valid while the generation is still this one.
  bool FUnreportedBreakpoint = false;
  uint64_t FUnreportedGeneration = 0;
  std::atomic<bool> FBreakRequested{false};

  THistory FHistory;
  std::vector<TRedoEdit> FRedo;
  bool FRecording = true;
  bool FMemoryModified = false;
};
