#include "mainwin/TerminalHistory.h"

void TTerminalHistory::Shown(uint64_t position, const TTerminalModel& terminal) {
  if (position >= FSnapshots.back().Position + SnapshotSpacing) FSnapshots.push_back({position, terminal, false, {}});
}

const TTerminalHistory::TSnapshot& TTerminalHistory::Back(uint64_t position) {
  while (FSnapshots.size() > 1 && FSnapshots.back().Position > position) FSnapshots.pop_back();
  return FSnapshots.back();
}

uint64_t TTerminalHistory::LetGo(uint64_t reachable) {
  while (FSnapshots.size() > 1 && FSnapshots[1].Position <= reachable) FSnapshots.pop_front();
  return FSnapshots.front().Position;
}

void TTerminalHistory::Clear(uint64_t position, const TTerminalModel& terminal) {
  TSnapshot cleared;
  cleared.Position = position;
  cleared.Cleared = true;
  cleared.Before = terminal;
  FSnapshots.push_back(std::move(cleared));
}

bool TTerminalHistory::Unclear(TTerminalModel& terminal) {
  TSnapshot& newest = FSnapshots.back();
  if (!newest.Cleared) return false;
  terminal = newest.Before;
  if (FSnapshots.size() > 1) {
    FSnapshots.pop_back();
  } else {
    // The copies before the clearing have gone: the terminal as it was
    // becomes the oldest copy, at the same point of the output.
    newest.Terminal = std::move(newest.Before);
    newest.Before = TTerminalModel();
    newest.Cleared = false;
  }
  return true;
}
