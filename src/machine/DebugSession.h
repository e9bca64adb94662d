#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "machine/ProgramMap.h"

class TSimulator;

// Where an address of memory stands in the source the session holds.
enum TPlaceState : uint8_t {
  psNone,   // no map, or nothing was assembled there
  psCode,   // an instruction byte that still holds its assembled value
  psData,   // a db byte that still holds its assembled value
  psStale,  // assembled there, but changed since: the line no longer tells
};

struct TSourcePlace {
  TPlaceState State = psNone;
  int Line = 0;  // 1-based; also set for psStale (the line it came from)
  int StartColumn = 0;
  int EndColumn = 0;
  TMapKind Kind = mkNone;
  bool operator==(const TSourcePlace&) const = default;
};

// A breakpoint asked for on a source line: the line it was set on, the line
// with code it went to (the same, or the next that has code) and that line's
// first instruction address; BoundLine 0 and Address -1 when no line at or
// after it has code.
struct TLineBreakpoint {
  int Line = 0;
  int BoundLine = 0;
  int Address = -1;
  bool operator==(const TLineBreakpoint&) const = default;
};

// The source-level view of one simulator session, shared by the window, the
// page and orvik-cli: the map of the program the session holds, whether
// memory still matches it, breakpoints by line and labels. A cell is stale
// while its value differs from the one assembled there, so Undo and Step
// Back make it valid again by restoring the cell, with nothing to track.
// Breakpoints themselves live in the simulator, by address; a line
// breakpoint is the reason one was set, kept to re-bind it after the next
// assembly.
class TDebugSession {
 public:
  explicit TDebugSession(TSimulator& simulator) : FSimulator(simulator) {}
  TDebugSession(const TDebugSession&) = delete;
  TDebugSession& operator=(const TDebugSession&) = delete;

  // --- the map
  // The image of this map was just loaded into memory (an Assemble). The
  // line breakpoints are bound again on the new map, by line.
  void SetMap(const TProgramMap& map);
  // Another program (a program file, Clear): no source stands behind memory.
  // Line breakpoints are forgotten; their address breakpoints stay.
  void DropMap();
  bool HasMap() const { return FHasMap; }
  const TProgramMap& Map() const { return FMap; }

  // True when address was assembled and memory no longer holds that value.
  bool Stale(int address) const;
  // Where the byte at address came from.
  TSourcePlace PlaceAt(int address) const;
  // The instruction at PC, the next to run: stale also when only its second
  // byte changed.
  TSourcePlace PlaceAtPC() const;
  // The place the views band: the instruction at PC, except right after a
  // halt, which leaves PC past it on whatever follows; then nothing runs
  // next and the halt's own line is the one to show.
  TSourcePlace PlaceShown() const;
  // The source line as the views say it: "line 6", "data, line 6",
  // "changed since assembling", "" (no map or unmapped).
  static std::string PlaceWords(const TSourcePlace& place);
  // "line 6, NextChar" for a trace line of the instruction at address;
  // without the label when none marks it; PlaceWords when not code; "".
  std::string TraceTag(int address) const;

  // --- labels (nullptr / "" without a map)
  const TMapLabel* LabelAt(int address) const;
  // The label a jump at address targets (its second byte), or nullptr when
  // the cell holds no jump or no label marks its target.
  const TMapLabel* JumpTargetLabel(int address) const;

  // --- breakpoints by line (1-based lines of the assembled source)
  // Sets or clears the breakpoint of line; returns where it is bound (also
  // when cleared). Without a map nothing is set and BoundLine is 0.
  TLineBreakpoint SetLineBreakpoint(int line, bool on);
  // The line breakpoints, ascending by Line; those whose address breakpoint
  // was cleared elsewhere (the disassembly margin) are left out.
  std::vector<TLineBreakpoint> LineBreakpoints() const;
  // The lines whose first instruction has an address breakpoint, however it
  // was set: what the editor gutter shows. Ascending.
  std::vector<int> BreakpointLines() const;
  // The editor changed lines: from fromLine on every line moved by delta
  // (delta < 0: lines fromLine .. fromLine - delta - 1 were removed, and
  // breakpoints on them go to fromLine). Bindings follow on the next SetMap.
  // Until then every line this class takes or gives is a line of the text
  // as it reads now: the place of PC, the breakpoint lines and the bindings
  // move with their lines; code whose line was removed is stale.
  void ShiftLines(int fromLine, int delta);
  // Where a breakpoint on line would go, without setting one (Run to line).
  TLineBreakpoint Binding(int line) const { return Bind(line); }

 private:
  TLineBreakpoint Bind(int line) const;
  void PruneCleared();
  // A line of the assembled source as the text reads now (0: removed), and
  // the first assembled line that reads at or after a line now (0: none).
  int LineNow(int assembledLine) const;
  int AssembledLineFrom(int line) const;

  TSimulator& FSimulator;
  TProgramMap FMap;
  bool FHasMap = false;
  std::vector<TLineBreakpoint> FLineBreakpoints;
  // FLinesNow[n]: where line n of the assembled source is now (0: removed),
  // for the lines up to the map's last; identity right after SetMap.
  std::vector<int> FLinesNow;
};
