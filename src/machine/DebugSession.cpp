#include "machine/DebugSession.h"

#include <algorithm>

#include "machine/InstructionSet.h"
#include "machine/Simulator.h"

void TDebugSession::SetMap(const TProgramMap& map) {
  PruneCleared();
  for (const TLineBreakpoint& b : FLineBreakpoints) {
    if (b.Address >= 0) FSimulator.SetBreakpoint(b.Address, false);
  }
  FMap = map;
  FHasMap = true;
  for (TLineBreakpoint& b : FLineBreakpoints) {
    b = Bind(b.Line);
    if (b.Address >= 0) FSimulator.SetBreakpoint(b.Address, true);
  }
}

void TDebugSession::DropMap() {
  FMap.Clear();
  FHasMap = false;
  FLineBreakpoints.clear();
}

bool TDebugSession::Stale(int address) const {
  if (!FHasMap) return false;
  const TMapCell& c = FMap.Cell(address);
  return c.Kind != mkNone && FSimulator.Memory(address) != c.Value;
}

TSourcePlace TDebugSession::PlaceAt(int address) const {
  if (!FHasMap) return {};
  const TMapCell& c = FMap.Cell(address);
  if (c.Kind == mkNone) return {};
  TPlaceState state = c.Kind == mkData ? psData : psCode;
  if (Stale(address)) state = psStale;
  return {state, c.Line, c.StartColumn, c.EndColumn, c.Kind};
}

TSourcePlace TDebugSession::PlaceAtPC() const {
  const int pc = FSimulator.PC() & (MemorySize - 1);
  TSourcePlace place = PlaceAt(pc);
  if (place.State == psCode && place.Kind == mkCodeFirst && Stale(pc + 1)) place.State = psStale;
  return place;
}

std::string TDebugSession::PlaceWords(const TSourcePlace& place) {
  switch (place.State) {
    case psCode: return "line " + std::to_string(place.Line);
    case psData: return "data, line " + std::to_string(place.Line);
    case psStale: return "changed since assembling";
    case psNone: break;
  }
  return "";
}

std::string TDebugSession::TraceTag(int address) const {
  TSourcePlace place = PlaceAt(address);
  if (place.State == psCode && place.Kind == mkCodeFirst && Stale(address + 1)) place.State = psStale;
  std::string words = PlaceWords(place);
  if (place.State == psCode) {
    if (const TMapLabel* label = LabelAt(address)) words += ", " + label->Name;
  }
  return words;
}

const TMapLabel* TDebugSession::LabelAt(int address) const { return FHasMap ? FMap.LabelAt(address) : nullptr; }

const TMapLabel* TDebugSession::JumpTargetLabel(int address) const {
  if (!FHasMap) return nullptr;
  const int32_t first = FSimulator.Memory(address);
  const int opcode = (first >> 4) & 0x0F;
  if (first < 0 || first > 255 || (opcode != opJmpEQ && opcode != opJmpLE)) return nullptr;
  return FMap.LabelAt(FSimulator.Memory(address + 1));
}

TLineBreakpoint TDebugSession::Bind(int line) const {
  TLineBreakpoint b{line, 0, -1};
  if (!FHasMap) return b;
  b.BoundLine = FMap.CodeLineFrom(line);
  if (b.BoundLine != 0) b.Address = FMap.FirstCodeAddress(b.BoundLine);
  return b;
}

void TDebugSession::PruneCleared() {
  std::erase_if(FLineBreakpoints,
                [this](const TLineBreakpoint& b) { return b.Address >= 0 && !FSimulator.Breakpoint(b.Address); });
}

TLineBreakpoint TDebugSession::SetLineBreakpoint(int line, bool on) {
  PruneCleared();
  const TLineBreakpoint bound = Bind(line);
  auto same = [line](const TLineBreakpoint& b) { return b.Line == line; };
  std::erase_if(FLineBreakpoints, same);
  if (!FHasMap) return bound;
  if (on) {
    if (bound.Address >= 0) FSimulator.SetBreakpoint(bound.Address, true);
    FLineBreakpoints.push_back(bound);
    std::sort(FLineBreakpoints.begin(), FLineBreakpoints.end(),
              [](const TLineBreakpoint& a, const TLineBreakpoint& b) { return a.Line < b.Line; });
  } else if (bound.Address >= 0) {
    // Two asked lines may share one bound line: clearing either clears it.
    std::erase_if(FLineBreakpoints, [&](const TLineBreakpoint& b) { return b.Address == bound.Address; });
    FSimulator.SetBreakpoint(bound.Address, false);
  }
  return bound;
}

std::vector<TLineBreakpoint> TDebugSession::LineBreakpoints() const {
  std::vector<TLineBreakpoint> list;
  for (const TLineBreakpoint& b : FLineBreakpoints) {
    if (b.Address < 0 || FSimulator.Breakpoint(b.Address)) list.push_back(b);
  }
  return list;
}

std::vector<int> TDebugSession::BreakpointLines() const {
  std::vector<int> lines;
  if (!FHasMap) return lines;
  for (int a = 0; a < MemorySize; ++a) {
    const TMapCell& c = FMap.Cell(a);
    if (c.Kind == mkCodeFirst && FSimulator.Breakpoint(a)) lines.push_back(c.Line);
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

void TDebugSession::ShiftLines(int fromLine, int delta) {
  for (TLineBreakpoint& b : FLineBreakpoints) {
    if (b.Line < fromLine) continue;
    if (delta < 0 && b.Line < fromLine - delta) {
      b.Line = fromLine;
    } else {
      b.Line += delta;
    }
  }
}
