#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine/DebugSession.h"
#include "machine/Simulator.h"
#include "machine/StopWords.h"
#include "machine/TerminalHistory.h"
#include "machine/TraceLog.h"

// The simulator session as the browser page sees it: the desktop's
// TSimulator (state, run policy, breakpoints, history) plus the output
// terminal's text, which the page cannot keep itself because a step back
// takes output bytes back.
class TWebSession {
 public:
  // Each instruction takes 16 bytes of history: about a million steps back.
  static constexpr size_t HistoryBytes = 16u << 20;

  TWebSession();
  TWebSession(const TWebSession&) = delete;
  TWebSession& operator=(const TWebSession&) = delete;

  // Executes up to budget instructions (at least one), stopping after a halt,
  // an invalid instruction, or when PC reaches a breakpoint (not before the
  // first instruction: Run from a breakpoint leaves it).
  // Returns srBudget (the program can go on), srHalt, srInvalid,
  // srBreakpoint or srWatch. A run of one instruction (Step, and a run at a
  // speed that shows each) gives the trace its line.
  TStopReason Run(int budget);
  // The last Run's stop in the status bar's words ("Breakpoint at 0A").
  std::string StopText() const { return StopWords(FStop); }
  int64_t Executed() const { return FExecuted; }  // instructions executed by the last Run
  // Undoes the last instruction, its output included; false when the newest
  // entry of the history is a user edit or there is none.
  bool StepBack();
  bool CanStepBack() const;
  const TSimulator& Simulator() const { return FSimulator; }
  // Edit > Undo (Ctrl+Z): takes back the newest user edit; Redo applies the
  // newest undone one again. Both return whether they did, and leave the
  // status words in words ("Undone: Typing", "Nothing to undo", ...);
  // memoryChanged tells whether a memory cell changed.
  bool UndoEdit(std::string& words, bool& memoryChanged);
  bool RedoEdit(std::string& words, bool& memoryChanged);

  // Memory as the disassembler and the listing read it.
  const TMemoryCells& MemoryCells() const { return FSimulator.MemoryCells(); }
  int32_t Cell(int adr) const { return FSimulator.Memory(adr); }
  int32_t Register(int n) const { return FSimulator.Register(n); }
  int32_t PC() const { return FSimulator.PC(); }
  int32_t IR() const { return FSimulator.IR(); }
  // User edits; a write of RF is output, as on the desktop.
  void SetCell(int adr, int32_t value);
  void SetRegister(int n, int32_t value);
  void SetPC(int32_t value);
  // A program into memory and PC to 0, as one edit (Open, Assemble).
  void LoadMemory(const std::vector<int32_t>& cells, TEditAction action);
  // PC to 0 with the change seen whatever it held, as after a failed Open.
  void ResetPC();
  // An exercise case's start, memory, registers (RF's write is output, as in
  // the window) and PC, as one edit that a single Undo takes back.
  void LoadCaseStart(const std::vector<int32_t>& memory, const std::array<int32_t, RegisterCount>& registers,
                     int32_t pc);
  // Memory lo..hi, or R0..RF in ascending order when registers is set, to 0
  // as one edit (RF's write outputs a 0 byte).
  void Clear(bool registers, int lo, int hi);

  void SetBreakpoint(int adr, bool on) { FSimulator.SetBreakpoint(adr, on); }
  bool Breakpoint(int adr) const { return FSimulator.Breakpoint(adr); }
  // Run > Remove all breakpoints: every breakpoint and every watch.
  void RemoveAllBreakpoints();

  // The bytes written to RF, kept from OutputBase() on (older ones live only
  // in the terminal); OutputCount() counts every byte since the start.
  std::string_view Output() const { return FSimulator.OutputSince(0); }
  int64_t OutputBase() const { return OutputCount() - static_cast<int64_t>(Output().size()); }
  int64_t OutputCount() const { return static_cast<int64_t>(FSimulator.OutputCount()); }
  const TTerminalModel& Terminal() const { return FTerminal.Terminal(); }
  // The terminal starts over from bytes, as a reload finds it: the page
  // stores the text it showed and gives it back, nothing is executed, and no
  // step back takes it back.
  void RestoreTerminal(std::string_view bytes);
  void SetTerminalSize(int cols, int rows);

  // The last executed instruction in the desktop trace pane's words, e.g.
  // "0C: 53 12  addi R3,R1,R2   R3 = 05 + 07 = 0C"; "" when the newest entry
  // of the history is no instruction.
  std::string TraceLine() const;

  // Run > Back to start of run: every instruction since the last edit goes
  // back; returns how many did.
  uint64_t BackToStart();
  void SetWatch(TCellSpace space, int address, bool on) { FSimulator.SetWatch(space, address, on); }
  bool Watched(TCellSpace space, int address) const { return FSimulator.Watched(space, address); }

  // The trace pane's lines. The instructions of longer runs are counted in
  // one line when the page asks for the lines between runs (CatchUp).
  const TTraceLog& Trace() const { return FTrace; }
  void TraceCatchUp() { FTrace.CatchUp(FSimulator.Executed()); }
  void TraceSection(const std::string& title) { FTrace.StartSection(title, FSimulator.Executed()); }

  // Edit > Cut, Copy and Paste of the memory range lo..hi; Paste returns ""
  // or why nothing was pasted.
  void Copy(int lo, int hi);
  void Cut(int lo, int hi);
  std::string Paste(int lo, int hi);
  // The composer's word into adr and the cell after it (modulo 256), as one
  // edit.
  void Compose(int adr, uint16_t word);

  // The source-level view of this session: the map of the assembled source
  // (set on Assemble, dropped on opening a program file), line breakpoints
  // and labels, the same the window and orvik-cli use.
  TDebugSession& Debug() { return FDebug; }

 private:
  // Brings the terminal up to the output, also after a step back took
  // bytes back, and keeps only what the history can still take back.
  void SyncOutput() { FTerminal.Follow(FSimulator); }

  TSimulator FSimulator;
  TDebugSession FDebug{FSimulator};
  int64_t FExecuted = 0;
  TStop FStop;
  TTerminalHistory FTerminal;

  TTraceLog FTrace;
  std::vector<int32_t> FClipboard;
};
