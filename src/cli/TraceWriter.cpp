#include "cli/TraceWriter.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <ostream>

#include "grading/ByteText.h"
#include "machine/Disassembler.h"
#include "machine/ProgramMap.h"

namespace {

const char* const KindNames[] = {"cell", "register", "pc"};
constexpr size_t BlockSize = 1 << 16;

}  // namespace

TTraceWriter::TTraceWriter(std::ostream& out) : FOut(out) {}

void TTraceWriter::Number(int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  FLines.append(digits, end);
}

const std::string& TTraceWriter::TextJson(const TTraceStep& step) {
  TCachedText& cached = FTexts[static_cast<size_t>(step.Address)];
  if (cached.Valid && cached.First == step.First && cached.Second == step.Second) return cached.Json;
  FScratch[static_cast<size_t>(step.Address)] = step.First;
  FScratch[static_cast<size_t>((step.Address + 1) & 0xFF)] = step.Second;
  const std::string line = Disassemble(FScratch, step.Address).Line;
  // The listing's prefix "AA:  XX,YY  " repeats address and bytes, which
  // the trace has as numbers; the text is what follows it.
  const size_t textStart = line.find("  ", 5);
  const std::string text = textStart == std::string::npos ? line : line.substr(textStart + 2);
  cached = {true, step.First, step.Second, nlohmann::json(Latin1ToUtf8(text)).dump()};
  return cached.Json;
}

void TTraceWriter::SetMap(const TProgramMap* map) {
  FMap = map;
  for (int a = 0; a < MemorySize; ++a) {
    std::string& keys = FSourceKeys[static_cast<size_t>(a)];
    keys.clear();
    if (map == nullptr || map->Cell(a).Kind == mkNone) continue;
    keys = ",\"line\":" + std::to_string(map->Cell(a).Line);
    if (const TMapLabel* label = map->LabelAt(a))
      keys += ",\"label\":" + nlohmann::json(Latin1ToUtf8(label->Name)).dump();
  }
}

void TTraceWriter::Write(const TTraceStep& step) {
  FLines += "{\"step\":";
  Number(static_cast<int64_t>(step.Step));
  FLines += ",\"address\":";
  Number(step.Address);
  // The disassembly beside it shows addresses in hex.
  FLines += ",\"pc_hex\":\"";
  FLines += "0123456789ABCDEF"[(step.Address >> 4) & 0xF];
  FLines += "0123456789ABCDEF"[step.Address & 0xF];
  FLines += "\",\"bytes\":[";
  Number(step.First);
  FLines += ',';
  Number(step.Second);
  FLines += "],\"text\":";
  FLines += TextJson(step);
  if (FMap != nullptr) {
    const auto a = static_cast<size_t>(step.Address);
    const TMapCell& cell = FMap->Cell(step.Address);
    const TMapCell& next = FMap->Cell(step.Address + 1);
    // Both cells as assembled; an unmapped second cell (data ending at the
    // first) does not count against it.
    if (cell.Kind != mkNone && step.First == cell.Value && (next.Kind == mkNone || step.Second == next.Value))
      FLines += FSourceKeys[a];
  }
  FLines += ",\"writes\":[";
  bool first = true;
  for (const TRunWrite& write : step.Writes) {
    FLines += first ? "{\"kind\":\"" : ",{\"kind\":\"";
    first = false;
    FLines += KindNames[write.Kind];
    FLines += '"';
    if (write.Kind != wkPC) {
      FLines += ",\"address\":";
      Number(write.Address);
    }
    FLines += ",\"old\":";
    Number(write.Old);
    FLines += ",\"new\":";
    Number(write.New);
    if (write.Kind == wkRegister && write.Address == RegisterCount - 1) {
      FLines += ",\"output\":";
      Number(write.New & 0xFF);
    }
    FLines += '}';
  }
  FLines += "]}\n";
  if (FLines.size() >= BlockSize) Flush();
}

void TTraceWriter::Flush() {
  if (FLines.empty()) return;
  FOut.write(FLines.data(), static_cast<std::streamsize>(FLines.size()));
  FLines.clear();
}
