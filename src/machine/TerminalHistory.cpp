#include "machine/TerminalHistory.h"

#include "machine/Simulator.h"

void TTerminalHistory::Show(const TTerminalModel& copy) {
  const int cols = FTerminal.Cols();
  const int rows = FTerminal.Rows();
  FTerminal = copy;
  FTerminal.SetSize(cols, rows);
}

bool TTerminalHistory::Follow(TSimulator& simulator, std::string* written) {
  if (written) written->clear();
  const uint64_t output = simulator.OutputCount();
  const bool redrawn = output < FShown;
  if (redrawn) {
    // The terminal cannot take a byte back (it may have scrolled a line
    // away): it is drawn again from the newest copy at or before that point.
    while (FSnapshots.size() > 1 && FSnapshots.back().Position > output) FSnapshots.pop_back();
    // Only after StartOver can output go back before the oldest copy, which
    // then stands for all of it.
    TSnapshot& base = FSnapshots.back();
    if (base.Position > output) base.Position = output;
    Show(base.Terminal);
    for (char ch : simulator.OutputSince(base.Position)) FTerminal.Write(static_cast<unsigned char>(ch));
  } else {
    const std::string_view fresh = simulator.OutputSince(FShown);
    for (char ch : fresh) FTerminal.Write(static_cast<unsigned char>(ch));
    if (written) written->assign(fresh);
  }
  FShown = output;
  if (output >= FSnapshots.back().Position + FSpacing) FSnapshots.push_back({output, FTerminal, false, {}});
  // Each entry of the history takes back at most one byte of output, so
  // bytes older than that many can never come back into view: the copies
  // before the newest one at or before that point are no longer needed,
  // nor the bytes before it.
  const uint64_t undoable = simulator.History().Size();
  const uint64_t reachable = output > undoable ? output - undoable : 0;
  while (FSnapshots.size() > 1 && FSnapshots[1].Position <= reachable) FSnapshots.pop_front();
  const uint64_t oldest = FSnapshots.front().Position;
  const uint64_t held = output - simulator.OutputSince(0).size();
  if (oldest > held) simulator.TakeOutput(static_cast<size_t>(oldest - held));
  return redrawn;
}

void TTerminalHistory::Clear() {
  TSnapshot cleared;
  cleared.Position = FShown;
  cleared.Cleared = true;
  cleared.Before = FTerminal;
  FSnapshots.push_back(std::move(cleared));
  Show(TTerminalModel());
}

bool TTerminalHistory::Unclear() {
  TSnapshot& newest = FSnapshots.back();
  if (!newest.Cleared) return false;
  Show(newest.Before);
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

void TTerminalHistory::StartOver(std::string_view bytes) {
  Show(TTerminalModel());
  for (char ch : bytes) FTerminal.Write(static_cast<unsigned char>(ch));
  FSnapshots.clear();
  FSnapshots.push_back({FShown, FTerminal, false, {}});
}
