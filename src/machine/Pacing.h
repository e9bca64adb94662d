#pragma once

#include <cstdint>

// The pacing of a run at a set speed, shared by the window and the page:
// the instructions due a given time after the run (or its last change of
// speed) started, counting the first at once, and how many to execute in
// one go. At ShowEveryStepSpeed and below they go one at a time, so that
// each is shown.
class TPacing {
 public:
  static constexpr int ShowEveryStepSpeed = 100;

  // Counts from now on (elapsed 0) at perSecond instructions a second (> 0).
  void Restart(double perSecond) {
    FSpeed = perSecond;
    FDone = 0;
  }
  double Speed() const { return FSpeed; }
  bool ShowEach() const { return FSpeed <= ShowEveryStepSpeed; }
  // Instructions due in all by elapsed seconds after Restart.
  uint64_t DueBy(double elapsed) const { return static_cast<uint64_t>(elapsed * FSpeed) + 1; }
  // Executed (or attempted, at least one) since Restart.
  uint64_t Done() const { return FDone; }
  void Count(uint64_t executed) { FDone += executed > 0 ? executed : 1; }
  // The budget of the next call while Done() < due.
  uint64_t Batch(uint64_t due) const { return ShowEach() ? 1 : due - FDone; }
  // Seconds from elapsed until the next instruction is due (<= 0: now).
  double NextDelay(double elapsed) const { return static_cast<double>(FDone) / FSpeed - elapsed; }

 private:
  double FSpeed = 1;
  uint64_t FDone = 0;
};
