#include "machine/ProgramMap.h"

#include <algorithm>

void TProgramMap::Clear() {
  FCells.fill(TMapCell{});
  FLabels.clear();
}

bool TProgramMap::Empty() const {
  return FLabels.empty() && std::all_of(FCells.begin(), FCells.end(), [](const TMapCell& c) { return c.Line == 0; });
}

void TProgramMap::SortLabelsByLine() {
  std::stable_sort(FLabels.begin(), FLabels.end(),
                   [](const TMapLabel& a, const TMapLabel& b) { return a.Line < b.Line; });
}

const TMapLabel* TProgramMap::LabelAt(int address) const {
  const int a = address & (MemorySize - 1);
  for (const TMapLabel& label : FLabels) {
    if (label.Address == a) return &label;
  }
  return nullptr;
}

std::vector<const TMapLabel*> TProgramMap::LabelsAt(int address) const {
  const int a = address & (MemorySize - 1);
  std::vector<const TMapLabel*> labels;
  for (const TMapLabel& label : FLabels) {
    if (label.Address == a) labels.push_back(&label);
  }
  return labels;
}

int TProgramMap::FirstCodeAddress(int line) const {
  // An org may place a later line below an earlier one, so the lowest
  // address of the line is not always the first it emitted; the first byte
  // of its one instruction is the only mkCodeFirst cell it has.
  for (int a = 0; a < MemorySize; ++a) {
    const TMapCell& c = FCells[static_cast<size_t>(a)];
    if (c.Line == line && c.Kind == mkCodeFirst) return a;
  }
  return -1;
}

int TProgramMap::CodeLineFrom(int line) const {
  int best = 0;
  for (const TMapCell& c : FCells) {
    if (c.Kind == mkCodeFirst && c.Line >= line && (best == 0 || c.Line < best)) best = c.Line;
  }
  return best;
}

int TProgramMap::LastLine() const {
  int last = 0;
  for (const TMapCell& c : FCells) last = std::max(last, c.Line);
  return last;
}

namespace {

void AppendJsonString(std::string& out, const std::string& text) {
  static const char* const Hex = "0123456789abcdef";
  out += '"';
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += "\\u00";
      out += Hex[c >> 4];
      out += Hex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

}  // namespace

std::string TProgramMap::ToJson() const {
  std::string out = "{\"cells\":[";
  bool first = true;
  for (int a = 0; a < MemorySize; ++a) {
    const TMapCell& c = FCells[static_cast<size_t>(a)];
    if (c.Kind == mkNone) continue;
    if (!first) out += ',';
    first = false;
    out += "{\"address\":" + std::to_string(a) + ",\"line\":" + std::to_string(c.Line) +
           ",\"start\":" + std::to_string(c.StartColumn) + ",\"end\":" + std::to_string(c.EndColumn) + ",\"kind\":\"" +
           MapKindName(c.Kind) + "\"}";
  }
  out += "],\"labels\":[";
  first = true;
  for (const TMapLabel& label : FLabels) {
    if (!first) out += ',';
    first = false;
    out += "{\"name\":";
    AppendJsonString(out, label.Name);
    out += ",\"address\":" + std::to_string(label.Address) + ",\"line\":" + std::to_string(label.Line) + "}";
  }
  out += "]}\n";
  return out;
}

const char* MapKindName(TMapKind kind) {
  switch (kind) {
    case mkCodeFirst: return "code";
    case mkCodeSecond: return "operand";
    case mkData: return "data";
    case mkNone: break;
  }
  return "";
}
