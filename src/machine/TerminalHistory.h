#pragma once

#include "machine/TerminalModel.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

class TSimulator;

// The output terminal of a session with step back: the text it shows, kept
// up with the simulator's output, and copies of it at points a step back may
// return to, so that output taken back is drawn again exactly: from the
// newest copy at or before that point and the bytes written after it. The
// simulator keeps those bytes; this lets it forget the ones older than the
// oldest copy still needed. The window's terminal and the page's show it.
class TTerminalHistory {
 public:
  // Taking a copy of the small terminal this often keeps a redraw short
  // and the bytes the simulator lets go of in large pieces.
  static constexpr uint64_t DefaultSpacing = uint64_t{1} << 18;

  explicit TTerminalHistory(uint64_t spacing = DefaultSpacing) : FSpacing(spacing), FSnapshots(1) {}

  // The text as shown. A view may write to it and size it; what it writes
  // is not output and goes with the next redraw.
  TTerminalModel& Terminal() { return FTerminal; }
  const TTerminalModel& Terminal() const { return FTerminal; }
  void SetSize(int cols, int rows) { FTerminal.SetSize(cols, rows); }
  // The bytes of output the terminal shows, counted since the start.
  uint64_t Shown() const { return FShown; }

  // Brings the terminal up to the simulator's output: new bytes are written;
  // output a step back or an undone edit took back is drawn again. Then lets
  // the simulator forget the bytes no step back can bring back into view.
  // Returns true when the terminal was drawn again; else written (when
  // given) receives the bytes written.
  bool Follow(TSimulator& simulator, std::string* written = nullptr);

  // The student cleared the terminal: it is empty from this point of the
  // output on, and a step back before it draws what it showed.
  void Clear();
  // Takes the newest clearing back: false when it is no longer held (the
  // undo of the edit is then out of reach too), else the terminal shows
  // again what it showed before it.
  bool Unclear();
  // Starts over showing bytes at the point of the output shown now, as a
  // reload of the page finds it; no step back takes them away.
  void StartOver(std::string_view bytes);

  size_t SnapshotCount() const { return FSnapshots.size(); }

 private:
  struct TSnapshot {
    uint64_t Position = 0;  // bytes of output written before it
    TTerminalModel Terminal;
    // Set when the student cleared the terminal here: Terminal is empty and
    // Before is what it showed, for an Undo of the clearing.
    bool Cleared = false;
    TTerminalModel Before;
  };

  // Shows copy, taken at another size perhaps, at the terminal's size.
  void Show(const TTerminalModel& copy);

  uint64_t FSpacing;
  TTerminalModel FTerminal;
  uint64_t FShown = 0;
  std::deque<TSnapshot> FSnapshots;  // never empty, oldest first
};
