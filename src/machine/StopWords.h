#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "machine/RunPolicy.h"
#include "machine/StepTrace.h"

class TSimulator;

// A stop as every front end reports it: why the run ended, where PC is, and
// for a watch the write that ended it.
struct TStop {
  TStopReason Reason = srBudget;
  int PC = 0;
  // srWatch: the watched cell or register written, and the address of the
  // instruction that wrote it; WatchSpace stays csNone when unknown.
  TCellSpace WatchSpace = csNone;
  int WatchAddress = 0;
  int WatchAt = 0;
};

// The stop of session after its Run or Step returned reason.
TStop StopOf(const TSimulator& session, TStopReason reason);

// The status words of the window, the page and orvik-cli: "Halted",
// "Invalid instruction", "Breakpoint at 0A", "R3 written at 04", "Ready"
// for a run that can go on, ...
std::string StopWords(const TStop& stop);

// The status words of a breakpoint set or removed by hand (the disassembly
// margin, Break here): "Breakpoint set at 0A", "Breakpoint removed at 0A".
std::string BreakpointWords(int address, bool on);
// Stop when written, turned on or off: "Cell 3F watched", "R3 no longer
// watched".
std::string WatchWords(TCellSpace space, int address, bool on);

// The word reports and case files use: "halted", "invalid", "step-limit",
// "breakpoint"; "" for a reason that never ends a report.
const char* StopReportWord(TStopReason reason);
std::optional<TStopReason> StopFromReportWord(std::string_view word);

// The last reason, for tables over all of them.
constexpr TStopReason LastStopReason = srStepLimit;
