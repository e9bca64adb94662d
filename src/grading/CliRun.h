#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "machine/Instruction.h"
#include "machine/StopWords.h"

// The one place where orvik-cli drives the machine: every command that runs a
// program (run, run --json, run --trace, test) goes through RunImage, so a
// different executor needs changes in this file pair only.

struct TRunSetup {
  std::vector<int32_t> Memory;  // 256 cells
  std::array<int32_t, RegisterCount> Registers{};
  int32_t PC = 0;
  uint64_t StepLimit = 1000000;  // 0: no limit
  // Addresses where the run stops before executing the instruction there. The
  // instruction at the start PC is always executed, so a run continued from a
  // breakpoint does not stop at once.
  std::vector<int> Breakpoints;
  // Asked after every call into the session (about a million instructions,
  // or one when tracing); false ends the run there, as at the step limit.
  std::function<bool()> KeepGoing;
  // Output bytes kept in the result; the rest is only counted.
  size_t MaxOutput = SIZE_MAX;
};

enum TWriteKind { wkCell, wkRegister, wkPC };

struct TRunWrite {
  TWriteKind Kind = wkCell;
  int Address = 0;  // 0 for PC
  int32_t Old = 0;
  int32_t New = 0;
};

// One executed instruction: where it was, its two cells as they were when it
// was fetched, and its writes in order (IR is left out: it is always the two
// bytes). A write of RF is also one output byte.
struct TTraceStep {
  uint64_t Step = 0;  // 1 for the first instruction
  int Address = 0;
  int32_t First = 0;
  int32_t Second = 0;
  std::vector<TRunWrite> Writes;
};

struct TRunResult {
  // srHalt, srInvalid, srBreakpoint, or srStepLimit for a run cut short
  TStopReason Status = srHalt;
  uint64_t Steps = 0;
  std::string Output;        // the bytes written to RF, unless an output event took them
  uint64_t OutputBytes = 0;  // all bytes written to RF, also those past MaxOutput
  int32_t PC = 0;
  int32_t IR = 0;
  std::array<int32_t, RegisterCount> Registers{};
  std::vector<int32_t> Memory;
};

using TOutputEvent = std::function<void(char byte)>;
using TTraceEvent = std::function<void(const TTraceStep& step)>;

// Runs from setup until halt, an invalid instruction, a breakpoint or the
// step limit. onOutput, when set, receives each output byte as it is written
// (then Output stays empty); onTrace, when set, is called after every
// instruction. Safe to call from several threads at once: all state is local.
TRunResult RunImage(const TRunSetup& setup, const TOutputEvent& onOutput = {}, const TTraceEvent& onTrace = {});
