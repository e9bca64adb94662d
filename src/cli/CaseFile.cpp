#include "cli/CaseFile.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <stdexcept>

#include "cli/ByteText.h"

namespace {

using nlohmann::json;

// A mistake in the file's content; the message says where (as a JSON path
// such as cases[2].expect.registers) and what is wrong.
class TCaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void CheckKeys(const json& object, const std::string& where, const std::set<std::string>& allowed) {
  if (!object.is_object()) throw TCaseError(where + " must be an object {...}");
  // An unknown key is most often a typo ("ouput"): ignoring it would let a
  // case pass that checks nothing.
  for (const auto& item : object.items())
    if (!allowed.count(item.key())) throw TCaseError(where + " has the unknown key \"" + item.key() + "\"");
}

// A number as JSON writes it, or a string in hex with 0x ("0x7F").
int64_t ReadNumber(const json& value, const std::string& where) {
  if (value.is_number_integer()) return value.get<int64_t>();
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
      size_t used = 0;
      try {
        const int64_t number = std::stoll(text.substr(2), &used, 16);
        if (used == text.size() - 2) return number;
      } catch (const std::exception&) {
      }
    }
  }
  throw TCaseError(where + " must be a whole number or a hex string such as \"0x7F\", not " + value.dump());
}

int32_t ReadCell(const json& value, const std::string& where) {
  const int64_t number = ReadNumber(value, where);
  if (number < INT32_MIN || number > INT32_MAX) throw TCaseError(where + " does not fit a 32-bit cell");
  return static_cast<int32_t>(number);
}

// Memory addresses are hex, as everywhere in the tool: "80" and "0x80".
int ReadAddress(const std::string& key, const std::string& where) {
  std::string digits = key;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits = digits.substr(2);
  if (!digits.empty() && digits.size() <= 2 && digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
    return std::stoi(digits, nullptr, 16);
  throw TCaseError(where + ": \"" + key + "\" is not a memory address 00..FF (hex)");
}

int ReadRegister(const std::string& key, const std::string& where) {
  if (key.size() == 2 && (key[0] == 'R' || key[0] == 'r') && std::isxdigit(static_cast<unsigned char>(key[1])))
    return std::stoi(key.substr(1), nullptr, 16);
  throw TCaseError(where + ": \"" + key + "\" is not a register R0..RF");
}

// {"80": 5, "0x90": [1, 2, 3]}: a list fills the cells from that address up.
std::vector<TCellValue> ReadCells(const json& object, const std::string& where) {
  if (!object.is_object()) throw TCaseError(where + " must be an object {\"80\": 5, ...}");
  std::vector<TCellValue> cells;
  for (const auto& item : object.items()) {
    const int address = ReadAddress(item.key(), where);
    const std::string at = where + "." + item.key();
    if (item.value().is_array()) {
      if (static_cast<size_t>(address) + item.value().size() > static_cast<size_t>(MemorySize))
        throw TCaseError(at + " runs past address FF");
      int next = address;
      for (const json& value : item.value()) cells.push_back({next++, ReadCell(value, at)});
    } else {
      cells.push_back({address, ReadCell(item.value(), at)});
    }
  }
  return cells;
}

std::vector<TCellValue> ReadRegisters(const json& object, const std::string& where) {
  if (!object.is_object()) throw TCaseError(where + " must be an object {\"R1\": 5, ...}");
  std::vector<TCellValue> registers;
  for (const auto& item : object.items())
    registers.push_back({ReadRegister(item.key(), where), ReadCell(item.value(), where + "." + item.key())});
  return registers;
}

std::string ReadText(const json& value, const std::string& where) {
  if (!value.is_string()) throw TCaseError(where + " must be a string");
  // Program output is 8-bit: the file's UTF-8 text stands for those bytes.
  std::string bytes, problem;
  if (!Utf8ToLatin1(value.get<std::string>(), bytes, problem)) throw TCaseError(where + ": " + problem);
  return bytes;
}

TRunStatus ReadStatus(const json& value, const std::string& where) {
  for (TRunStatus status : {rsHalted, rsInvalid, rsStepLimit, rsBreakpoint})
    if (value.is_string() && value.get<std::string>() == RunStatusName(status)) return status;
  throw TCaseError(where + " must be \"halted\", \"invalid\", \"step-limit\" or \"breakpoint\", not " + value.dump());
}

uint64_t ReadSteps(const json& value, const std::string& where) {
  if (!value.is_number_unsigned() || value.get<uint64_t>() == 0)
    throw TCaseError(where + " must be a step limit of at least 1");
  return value.get<uint64_t>();
}

void ReadExpect(const json& expect, const std::string& where, TGradeCase& gradeCase) {
  CheckKeys(expect, where, {"status", "output", "output_regex", "registers", "cells", "pc"});
  if (expect.contains("status")) gradeCase.Status = ReadStatus(expect["status"], where + ".status");
  if (expect.contains("output")) gradeCase.Output = ReadText(expect["output"], where + ".output");
  if (expect.contains("output_regex")) {
    gradeCase.OutputPattern = ReadText(expect["output_regex"], where + ".output_regex");
    try {
      gradeCase.OutputRegex = std::make_shared<const std::regex>(gradeCase.OutputPattern, OutputRegexFlags);
    } catch (const std::regex_error& e) {
      throw TCaseError(where + ".output_regex is not a valid regular expression: " + e.what());
    }
  }
  if (expect.contains("registers"))
    gradeCase.ExpectRegisters = ReadRegisters(expect["registers"], where + ".registers");
  if (expect.contains("cells")) gradeCase.ExpectCells = ReadCells(expect["cells"], where + ".cells");
  if (expect.contains("pc")) gradeCase.ExpectPC = ReadCell(expect["pc"], where + ".pc");
  // A case that checks nothing passes every submission, also an empty one.
  if (expect.empty()) throw TCaseError(where + " checks nothing: give status, output, registers, cells or pc");
}

TGradeCase ReadCase(const json& item, const std::string& where, uint64_t defaultSteps) {
  CheckKeys(item, where, {"name", "cells", "registers", "pc", "steps", "breakpoints", "expect"});
  TGradeCase gradeCase;
  if (!item.contains("name") || !item["name"].is_string()) throw TCaseError(where + " needs a \"name\" string");
  gradeCase.Name = item["name"].get<std::string>();
  if (item.contains("cells")) gradeCase.Cells = ReadCells(item["cells"], where + ".cells");
  if (item.contains("registers")) gradeCase.Registers = ReadRegisters(item["registers"], where + ".registers");
  if (item.contains("pc")) gradeCase.PC = ReadCell(item["pc"], where + ".pc");
  gradeCase.Steps = item.contains("steps") ? ReadSteps(item["steps"], where + ".steps") : defaultSteps;
  if (item.contains("breakpoints")) {
    if (!item["breakpoints"].is_array()) throw TCaseError(where + ".breakpoints must be a list of addresses");
    for (const json& address : item["breakpoints"]) {
      const int64_t value = ReadNumber(address, where + ".breakpoints");
      if (value < 0 || value > 0xFF) throw TCaseError(where + ".breakpoints: " + address.dump() + " is not 0..255");
      gradeCase.Breakpoints.push_back(static_cast<int>(value));
    }
  }
  if (!item.contains("expect")) throw TCaseError(where + " needs an \"expect\" object");
  ReadExpect(item["expect"], where + ".expect", gradeCase);
  return gradeCase;
}

// nlohmann's message reads "[json.exception.parse_error.101] parse error at
// line 3, column 5: syntax error while parsing object - unexpected '}';
// expected string literal"; the file name and the compiler-style position
// take the place of its prefix.
std::string SyntaxMessage(const std::string& path, const std::string& what) {
  const size_t at = what.find(" at line ");
  const size_t colon = what.find(": ", at == std::string::npos ? 0 : at);
  if (at == std::string::npos || colon == std::string::npos) return path + ": " + what;
  std::string position = what.substr(at + 9, colon - at - 9);  // "3, column 5"
  const size_t comma = position.find(", column ");
  if (comma != std::string::npos) position = position.substr(0, comma) + ":" + position.substr(comma + 9);
  return path + ":" + position + ": error: " + what.substr(colon + 2);
}

}  // namespace

bool ReadCaseFile(const std::string& path, TCaseFile& file, std::string& problem) {
  std::error_code ec;
  std::ifstream stream;
  if (!std::filesystem::is_directory(path, ec)) stream.open(path, std::ios::binary);
  if (!stream.is_open()) {
    problem = "Cannot open file " + path;
    return false;
  }
  json document;
  try {
    document = json::parse(stream);
  } catch (const json::parse_error& e) {
    problem = SyntaxMessage(path, e.what());
    return false;
  }
  TCaseFile result;
  result.Path = path;
  try {
    CheckKeys(document, "the file", {"program", "steps", "cases"});
    if (document.contains("program")) {
      if (!document["program"].is_string()) throw TCaseError("\"program\" must be a file name");
      // Relative to the case file, so a folder of cases and programs can be
      // moved or checked out anywhere.
      const std::filesystem::path program = document["program"].get<std::string>();
      result.Program =
          program.is_absolute() ? program.string() : (std::filesystem::path(path).parent_path() / program).string();
    }
    const uint64_t steps = document.contains("steps") ? ReadSteps(document["steps"], "steps") : DefaultCaseSteps;
    if (!document.contains("cases") || !document["cases"].is_array() || document["cases"].empty())
      throw TCaseError("\"cases\" must be a list of at least one case");
    for (size_t i = 0; i < document["cases"].size(); ++i)
      result.Cases.push_back(ReadCase(document["cases"][i], "cases[" + std::to_string(i) + "]", steps));
  } catch (const TCaseError& e) {
    problem = path + ": " + e.what();
    return false;
  }
  file = std::move(result);
  return true;
}
