// The simulator session against a bare interpreter of the same instruction
// set. The loop program is "addi R1,R1,R2" followed by an always-taken
// "jmpEQ R0=R0,00".
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <stdexcept>

#include "Bench.h"
#include "machine/CellStore.h"
#include "machine/Float8.h"
#include "machine/Machine.h"
#include "machine/Simulator.h"

namespace {

constexpr int LoopProgram[] = {0x51, 0x12, 0xB0, 0x00};

// The same instruction set over plain byte arrays, with nothing in the way:
// no notifications, no cells wider than a byte.
struct TReferenceMachine {
  std::array<uint8_t, 256> Memory{};
  std::array<uint8_t, 16> Registers{};
  uint8_t PC = 0;
  uint16_t IR = 0;

  int Step() {
    const uint8_t first = Memory[PC];
    const uint8_t second = Memory[static_cast<uint8_t>(PC + 1)];
    PC = static_cast<uint8_t>(PC + 2);
    IR = static_cast<uint16_t>(first << 8 | second);
    const int r = first & 15, x = second >> 4, y = second & 15;
    uint8_t* reg = Registers.data();
    switch (first >> 4) {
      case 0x1: reg[r] = Memory[second]; break;
      case 0x2: reg[r] = second; break;
      case 0x3: Memory[second] = reg[r]; break;
      case 0x4: reg[y] = reg[x]; break;
      case 0x5: reg[r] = static_cast<uint8_t>(reg[x] + reg[y]); break;
      case 0x6: reg[r] = static_cast<uint8_t>(EncodeFloat8(DecodeFloat8(reg[x]) + DecodeFloat8(reg[y]))); break;
      case 0x7: reg[r] = reg[x] | reg[y]; break;
      case 0x8: reg[r] = reg[x] & reg[y]; break;
      case 0x9: reg[r] = reg[x] ^ reg[y]; break;
      case 0xA:
        if (x != 0) return StepInvalid;
        reg[r] = static_cast<uint8_t>(reg[r] >> (y & 7) | reg[r] << (8 - (y & 7)));
        break;
      case 0xB:
        if (reg[r] == reg[0]) PC = second;
        break;
      case 0xC: return first == 0xC0 && second == 0 ? StepHalt : StepInvalid;
      case 0xD:
        if (r != 0) return StepInvalid;
        reg[x] = Memory[reg[y]];
        break;
      case 0xE:
        if (r != 0) return StepInvalid;
        Memory[reg[y]] = reg[x];
        break;
      case 0xF:
        if (static_cast<int8_t>(reg[r]) <= static_cast<int8_t>(reg[0])) PC = second;
        break;
      default: return StepInvalid;
    }
    return StepOk;
  }
};

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CoreRate(int instructions, bool withListener) {
  TCellArray memory(256), registers(16), sysRegs(2);
  for (int i = 0; i < 4; ++i) memory.SetContents(i, LoopProgram[i]);
  registers.SetContents(2, 1);
  int64_t notifications = 0;
  if (withListener) {
    // One listener on each store, as the main window has.
    auto count = [&notifications](int, int32_t, int32_t) { ++notifications; };
    memory.AddListener(count);
    registers.AddListener(count);
    sysRegs.AddListener(count);
  }
  TMachine machine(memory, registers, sysRegs);
  const auto start = std::chrono::steady_clock::now();
  const int result = machine.ExecuteInstructions(instructions);
  const double seconds = Seconds(start);
  benchmark::DoNotOptimize(result);
  benchmark::DoNotOptimize(notifications);
  if (result != StepOk || registers.GetContents(1) != (instructions / 2) % 256) throw std::logic_error("core loop");
  return instructions / seconds;
}

void LoadLoop(TSimulator& simulator) {
  simulator.EditMemory(eaLoadFile, 0, {LoopProgram[0], LoopProgram[1], LoopProgram[2], LoopProgram[3]});
  simulator.SetCell(csRegister, 2, 1);
}

// The session as orvik-cli runs it (recording off) or as the window will
// (recording every instruction).
double SessionRate(int instructions, bool recording) {
  TSimulator simulator;
  simulator.SetRecording(recording);
  LoadLoop(simulator);
  TRunPolicy policy;
  policy.Budget = static_cast<uint64_t>(instructions);
  const auto start = std::chrono::steady_clock::now();
  const TStopReason reason = simulator.Run(policy);
  const double seconds = Seconds(start);
  if (reason != srBudget || simulator.Register(1) != (instructions / 2) % 256) throw std::logic_error("session loop");
  return instructions / seconds;
}

// Memory the history holds per instruction, and the time to take one
// instruction back, over a run the history keeps whole.
void HistoryFigures(TBenchContext& context, int instructions) {
  TSimulator simulator;
  LoadLoop(simulator);
  TRunPolicy policy;
  policy.Budget = static_cast<uint64_t>(instructions);
  simulator.Run(policy);
  if (simulator.Executed() != static_cast<uint64_t>(instructions)) throw std::logic_error("history run");
  context.Report("history_bytes_per_instruction",
                 static_cast<double>(simulator.History().AllocatedBytes()) / instructions);
  const auto start = std::chrono::steady_clock::now();
  int steps = 0;
  while (simulator.StepBack()) ++steps;
  const double seconds = Seconds(start);
  if (steps != instructions || simulator.Register(1) != 0) throw std::logic_error("step back");
  context.Report("step_back_us", seconds * 1e6 / steps);
}

double ReferenceRate(int instructions) {
  TReferenceMachine machine;
  for (int i = 0; i < 4; ++i) machine.Memory[static_cast<size_t>(i)] = static_cast<uint8_t>(LoopProgram[i]);
  machine.Registers[2] = 1;
  benchmark::DoNotOptimize(machine);
  const auto start = std::chrono::steady_clock::now();
  int result = StepOk;
  for (int i = 0; i < instructions && result == StepOk; ++i) result = machine.Step();
  benchmark::ClobberMemory();
  const double seconds = Seconds(start);
  benchmark::DoNotOptimize(result);
  if (result != StepOk || machine.Registers[1] != (instructions / 2) % 256) throw std::logic_error("reference loop");
  return instructions / seconds;
}

void MachineLoop(TBenchContext& context) {
  // The session and the reference take turns in rounds and each keeps its
  // best round, so that a burst of other work on a shared machine spoils one
  // round of one side, not the ratio.
  const int rounds = 5;
  const int instructions = context.Smoke() ? 10000 : 20000000;
  double core = 0, withHistory = 0, machine = 0, withListener = 0, reference = 0;
  for (int round = 0; round < rounds; ++round) {
    core = std::max(core, SessionRate(instructions, false));
    reference = std::max(reference, ReferenceRate(instructions));
    withHistory = std::max(withHistory, SessionRate(instructions, true));
    machine = std::max(machine, CoreRate(instructions, false));
    withListener = std::max(withListener, CoreRate(instructions, true));
  }
  context.Report("core_instructions_per_second", core);
  context.Report("core_with_history_instructions_per_second", withHistory);
  context.Report("machine_instructions_per_second", machine);
  context.Report("core_with_listener_instructions_per_second", withListener);
  context.Report("reference_instructions_per_second", reference);
  context.Report("core_to_reference_ratio", core / reference);
  HistoryFigures(context, context.Smoke() ? 10000 : 1000000);
}

}  // namespace

ORVIK_BENCH_CASE(machine_loop, MachineLoop, false);
