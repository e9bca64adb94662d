#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The trace pane's lines, the same for the window and the page: one line in
// plain words for every instruction shown step by step, the newest last, at
// most MaxLines of them. Each line remembers which step of the session it
// tells of, so that stepping back takes back the lines of the instructions
// undone and no others. Instructions that ran without a line (a run faster
// than the trace follows) get one line saying how many they were, and a new
// program starts a section of its own.
class TTraceLog {
 public:
  static constexpr size_t MaxLines = 1000;

  // What a call did to the lines: the newest Removed went, then Added came
  // (a view that drops its own oldest lines past MaxLines follows exactly).
  struct TChange {
    size_t Removed = 0;
    std::vector<std::string> Added;
  };

  // step: the session's count of executed instructions after the one the
  // line tells of.
  TChange AddLine(std::string line, uint64_t step);
  // The count of instructions that ran since the newest line, when there
  // were any, as one line; executed is the session's count now.
  TChange CatchUp(uint64_t executed);
  // Another program in memory (opened, assembled): a line with title between
  // the earlier lines and the new ones.
  TChange StartSection(const std::string& title, uint64_t executed);
  // Removes the newest lines of steps after executed (they were undone).
  TChange TakeBackTo(uint64_t executed);
  void Clear(uint64_t executed = 0);

  size_t Size() const { return FLines.size(); }
  const std::string& Line(size_t i) const { return FLines[i].Text; }
  // Counts every change, so a view can tell that it is behind.
  uint64_t Revision() const { return FRevision; }

 private:
  struct TLine {
    std::string Text;
    uint64_t Step;
  };
  void Append(std::string line, uint64_t step, TChange& change);

  std::deque<TLine> FLines;
  // The session's count of executed instructions the newest line stands at.
  uint64_t FShownStep = 0;
  uint64_t FRevision = 0;
};
