#include "cli/CliRun.h"

#include <algorithm>

#include "machine/CellStore.h"
#include "machine/Machine.h"

namespace {

// Instructions per call into the executor when nothing watches single steps:
// large enough that the loop here costs nothing, small enough to count the
// step limit exactly.
constexpr uint64_t StepsPerCall = 1 << 20;

TRunStatus StatusOf(int result) {
  if (result == StepHalt) return rsHalted;
  if (result == StepInvalid) return rsInvalid;
  return rsStepLimit;
}

}  // namespace

const char* RunStatusName(TRunStatus status) {
  switch (status) {
    case rsHalted: return "halted";
    case rsInvalid: return "invalid";
    case rsStepLimit: return "step-limit";
    case rsBreakpoint: return "breakpoint";
  }
  return "?";
}

TRunResult RunImage(const TRunSetup& setup, const TOutputEvent& onOutput, const TTraceEvent& onTrace) {
  TCellArray memory(MemorySize), registers(RegisterCount), sysRegs(SysRegCount);
  for (int i = 0; i < MemorySize && i < static_cast<int>(setup.Memory.size()); ++i)
    memory.SetContents(i, setup.Memory[static_cast<size_t>(i)]);
  for (int r = 0; r < RegisterCount; ++r) registers.SetContents(r, setup.Registers[static_cast<size_t>(r)]);
  sysRegs.SetContents(PCIndex, setup.PC);

  TRunResult result;
  TTraceStep step;
  const bool tracing = static_cast<bool>(onTrace);
  // The listeners are added after the initial state is in place, so that
  // only the program's own writes count as output and trace entries.
  registers.AddListener([&](int adr, int32_t old, int32_t value) {
    if (adr == RegisterCount - 1) {
      if (onOutput)
        onOutput(static_cast<char>(value & 0xFF));
      else
        result.Output.push_back(static_cast<char>(value & 0xFF));
    }
    if (tracing) step.Writes.push_back({wkRegister, adr, old, value});
  });
  if (tracing)
    memory.AddListener([&](int adr, int32_t old, int32_t value) { step.Writes.push_back({wkCell, adr, old, value}); });
  // Every instruction writes IR exactly once, also a halt or an invalid one:
  // counting those writes gives the steps of a chunk that ended early.
  uint64_t executed = 0;
  sysRegs.AddListener([&](int adr, int32_t old, int32_t value) {
    if (adr == IRIndex)
      ++executed;
    else if (tracing)
      step.Writes.push_back({wkPC, 0, old, value});
  });
  TMachine machine(memory, registers, sysRegs);

  std::array<bool, MemorySize> isBreakpoint{};
  for (int adr : setup.Breakpoints) isBreakpoint[static_cast<size_t>(WrapAddress(adr))] = true;
  const bool stopsAtBreakpoints = !setup.Breakpoints.empty();
  const bool singleSteps = tracing || stopsAtBreakpoints;

  int last = StepOk;
  bool atBreakpoint = false;
  const uint64_t limit = setup.StepLimit;
  while (last == StepOk && (limit == 0 || executed < limit)) {
    if (!singleSteps) {
      const uint64_t chunk = limit == 0 ? StepsPerCall : std::min(limit - executed, StepsPerCall);
      last = machine.ExecuteInstructions(static_cast<int>(chunk));
      continue;
    }
    const int pc = WrapAddress(sysRegs.GetContents(PCIndex));
    if (stopsAtBreakpoints && executed > 0 && isBreakpoint[static_cast<size_t>(pc)]) {
      atBreakpoint = true;
      break;
    }
    if (tracing) {
      step.Step = executed + 1;
      step.Address = pc;
      step.First = memory.GetContents(pc);
      step.Second = memory.GetContents((pc + 1) & 0xFF);
      step.Writes.clear();
    }
    last = machine.ExecuteInstruction();
    if (tracing) onTrace(step);
  }

  result.Steps = executed;
  result.Status = atBreakpoint ? rsBreakpoint : StatusOf(last);
  result.PC = sysRegs.GetContents(PCIndex);
  result.IR = sysRegs.GetContents(IRIndex);
  for (int r = 0; r < RegisterCount; ++r) result.Registers[static_cast<size_t>(r)] = registers.GetContents(r);
  result.Memory.resize(MemorySize);
  for (int i = 0; i < MemorySize; ++i) result.Memory[static_cast<size_t>(i)] = memory.GetContents(i);
  return result;
}
