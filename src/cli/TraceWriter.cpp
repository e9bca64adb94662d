#include "cli/TraceWriter.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/ByteText.h"
#include "machine/Disassembler.h"

namespace {

const char* const KindNames[] = {"cell", "register", "pc"};

}  // namespace

TTraceWriter::TTraceWriter(std::ostream& out) : FOut(out), FScratch(MemorySize) {}

void TTraceWriter::Number(int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  FLine.append(digits, end);
}

const std::string& TTraceWriter::TextJson(const TTraceStep& step) {
  TCachedText& cached = FTexts[static_cast<size_t>(step.Address)];
  if (cached.Valid && cached.First == step.First && cached.Second == step.Second) return cached.Json;
  FScratch.SetContents(step.Address, step.First);
  FScratch.SetContents((step.Address + 1) & 0xFF, step.Second);
  const std::string line = Disassemble(FScratch, step.Address).Line;
  // The listing's prefix "AA:  XX,YY  " repeats address and bytes, which
  // the trace has as numbers; the text is what follows it.
  const size_t textStart = line.find("  ", 5);
  const std::string text = textStart == std::string::npos ? line : line.substr(textStart + 2);
  cached = {true, step.First, step.Second, nlohmann::json(Latin1ToUtf8(text)).dump()};
  return cached.Json;
}

void TTraceWriter::Write(const TTraceStep& step) {
  FLine.assign("{\"step\":");
  Number(static_cast<int64_t>(step.Step));
  FLine += ",\"address\":";
  Number(step.Address);
  FLine += ",\"bytes\":[";
  Number(step.First);
  FLine += ',';
  Number(step.Second);
  FLine += "],\"text\":";
  FLine += TextJson(step);
  FLine += ",\"writes\":[";
  bool first = true;
  for (const TRunWrite& write : step.Writes) {
    FLine += first ? "{\"kind\":\"" : ",{\"kind\":\"";
    first = false;
    FLine += KindNames[write.Kind];
    FLine += '"';
    if (write.Kind != wkPC) {
      FLine += ",\"address\":";
      Number(write.Address);
    }
    FLine += ",\"old\":";
    Number(write.Old);
    FLine += ",\"new\":";
    Number(write.New);
    if (write.Kind == wkRegister && write.Address == RegisterCount - 1) {
      FLine += ",\"output\":";
      Number(write.New & 0xFF);
    }
    FLine += '}';
  }
  FLine += "]}\n";
  FOut.write(FLine.data(), static_cast<std::streamsize>(FLine.size()));
}
