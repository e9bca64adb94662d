#include "mainwin/TerminalHistory.h"

void TTerminalHistory::Shown(uint64_t position, const TTerminalModel& terminal) {
  if (position >= FSnapshots.back().Position + SnapshotSpacing) FSnapshots.push_back({position, terminal});
}

const TTerminalHistory::TSnapshot& TTerminalHistory::Back(uint64_t position) {
  while (FSnapshots.size() > 1 && FSnapshots.back().Position > position) FSnapshots.pop_back();
  return FSnapshots.back();
}

uint64_t TTerminalHistory::LetGo(uint64_t reachable) {
  while (FSnapshots.size() > 1 && FSnapshots[1].Position <= reachable) FSnapshots.pop_front();
  return FSnapshots.front().Position;
}
