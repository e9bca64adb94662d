#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "grading/CliRun.h"
#include "machine/Instruction.h"

class TProgramMap;

// Writes run --trace: JSON Lines, one object per executed instruction:
//   {"step":1,"address":0,"bytes":[47,72],"text":"load  RF,48 ...",
//    "writes":[{"kind":"pc","old":0,"new":2},
//              {"kind":"register","address":15,"old":0,"new":72,"output":72}]}
// A trace runs to millions of lines, so the numbers are formatted here and
// only the disassembled text goes through the JSON library, once per
// instruction seen at an address. With the map of a source, each line also
// has "line" (1-based) and, when a label marks the address, "label", after
// "text"; an instruction whose bytes are no longer those assembled there
// (the program wrote over itself) has neither.
class TTraceWriter {
 public:
  explicit TTraceWriter(std::ostream& out);
  ~TTraceWriter() { Flush(); }
  TTraceWriter(const TTraceWriter&) = delete;
  TTraceWriter& operator=(const TTraceWriter&) = delete;

  // Lines are collected and handed to the stream in blocks of about 64 KiB:
  // one stream call per line would cost a third of the time.
  void Write(const TTraceStep& step);
  // The map of the source the program came from; it must outlive the writer.
  void SetMap(const TProgramMap* map);
  // Hands on what is collected; call it before checking the stream.
  void Flush();

 private:
  struct TCachedText {
    bool Valid = false;
    int32_t First = 0;
    int32_t Second = 0;
    std::string Json;  // the quoted, escaped text
  };
  const std::string& TextJson(const TTraceStep& step);
  void Number(int64_t value);

  std::ostream& FOut;
  std::string FLines;
  TMemoryCells FScratch{};  // two cells at the step's address, for the disassembler
  std::array<TCachedText, MemorySize> FTexts;
  const TProgramMap* FMap = nullptr;
  std::array<std::string, MemorySize> FSourceKeys;  // ,"line":N,"label":"X" of each address
};
