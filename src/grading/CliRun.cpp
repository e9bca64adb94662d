#include "grading/CliRun.h"

#include <algorithm>

#include "machine/Simulator.h"

namespace {

// Instructions per call into the session when nothing watches single steps:
// large enough that the loop here costs nothing, small enough that output
// goes out while the program runs instead of piling up in the session.
constexpr uint64_t StepsPerCall = 1 << 20;

// A run that could go on was cut short: by the step limit or by KeepGoing.
TStopReason StatusOf(TStopReason reason) {
  return reason == srHalt || reason == srInvalid || reason == srBreakpoint ? reason : srStepLimit;
}

}  // namespace

TRunResult RunImage(const TRunSetup& setup, const TOutputEvent& onOutput, const TTraceEvent& onTrace) {
  const bool tracing = static_cast<bool>(onTrace);
  TSimulator simulator;
  // The trace is read from the history, one instruction at a time; without a
  // trace nothing here steps back, so the run keeps no history.
  simulator.SetRecording(tracing);
  simulator.LoadMemory(setup.Memory);
  for (int r = 0; r < RegisterCount; ++r) {
    const int32_t value = setup.Registers[static_cast<size_t>(r)];
    if (value != 0) simulator.SetCell(csRegister, r, value);
  }
  if (setup.PC != 0) simulator.SetCell(csSysReg, PCIndex, setup.PC);
  // Only the program's own writes of RF are output, not the initial state.
  simulator.TakeOutput();
  for (int adr : setup.Breakpoints) simulator.SetBreakpoint(adr, true);

  TRunResult result;
  auto deliverOutput = [&] {
    const std::string bytes = simulator.TakeOutput();
    result.OutputBytes += bytes.size();
    if (!onOutput) {
      if (result.Output.size() < setup.MaxOutput)
        result.Output.append(bytes, 0, std::min(bytes.size(), setup.MaxOutput - result.Output.size()));
    } else
      for (char byte : bytes) onOutput(byte);
  };

  TRunPolicy policy;
  policy.StepLimit = setup.StepLimit;
  policy.Budget = tracing ? 1 : StepsPerCall;
  TStepTrace last;
  TTraceStep step;
  TStopReason reason = srBudget;
  while (reason == srBudget) {
    const uint64_t before = simulator.Executed();
    reason = simulator.Run(policy);
    if (tracing && simulator.Executed() > before && simulator.LastStep(last)) {
      step.Step = simulator.Executed();
      step.Address = last.Address;
      step.First = last.First;
      step.Second = last.Second;
      step.Writes.clear();
      for (const TTraceWrite& write : last.Writes) {
        if (write.Space == csSysReg && write.Address == IRIndex) continue;
        const TWriteKind kind = write.Space == csMemory ? wkCell : write.Space == csRegister ? wkRegister : wkPC;
        step.Writes.push_back({kind, write.Space == csSysReg ? 0 : write.Address, write.Old, write.New});
      }
      onTrace(step);
    }
    deliverOutput();
    if (reason != srBudget || (setup.KeepGoing && !setup.KeepGoing())) break;
  }

  result.Steps = simulator.Executed();
  result.Status = StatusOf(reason);
  result.PC = simulator.PC();
  result.IR = simulator.IR();
  for (int r = 0; r < RegisterCount; ++r) result.Registers[static_cast<size_t>(r)] = simulator.Register(r);
  result.Memory.assign(simulator.MemoryCells().begin(), simulator.MemoryCells().end());
  return result;
}
