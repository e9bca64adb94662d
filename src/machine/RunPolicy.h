#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Why TSimulator::Run returned.
enum TStopReason : uint8_t {
  srBudget,      // the policy's instruction budget is used up; the program can go on
  srDeadline,    // the policy's deadline passed; the program can go on
  srHalt,        // a halt instruction was executed
  srInvalid,     // an invalid instruction was executed (PC and IR were written)
  srBreak,       // RequestBreak() was called
  srBreakpoint,  // PC reached a breakpoint address; that instruction has not run
  srWatch,       // the last instruction wrote a watched cell or register
  srStepLimit,   // the session's count of executed instructions reached StepLimit
};

// How long one call of TSimulator::Run may go on. Every limit is optional;
// with none set a run ends only at halt, an invalid instruction, a break
// request, a breakpoint or a watch.
struct TRunPolicy {
  // Instructions this call may execute; 0 = no budget.
  uint64_t Budget = 0;
  // The clock is read every DeadlineCheckInterval instructions, so a run
  // overshoots its deadline by at most that many instructions.
  std::optional<std::chrono::steady_clock::time_point> Deadline;
  // Stop once TSimulator::Executed() reaches this; 0 = no limit.
  uint64_t StepLimit = 0;

  static constexpr uint64_t DeadlineCheckInterval = 1024;
};
