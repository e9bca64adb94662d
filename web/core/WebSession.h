#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/TerminalModel.h"
#include "machine/CellStore.h"
#include "machine/Machine.h"

// Why a run or a step ended.
enum TWebStop : int {
  wsBudget = 0,      // the instruction budget is used up; the program can go on
  wsHalt = 1,        // halt
  wsInvalid = 2,     // invalid instruction
  wsBreakpoint = 3,  // PC reached an address with a breakpoint
};

// The machine as the browser page sees it: state, output, terminal text,
// breakpoints and the history for Step Back. The instructions are executed
// by the same executor as the desktop and orvik-cli; this class only
// decides how far to run and remembers what each instruction changed.
class TWebSession {
 public:
  TWebSession();
  TWebSession(const TWebSession&) = delete;
  TWebSession& operator=(const TWebSession&) = delete;

  // Executes up to budget instructions (at least one), stopping after a halt,
  // an invalid instruction, or when PC reaches a breakpoint (not before the
  // first instruction: Run from a breakpoint leaves it).
  TWebStop Run(int budget);
  int64_t Executed() const { return FExecuted; }  // instructions executed by the last Run
  // Undoes the last executed instruction that is still in the history, its
  // output included. False when there is none.
  bool StepBack();
  int HistoryDepth() const { return FDepth; }

  const TCellStore& Memory() const { return FMemory; }
  int32_t Cell(int adr) const { return FMemory.GetContents(adr & 0xFF); }
  int32_t Register(int n) const { return FRegisters.GetContents(n & 0x0F); }
  int32_t PC() const { return FSysRegs.GetContents(0); }
  int32_t IR() const { return FSysRegs.GetContents(1); }
  // User edits: they go through the same stores as instructions, so RF's
  // output appears as on the desktop, and they end the step-back history
  // (undoing an instruction after an edit of the same cell would undo the edit).
  void SetCell(int adr, int32_t value);
  void SetRegister(int n, int32_t value);
  void SetPC(int32_t value);
  void LoadMemory(const std::vector<int32_t>& cells);

  void SetBreakpoint(int adr, bool on) { FBreakpoints[static_cast<size_t>(adr & 0xFF)] = on; }
  bool Breakpoint(int adr) const { return FBreakpoints[static_cast<size_t>(adr & 0xFF)]; }

  // The bytes written to RF, kept from OutputBase() on (older ones live only
  // in the terminal); OutputCount() counts every byte since the start.
  const std::string& Output() const { return FOutput; }
  int64_t OutputBase() const { return FOutputBase; }
  int64_t OutputCount() const { return FOutputBase + static_cast<int64_t>(FOutput.size()); }
  TTerminalModel& Terminal();
  void SetTerminalSize(int cols, int rows);

  // "PC=02 IR=2105  load  R1,05 ; R1 00->05": the last executed instruction
  // and the cells it changed; "" before the first instruction.
  const std::string& TraceLine();

 private:
  // One change: which store (0 memory, 1 registers, 2 PC/IR), the cell and its
  // value before. A marker entry (store 3) starts each instruction.
  struct TChange {
    uint8_t Store;
    uint8_t Adr;
    int32_t Old;
  };
  static constexpr uint8_t MarkerStore = 3;

  void Record(uint8_t store, int adr, int32_t old, int32_t value);
  void ForgetHistory();
  void DropOldest();
  void TrimOutput();

  TCellArray FMemory{256};
  TCellArray FRegisters{16};
  TCellArray FSysRegs{2};
  TMachine FMachine;
  std::vector<bool> FBreakpoints = std::vector<bool>(256, false);
  int64_t FExecuted = 0;

  // The history is a ring of changes; FDepth counts its markers.
  std::vector<TChange> FRing;
  size_t FHead = 0;  // next free slot
  size_t FSize = 0;
  int FDepth = 0;
  bool FRestoring = false;

  // The output is kept from FOutputBase on; the terminal at that point is
  // FTerminalBase, so a step back replays the kept bytes into a copy of it.
  std::string FOutput;
  int64_t FOutputBase = 0;
  TTerminalModel FTerminalBase;
  TTerminalModel FTerminal;
  int64_t FTerminalShown = 0;
  std::string FTrace;
};
