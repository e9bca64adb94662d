#pragma once

#include <array>
#include <cstdint>
#include <deque>
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
// breakpoints and Step Back. The instructions are executed by the same
// executor as the desktop and orvik-cli; this class decides how far to run.
//
// Step Back without slowing the run: the executor runs in bulk with no
// observer but the output port, and every CheckpointInterval instructions
// the whole state (about 1 KB) is copied. Going back to instruction n
// restores the checkpoint before it and executes forward to n again; the
// machine is deterministic, so the state and the output come out the same.
class TWebSession {
 public:
  static constexpr int64_t CheckpointInterval = 4096;
  static constexpr size_t MaxCheckpoints = 64;  // about 260,000 instructions back

  TWebSession();
  TWebSession(const TWebSession&) = delete;
  TWebSession& operator=(const TWebSession&) = delete;

  // Executes up to budget instructions (at least one), stopping after a halt,
  // an invalid instruction, or when PC reaches a breakpoint (not before the
  // first instruction: Run from a breakpoint leaves it).
  TWebStop Run(int budget);
  int64_t Executed() const { return FExecuted; }  // instructions executed by the last Run
  // Undoes the last instruction, its output included; false when the history
  // holds none (nothing run since the last user edit, or too long ago).
  bool StepBack();
  int64_t HistoryDepth() const;

  const TCellStore& Memory() const { return FMemory; }
  int32_t Cell(int adr) const { return FMemory.GetContents(adr & 0xFF); }
  int32_t Register(int n) const { return FRegisters.GetContents(n & 0x0F); }
  int32_t PC() const { return FSysRegs.GetContents(0); }
  int32_t IR() const { return FSysRegs.GetContents(1); }
  // User edits. A write of RF is output, as on the desktop. An edit starts a
  // new history: replaying instructions across it would undo it.
  void SetCell(int adr, int32_t value);
  void SetRegister(int n, int32_t value);
  void SetPC(int32_t value);
  void LoadMemory(const std::vector<int32_t>& cells);

  void SetBreakpoint(int adr, bool on);
  bool Breakpoint(int adr) const { return FBreakpoints[static_cast<size_t>(adr & 0xFF)]; }

  // The bytes written to RF, kept from OutputBase() on (older ones live only
  // in the terminal); OutputCount() counts every byte since the start.
  const std::string& Output() const { return FOutput; }
  int64_t OutputBase() const { return FOutputBase; }
  int64_t OutputCount() const { return FOutputBase + static_cast<int64_t>(FOutput.size()); }
  TTerminalModel& Terminal();
  void SetTerminalSize(int cols, int rows);

  // "06:  D0,F1  load  RF,[R1] |  PC 06->08  RF 00->0A": the last executed
  // instruction and the cells it changed; "" when the history holds none.
  const std::string& TraceLine();

 private:
  struct TSnapshot {
    std::array<int32_t, 256> Memory;
    std::array<int32_t, 16> Registers;
    std::array<int32_t, 2> SysRegs;
    int64_t Output = 0;  // OutputCount() then
    int64_t Index = 0;   // instructions executed since the history began
  };

  TSnapshot Take() const;
  void Restore(const TSnapshot& snapshot);
  const TSnapshot& CheckpointBefore(int64_t index) const;
  // Brings the machine to instruction index of the history (no earlier than
  // the oldest checkpoint), dropping the checkpoints after it.
  void ReplayTo(int64_t index);
  void Checkpoint();
  void ForgetHistory();
  void TrimOutput();
  int StepsUntilStop(int64_t limit, TWebStop& stop);

  TCellArray FMemory{256};
  TCellArray FRegisters{16};
  TCellArray FSysRegs{2};
  TMachine FMachine;
  std::vector<bool> FBreakpoints = std::vector<bool>(256, false);
  int FBreakpointCount = 0;
  int64_t FExecuted = 0;

  std::deque<TSnapshot> FCheckpoints;
  int64_t FIndex = 0;
  bool FRestoring = false;

  // The output is kept from FOutputBase on; the terminal at that point is
  // FTerminalBase, so a step back replays the kept bytes into a copy of it.
  std::string FOutput;
  int64_t FOutputBase = 0;
  TTerminalModel FTerminalBase;
  TTerminalModel FTerminal;
  int64_t FTerminalShown = 0;

  // A second machine for the trace: it replays up to the instruction before
  // the last one, so the live machine and its output are never touched.
  TCellArray FScratchMemory{256};
  TCellArray FScratchRegisters{16};
  TCellArray FScratchSysRegs{2};
  TMachine FScratch;
  int FScratchOutput = -1;  // the byte the traced instruction wrote to RF
  std::string FTrace;
  int64_t FTraceIndex = -1;
};
