#include "machine/DebugSession.h"

#include <algorithm>

#include "machine/Executor.h"
#include "machine/InstructionSet.h"
#include "machine/Simulator.h"

void TDebugSession::SetMap(const TProgramMap& map) {
  PruneCleared();
  for (const TLineBreakpoint& b : FLineBreakpoints) {
    if (b.Address >= 0) FSimulator.SetBreakpoint(b.Address, false);
  }
  FMap = map;
  FHasMap = true;
  FLinesNow.resize(static_cast<size_t>(FMap.LastLine()) + 1);
  for (size_t n = 0; n < FLinesNow.size(); ++n) FLinesNow[n] = static_cast<int>(n);
  for (TLineBreakpoint& b : FLineBreakpoints) {
    b = Bind(b.Line);
    if (b.Address >= 0) FSimulator.SetBreakpoint(b.Address, true);
  }
}

void TDebugSession::DropMap() {
  FMap.Clear();
  FHasMap = false;
  FLineBreakpoints.clear();
  FLinesNow.clear();
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
  const int line = LineNow(c.Line);
  if (Stale(address) || line == 0) state = psStale;
  return {state, line, c.StartColumn, c.EndColumn, c.Kind};
}

TSourcePlace TDebugSession::PlaceAtPC() const {
  const int pc = FSimulator.PC() & (MemorySize - 1);
  TSourcePlace place = PlaceAt(pc);
  if (place.State == psCode && place.Kind == mkCodeFirst && Stale(pc + 1)) place.State = psStale;
  return place;
}

TSourcePlace TDebugSession::PlaceShown() const {
  TStepTrace last;
  const bool halted = FSimulator.LastStep(last) && DecodeInstruction(last.First, last.Second).Kind == dkHalt &&
                      ((last.Address + 2) & (MemorySize - 1)) == (FSimulator.PC() & (MemorySize - 1));
  return halted ? PlaceAt(last.Address) : PlaceAtPC();
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
  const int assembled = AssembledLineFrom(line);
  const int code = assembled > 0 ? FMap.CodeLineFrom(assembled) : 0;
  if (code == 0) return b;
  b.BoundLine = LineNow(code);
  b.Address = FMap.FirstCodeAddress(code);
  return b;
}

int TDebugSession::LineNow(int assembledLine) const {
  if (assembledLine <= 0 || static_cast<size_t>(assembledLine) >= FLinesNow.size()) return assembledLine;
  return FLinesNow[static_cast<size_t>(assembledLine)];
}

int TDebugSession::AssembledLineFrom(int line) const {
  // Lines now keep their order, so the first one at or after line is the
  // one wanted; a line typed since assembling has none of its own.
  for (size_t n = 1; n < FLinesNow.size(); ++n)
    if (FLinesNow[n] >= line) return static_cast<int>(n);
  return 0;
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
    if (c.Kind == mkCodeFirst && FSimulator.Breakpoint(a) && LineNow(c.Line) > 0) lines.push_back(LineNow(c.Line));
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

void TDebugSession::ShiftLines(int fromLine, int delta) {
  auto shift = [fromLine, delta](int& line, int removedTo) {
    if (line < fromLine) return;
    if (delta < 0 && line < fromLine - delta)
      line = removedTo;
    else
      line += delta;
  };
  for (TLineBreakpoint& b : FLineBreakpoints) {
    shift(b.Line, fromLine);
    if (b.BoundLine > 0) shift(b.BoundLine, 0);
  }
  for (size_t n = 1; n < FLinesNow.size(); ++n)
    if (FLinesNow[n] > 0) shift(FLinesNow[n], 0);
}
