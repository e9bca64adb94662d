#pragma once

#include "machine/TerminalModel.h"

#include <cstdint>
#include <deque>

// The output terminal as it was at points of the output a step back may
// return to, so that the window can draw it again exactly: from the newest
// snapshot at or before the point, and the bytes written after it. The
// session keeps those bytes; the window lets it forget the ones older than
// the oldest snapshot still needed.
class TTerminalHistory {
 public:
  // Taking a copy of the small terminal this often keeps a redraw short
  // and the bytes the session lets go of in large pieces.
  static constexpr uint64_t SnapshotSpacing = uint64_t{1} << 18;

  struct TSnapshot {
    uint64_t Position = 0;  // bytes of output written before it
    TTerminalModel Terminal;
    // Set when the student cleared the terminal here: Terminal is empty and
    // Before is what it showed, for an Undo of the clearing.
    bool Cleared = false;
    TTerminalModel Before;
  };

  TTerminalHistory() : FSnapshots(1) {}

  // The terminal shows position bytes of output now.
  void Shown(uint64_t position, const TTerminalModel& terminal);
  // Output was taken back to position: the snapshot to draw it again from.
  // Newer snapshots are forgotten.
  const TSnapshot& Back(uint64_t position);
  // No step back can take output back before reachable: the snapshots
  // that are no longer needed go. Returns the position of the oldest one
  // kept, before which the session may forget its bytes.
  uint64_t LetGo(uint64_t reachable);

  // The student cleared the terminal, which showed terminal at position:
  // from there on it is drawn again from an empty one.
  void Clear(uint64_t position, const TTerminalModel& terminal);
  // Takes the newest clearing back: false when it is no longer held (the
  // undo of the edit is then out of reach too), else terminal is set to what
  // the terminal showed before it.
  bool Unclear(TTerminalModel& terminal);

  size_t Count() const { return FSnapshots.size(); }

 private:
  std::deque<TSnapshot> FSnapshots;  // never empty, oldest first
};
