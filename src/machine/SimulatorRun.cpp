#include "machine/Simulator.h"

#include <algorithm>
#include <chrono>

#include "machine/Executor.h"

// Running a session: the run loops, breakpoints and watches. Edits, output
// and the history are in Simulator.cpp.

// The executor's view of a session during one chunk of a run. PC and IR live
// in locals and go back into the session when the chunk ends; nothing else
// reads them meanwhile. Everything else is reached through the one session
// reference, so the hot loop keeps a single base register for all arrays.
// Record adds the history record of each instruction, Checks the watch test
// of each write.
template <bool Record, bool Checks>
struct TSimulator::TRunState {
  TSimulator& S;
  int32_t Pc;
  int32_t Ir;
  uint64_t Gen = 0;  // the generation of the instruction executing
  // The record of the instruction executing, built in registers and stored
  // whole once it is complete: one wide store instead of six narrow ones.
  THistoryRecord Rec{hkStep, csNone, 0, 0, 0, 0, 0};
  bool Watched = false;

  int32_t PC() const { return Pc; }
  int32_t Memory(int adr) const { return S.FMemory[static_cast<size_t>(adr)]; }
  int32_t Register(int n) const { return S.FRegisters[static_cast<size_t>(n)]; }
  void Fetched(int32_t pc, int32_t ir) {
    if constexpr (Record) {
      Rec = {hkStep, csNone, 0, 0, Pc, Ir, 0};
    }
    Pc = pc;
    Ir = ir;
  }
  void Effect(TCellSpace space, int address, int32_t old) {
    if constexpr (Record) {
      Rec.Space = space;
      Rec.Address = static_cast<uint8_t>(address);
      Rec.OldValue = old;
    }
  }
  void SetRegister(int n, int32_t value) {
    const auto i = static_cast<size_t>(n);
    Effect(csRegister, n, S.FRegisters[i]);
    S.FRegisters[i] = value;
    S.FRegisterGenerations[i] = Gen;
    if (n == TSimulator::OutputRegister) [[unlikely]]
      S.FOutput.push_back(static_cast<char>(value & 0xFF));
    if constexpr (Checks) Watched = Watched || S.FWatchedRegisters[i];
  }
  void SetMemory(int adr, int32_t value) {
    const auto i = static_cast<size_t>(adr);
    Effect(csMemory, adr, S.FMemory[i]);
    S.FMemory[i] = value;
    S.FMemoryGenerations[i] = Gen;
    // An instruction starting here or one cell before has a byte here.
    S.FDecoded[i].Kind = dkUndecoded;
    S.FDecoded[static_cast<size_t>((adr - 1) & 0xFF)].Kind = dkUndecoded;
    if constexpr (Checks) Watched = Watched || S.FWatchedMemory[i];
  }
  void Jump(int target) {
    Effect(csSysReg, PCIndex, Pc);
    Pc = target;
  }
};

// --- running

void TSimulator::SetBreakpoint(int address, bool on) {
  FBreakpoints[static_cast<size_t>(WrapAddress(address))] = on;
  UpdateChecks();
}

void TSimulator::SetWatch(TCellSpace space, int address, bool on) {
  if (space == csMemory) FWatchedMemory[static_cast<size_t>(WrapAddress(address))] = on;
  if (space == csRegister) FWatchedRegisters[static_cast<size_t>(address & 0x0F)] = on;
  UpdateChecks();
}

bool TSimulator::Watched(TCellSpace space, int address) const {
  if (space == csMemory) return FWatchedMemory[static_cast<size_t>(WrapAddress(address))];
  if (space == csRegister) return FWatchedRegisters[static_cast<size_t>(address & 0x0F)];
  return false;
}

void TSimulator::UpdateChecks() {
  auto any = [](const auto& flags) { return std::find(flags.begin(), flags.end(), true) != flags.end(); };
  FChecks = any(FBreakpoints) || any(FWatchedMemory) || any(FWatchedRegisters);
}

template <bool Record>
THistoryRecord* TSimulator::ReserveRecords(uint64_t& count) {
  if constexpr (!Record) return nullptr;
  size_t granted = 0;
  THistoryRecord* records = FHistory.Reserve(static_cast<size_t>(count), granted);
  count = granted;
  return records;
}

// What every chunk does when it ends, however it ran: done instructions
// ran, leaving PC and IR as given.
template <bool Record>
uint64_t TSimulator::EndChunk(uint64_t done, int32_t pc, int32_t ir) {
  if constexpr (Record) {
    FHistory.Commit(static_cast<size_t>(done));
  } else if (done > 0) {
    // The recorded past no longer leads to this state: undoing it would mix
    // old cells with new ones.
    FHistory.Clear();
  }
  FSysRegs[PCIndex] = pc;
  FSysRegs[IRIndex] = ir;
  FGeneration += done;
  if (done > 0) FSysRegGenerations.fill(FGeneration);
  FExecuted += done;
  return done;
}

// Decodes every instruction as it fetches it: the plain reading of the
// rules, which the decoded loop below is tested against.
template <bool Record, bool Checks>
uint64_t TSimulator::ExecuteChunkDecoding(uint64_t count, bool skipBreakpoint, TStopReason& reason) {
  TRunState<Record, Checks> state{*this, FSysRegs[PCIndex], FSysRegs[IRIndex]};
  THistoryRecord* records = ReserveRecords<Record>(count);
  const uint64_t firstGen = FGeneration + 1;
  uint64_t done = 0;
  while (done < count) {
    const int pc = WrapAddress(state.Pc);
    if constexpr (Checks) {
      if (FBreakpoints[static_cast<size_t>(pc)] && !(skipBreakpoint && done == 0)) {
        reason = srBreakpoint;
        break;
      }
    }
    state.Gen = firstGen + done;
    const int result = ExecuteStep(state);
    if constexpr (Record) records[done] = state.Rec;
    ++done;
    if (result != StepOk) {
      reason = result == StepHalt ? srHalt : srInvalid;
      break;
    }
    if constexpr (Checks) {
      if (state.Watched) {
        reason = srWatch;
        break;
      }
    }
  }
  return EndChunk<Record>(done, state.Pc, state.Ir);
}

// The same chunk from the table of decoded instructions, threaded: every
// kind has its own handler, which ends by jumping straight to the handler of
// the next instruction. A single shared dispatch would leave the processor
// one indirect jump to predict for all instructions; one per handler learns
// the program's own sequence. State.Gen, the generation of the instruction
// executing, doubles as the loop counter.
//
// Labels as values are a GNU extension, which every compiler this builds
// with (GCC, Clang, emscripten's Clang) has.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
template <bool Record, bool Checks>
uint64_t TSimulator::ExecuteChunkDecoded(uint64_t count, bool skipBreakpoint, TStopReason& reason) {
#define ORVIK_KIND_LABEL(kind) &&kind##_handler,
  static void* const Handlers[] = {ORVIK_DECODED_KINDS(ORVIK_KIND_LABEL)};
#undef ORVIK_KIND_LABEL
  TRunState<Record, Checks> state{*this, FSysRegs[PCIndex], FSysRegs[IRIndex]};
  THistoryRecord* records = ReserveRecords<Record>(count);
  const uint64_t firstGen = FGeneration + 1;
  const uint64_t endGen = firstGen + count;
  int pc = WrapAddress(state.Pc);
  TDecoded* entry = nullptr;
  state.Gen = firstGen;
  if (count == 0) goto finished;
  if constexpr (Checks) {
    if (FBreakpoints[static_cast<size_t>(pc)] && !skipBreakpoint) {
      reason = srBreakpoint;
      goto finished;
    }
  }

  // The next instruction's handler. Read in place, not copied: an
  // instruction takes its operands before its one write, so a store over its
  // own bytes cannot change them. In every handler, not shared, so that each
  // has an indirect jump of its own to predict.
#define ORVIK_DISPATCH()                                                                                         \
  entry = &FDecoded[static_cast<size_t>(pc)];                                                                    \
  if (entry->Kind == dkUndecoded) [[unlikely]]                                                                   \
    *entry = DecodeInstruction(FMemory[static_cast<size_t>(pc)], FMemory[static_cast<size_t>((pc + 1) & 0xFF)]); \
  goto* Handlers[entry->Kind];

  ORVIK_DISPATCH()

  // An instruction that ran on: recorded, counted, and the next one
  // fetched unless a watch, the end of the chunk or a breakpoint says stop.
  // PC is within 0..255 after every instruction.
#define ORVIK_RAN_ON(kind)                                         \
  kind##_handler : ExecuteKind<kind>(*entry, pc, state);           \
  if constexpr (Record) records[state.Gen - firstGen] = state.Rec; \
  ++state.Gen;                                                     \
  if constexpr (Checks) {                                          \
    if (state.Watched) {                                           \
      reason = srWatch;                                            \
      goto finished;                                               \
    }                                                              \
  }                                                                \
  if (state.Gen == endGen) goto finished;                          \
  pc = state.Pc;                                                   \
  if constexpr (Checks) {                                          \
    if (FBreakpoints[static_cast<size_t>(pc)]) {                   \
      reason = srBreakpoint;                                       \
      goto finished;                                               \
    }                                                              \
  }                                                                \
  ORVIK_DISPATCH()
  // One that stopped the run.
#define ORVIK_STOPPED(kind, why)                                   \
  kind##_handler : ExecuteKind<kind>(*entry, pc, state);           \
  if constexpr (Record) records[state.Gen - firstGen] = state.Rec; \
  ++state.Gen;                                                     \
  reason = why;                                                    \
  goto finished;

  ORVIK_STOPPED(dkUndecoded, srInvalid)
  ORVIK_STOPPED(dkInvalid, srInvalid)
  ORVIK_STOPPED(dkHalt, srHalt)
  ORVIK_RAN_ON(dkLoadDirect)
  ORVIK_RAN_ON(dkLoadImmediate)
  ORVIK_RAN_ON(dkStoreDirect)
  ORVIK_RAN_ON(dkMove)
  ORVIK_RAN_ON(dkAddi)
  ORVIK_RAN_ON(dkAddf)
  ORVIK_RAN_ON(dkOr)
  ORVIK_RAN_ON(dkAnd)
  ORVIK_RAN_ON(dkXor)
  ORVIK_RAN_ON(dkRor)
  ORVIK_RAN_ON(dkJmpEQ)
  ORVIK_RAN_ON(dkLoadIndirect)
  ORVIK_RAN_ON(dkStoreIndirect)
  ORVIK_RAN_ON(dkJmpLE)
  ORVIK_RAN_ON(dkJump)
#undef ORVIK_RAN_ON
#undef ORVIK_STOPPED
#undef ORVIK_DISPATCH

finished:
  return EndChunk<Record>(state.Gen - firstGen, state.Pc, state.Ir);
}
#pragma GCC diagnostic pop

template <bool Record, bool Checks>
uint64_t TSimulator::ExecuteChunk(uint64_t count, bool skipBreakpoint, TStopReason& reason) {
  return FDecoding ? ExecuteChunkDecoded<Record, Checks>(count, skipBreakpoint, reason)
                   : ExecuteChunkDecoding<Record, Checks>(count, skipBreakpoint, reason);
}

TStopReason TSimulator::Run(const TRunPolicy& policy) {
  const bool unreported = FUnreportedBreakpoint && FUnreportedGeneration == FGeneration;
  const uint64_t before = FExecuted;
  TStopReason reason = RunChunks(policy, unreported);
  if (reason == srBreakpoint) {
    FUnreportedBreakpoint = false;
    return reason;
  }
  // Nothing executed: whatever was reached is still ahead of the next call.
  if (FExecuted == before) return reason;
  if (reason == srBudget || reason == srDeadline) {
    // A call that stops for its caller (a slice of a longer run, a traced
    // step) reports what the next instruction would have been stopped by,
    // so that the next call, which starts by executing, does not miss it.
    if (policy.StepLimit != 0 && FExecuted >= policy.StepLimit) return srStepLimit;
    if (FChecks && Breakpoint(PC())) reason = srBreakpoint;
    return reason;
  }
  FUnreportedBreakpoint = FChecks && Breakpoint(PC());
  FUnreportedGeneration = FGeneration;
  return reason;
}

TStopReason TSimulator::RunChunks(const TRunPolicy& policy, bool checkFirst) {
  uint64_t done = 0;
  for (;;) {
    if (FBreakRequested.exchange(false, std::memory_order_relaxed)) return srBreak;
    if (policy.Deadline && done > 0 && std::chrono::steady_clock::now() >= *policy.Deadline) return srDeadline;
    uint64_t chunk = policy.Deadline ? TRunPolicy::DeadlineCheckInterval : BreakCheckInterval;
    if (policy.Budget != 0) {
      if (done >= policy.Budget) return srBudget;
      chunk = std::min(chunk, policy.Budget - done);
    }
    if (policy.StepLimit != 0) {
      if (FExecuted >= policy.StepLimit) return srStepLimit;
      chunk = std::min(chunk, policy.StepLimit - FExecuted);
    }
    TStopReason reason = srBudget;
    const bool skip = done == 0 && !checkFirst;
    uint64_t ran = 0;
    if (FRecording) {
      ran = FChecks ? ExecuteChunk<true, true>(chunk, skip, reason) : ExecuteChunk<true, false>(chunk, skip, reason);
    } else {
      ran = FChecks ? ExecuteChunk<false, true>(chunk, skip, reason) : ExecuteChunk<false, false>(chunk, skip, reason);
    }
    done += ran;
    if (reason != srBudget) return reason;
  }
}

TStopReason TSimulator::Step() {
  // A step executes the instruction at PC whatever was reached before.
  FUnreportedBreakpoint = false;
  TRunPolicy policy;
  policy.Budget = 1;
  return Run(policy);
}
