#include "machine/TraceLog.h"

#include <algorithm>
#include <utility>

#include "machine/TraceFormat.h"

void TTraceLog::Append(std::string line, uint64_t step, TChange& change) {
  change.Added.push_back(line);
  FLines.push_back(TLine{std::move(line), step});
  FShownStep = step;
  if (FLines.size() > MaxLines) FLines.pop_front();
  ++FRevision;
}

TTraceLog::TChange TTraceLog::AddLine(std::string line, uint64_t step) {
  TChange change = step > 0 ? CatchUp(step - 1) : TChange{};
  Append(std::move(line), step, change);
  return change;
}

TTraceLog::TChange TTraceLog::CatchUp(uint64_t executed) {
  TChange change;
  if (executed > FShownStep) Append(FormatTraceGap(executed - FShownStep), executed, change);
  return change;
}

TTraceLog::TChange TTraceLog::StartSection(const std::string& title, uint64_t executed) {
  TChange change = CatchUp(executed);
  if (!FLines.empty()) Append("--- " + title + " ---", executed, change);
  FShownStep = executed;
  return change;
}

TTraceLog::TChange TTraceLog::TakeBackTo(uint64_t executed) {
  TChange change;
  while (!FLines.empty() && FLines.back().Step > executed) {
    FLines.pop_back();
    ++change.Removed;
    ++FRevision;
  }
  FShownStep = FLines.empty() ? std::min(FShownStep, executed) : FLines.back().Step;
  // A count of untraced instructions partly undone is written again with
  // what is left of it.
  TChange caught = CatchUp(executed);
  change.Added = std::move(caught.Added);
  return change;
}

void TTraceLog::Clear(uint64_t executed) {
  FLines.clear();
  FShownStep = executed;
  ++FRevision;
}
