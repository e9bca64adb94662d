#include "machine/StopWords.h"

#include <iterator>

#include "machine/HexText.h"
#include "machine/Instruction.h"
#include "machine/Simulator.h"

namespace {

struct TStopEntry {
  TStopReason Reason;
  const char* Words;       // the status words; breakpoint and watch add the place
  const char* ReportWord;  // "" when no report ends this way
};

// One row per reason, in the enum's order.
constexpr TStopEntry StopTable[] = {
    {srBudget, "Ready", ""},
    {srDeadline, "Ready", ""},
    {srHalt, "Halted", "halted"},
    {srInvalid, "Invalid instruction", "invalid"},
    {srBreak, "Ready", ""},
    {srBreakpoint, "Breakpoint at ", "breakpoint"},
    {srWatch, "Watched cell written", ""},
    {srStepLimit, "Step limit reached", "step-limit"},
};
static_assert(std::size(StopTable) == LastStopReason + 1);

const TStopEntry& Entry(TStopReason reason) {
  const auto i = static_cast<size_t>(reason);
  return StopTable[i < std::size(StopTable) ? i : 0];
}

// "R3" or "Cell 3F", as a watch names what it watches.
std::string WatchName(TCellSpace space, int address) {
  return space == csRegister ? "R" + HexText(address & 0x0F, 1) : "Cell " + HexText(address & 0xFF, 2);
}

}  // namespace

TStop StopOf(const TSimulator& session, TStopReason reason) {
  TStop stop;
  stop.Reason = reason;
  stop.PC = session.PC();
  TStepTrace trace;
  // A watch stop's write is the last one of the instruction: PC and IR come
  // first, so an instruction with a data write has at least three.
  if (reason == srWatch && session.LastStep(trace) && trace.Writes.size() >= 3) {
    stop.WatchSpace = trace.Writes.back().Space;
    stop.WatchAddress = trace.Writes.back().Address;
    stop.WatchAt = trace.Address;
  }
  return stop;
}

std::string StopWords(const TStop& stop) {
  const std::string words = Entry(stop.Reason).Words;
  if (stop.Reason == srBreakpoint) return words + HexText(stop.PC & 0xFF, 2);
  if (stop.Reason == srWatch && stop.WatchSpace != csNone) {
    return WatchName(stop.WatchSpace, stop.WatchAddress) + " written at " + HexText(stop.WatchAt & 0xFF, 2);
  }
  return words;
}

const char* StopReportWord(TStopReason reason) { return Entry(reason).ReportWord; }

std::optional<TStopReason> StopFromReportWord(std::string_view word) {
  for (const TStopEntry& entry : StopTable)
    if (!word.empty() && word == entry.ReportWord) return entry.Reason;
  return std::nullopt;
}

std::string BreakpointWords(int address, bool on) {
  return (on ? "Breakpoint set at " : "Breakpoint removed at ") + HexText(address & 0xFF, 2);
}

std::string WatchWords(TCellSpace space, int address, bool on) {
  return WatchName(space, address) + (on ? " watched" : " no longer watched");
}
