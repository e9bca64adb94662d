#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"

struct TAsmError {
  int Line = 0;
  int Column = 0;
  std::string Message;

  bool operator==(const TAsmError&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TAsmError& error) {
  return out << "{" << error.Line << ", " << error.Column << ", \"" << error.Message << "\"}";
}

struct TAsmResult {
  std::vector<TAsmError> Errors;
  std::vector<int> Image;  // all 256 cells through GetByte
};

// Assembles the lines with a fresh parser and collects every report in order.
inline TAsmResult AssembleLines(const std::vector<std::string>& lines) {
  TStringListSource source(lines);
  TAsmParser parser(&source);
  TAsmResult result;
  parser.Assemble([&](int line, int column, const std::string& message) {
    result.Errors.push_back({line, column, message});
  });
  for (int address = 0; address < TAsmParser::ImageSize; ++address) result.Image.push_back(parser.GetByte(address));
  return result;
}
