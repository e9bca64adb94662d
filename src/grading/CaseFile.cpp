#include "grading/CaseFile.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <stdexcept>

#include "grading/ByteText.h"
#include "machine/HexText.h"

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

int32_t ReadPC(const json& value, const std::string& where) {
  const int64_t number = ReadNumber(value, where);
  if (number < 0 || number > 0xFF) throw TCaseError(where + " must be an address 00..FF, not " + value.dump());
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
  std::map<int, std::string> named;  // "82" and "0x82" are one cell
  auto name = [&](int address, const std::string& key) {
    const auto [it, added] = named.emplace(address, key);
    if (!added)
      throw TCaseError(where + ": \"" + key + "\" gives cell " + HexText(address, 2) + " again, as \"" + it->second +
                       "\" does");
  };
  for (const auto& item : object.items()) {
    const int address = ReadAddress(item.key(), where);
    const std::string at = where + "." + item.key();
    const size_t count = item.value().is_array() ? item.value().size() : 1;
    for (size_t k = 0; k < count && address + static_cast<int>(k) < MemorySize; ++k)
      name(address + static_cast<int>(k), item.key());
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
  std::map<int, std::string> named;
  for (const auto& item : object.items()) {
    const int reg = ReadRegister(item.key(), where);
    const auto [it, added] = named.emplace(reg, item.key());
    if (!added) throw TCaseError(where + ": \"" + item.key() + "\" is the same register as \"" + it->second + "\"");
    registers.push_back({reg, ReadCell(item.value(), where + "." + item.key())});
  }
  return registers;
}

std::string ReadText(const json& value, const std::string& where) {
  if (!value.is_string()) throw TCaseError(where + " must be a string");
  // Program output is 8-bit: the file's UTF-8 text stands for those bytes.
  std::string bytes, problem;
  if (!Utf8ToLatin1(value.get<std::string>(), bytes, problem)) throw TCaseError(where + ": " + problem);
  return bytes;
}

TStopReason ReadStatus(const json& value, const std::string& where) {
  if (value.is_string())
    if (const std::optional<TStopReason> status = StopFromReportWord(value.get<std::string>())) return *status;
  throw TCaseError(where + " must be \"halted\", \"invalid\", \"step-limit\" or \"breakpoint\", not " + value.dump());
}

uint64_t ReadSteps(const json& value, const std::string& where) {
  if (!value.is_number_unsigned() || value.get<uint64_t>() == 0)
    throw TCaseError(where + " must be a whole step limit of at least 1, not " + value.dump());
  return value.get<uint64_t>();
}

void ReadExpect(const json& expect, const std::string& where, TGradeCase& gradeCase) {
  CheckKeys(expect, where, {"status", "output", "output_regex", "registers", "cells", "pc"});
  if (expect.contains("status")) gradeCase.Status = ReadStatus(expect["status"], where + ".status");
  if (expect.contains("output")) gradeCase.Output = ReadText(expect["output"], where + ".output");
  if (expect.contains("output_regex")) {
    gradeCase.OutputPattern = ReadText(expect["output_regex"], where + ".output_regex");
#if !ORVIK_OUTPUT_REGEX
    throw TCaseError(where + ".output_regex cannot be checked here; orvik-cli test and the window's Check can");
#else
    try {
      gradeCase.OutputRegex = std::make_shared<const std::regex>(gradeCase.OutputPattern, OutputRegexFlags);
    } catch (const std::regex_error& e) {
      throw TCaseError(where + ".output_regex is not a valid regular expression: " + e.what());
    }
#endif
  }
  if (expect.contains("registers"))
    gradeCase.ExpectRegisters = ReadRegisters(expect["registers"], where + ".registers");
  if (expect.contains("cells")) gradeCase.ExpectCells = ReadCells(expect["cells"], where + ".cells");
  if (expect.contains("pc")) gradeCase.ExpectPC = ReadPC(expect["pc"], where + ".pc");
  // A case that checks nothing passes every submission, also an empty one.
  if (expect.empty()) throw TCaseError(where + " checks nothing: give status, output, registers, cells or pc");
  // Without a status the program must halt: otherwise an endless loop or a
  // crash that leaves the right cells behind would pass.
  if (!gradeCase.Status) gradeCase.Status = srHalt;
}

// Collects the mistakes of a file, so that a teacher sees them all at once
// rather than one per attempt.
class TProblems {
 public:
  template <typename F>
  void Try(F&& read) {
    try {
      read();
    } catch (const TCaseError& e) {
      FLines.push_back(e.what());
    }
  }
  void Add(std::string line) { FLines.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return FLines; }

 private:
  std::vector<std::string> FLines;
};

double ReadPoints(const json& value, const std::string& where) {
  if (!value.is_number() || !(value.get<double>() > 0) || value.get<double>() > 1e9)
    throw TCaseError(where + " must be a positive number of points, not " + value.dump());
  return value.get<double>();
}

TGradeCase ReadCase(const json& item, const std::string& where, uint64_t defaultSteps, TProblems& problems) {
  TGradeCase gradeCase;
  problems.Try([&] {
    CheckKeys(item, where, {"name", "cells", "registers", "pc", "steps", "breakpoints", "expect", "points", "hidden"});
  });
  if (!item.is_object()) return gradeCase;
  problems.Try([&] {
    if (!item.contains("name") || !item["name"].is_string()) throw TCaseError(where + " needs a \"name\" string");
    gradeCase.Name = item["name"].get<std::string>();
    if (gradeCase.Name.find_first_not_of(" \t\r\n") == std::string::npos) throw TCaseError(where + ".name is empty");
  });
  problems.Try([&] {
    if (item.contains("cells")) gradeCase.Cells = ReadCells(item["cells"], where + ".cells");
  });
  problems.Try([&] {
    if (item.contains("registers")) gradeCase.Registers = ReadRegisters(item["registers"], where + ".registers");
  });
  problems.Try([&] {
    if (item.contains("pc")) gradeCase.PC = ReadPC(item["pc"], where + ".pc");
  });
  gradeCase.Steps = defaultSteps;
  problems.Try([&] {
    if (item.contains("steps")) gradeCase.Steps = ReadSteps(item["steps"], where + ".steps");
  });
  problems.Try([&] {
    if (item.contains("points")) gradeCase.Points = ReadPoints(item["points"], where + ".points");
  });
  problems.Try([&] {
    if (!item.contains("hidden")) return;
    if (!item["hidden"].is_boolean()) throw TCaseError(where + ".hidden must be true or false");
    gradeCase.Hidden = item["hidden"].get<bool>();
  });
  problems.Try([&] {
    if (!item.contains("breakpoints")) return;
    if (!item["breakpoints"].is_array()) throw TCaseError(where + ".breakpoints must be a list of addresses");
    for (const json& address : item["breakpoints"]) {
      const int64_t value = ReadNumber(address, where + ".breakpoints");
      if (value < 0 || value > 0xFF) throw TCaseError(where + ".breakpoints: " + address.dump() + " is not 0..255");
      gradeCase.Breakpoints.push_back(static_cast<int>(value));
    }
  });
  problems.Try([&] {
    if (!item.contains("expect")) throw TCaseError(where + " needs an \"expect\" object");
    ReadExpect(item["expect"], where + ".expect", gradeCase);
  });
  return gradeCase;
}

// nlohmann keeps the last of two equal keys without a word; a case file
// with "output" twice would check only one of them. The parser's callback
// sees every key, so the JSON path of each repeat is known.
class TDuplicateKeys {
 public:
  explicit TDuplicateKeys(TProblems& problems) : FProblems(problems) {}
  bool operator()(int depth, json::parse_event_t event, json& parsed) {
    (void)depth;
    switch (event) {
      case json::parse_event_t::object_start:
      case json::parse_event_t::array_start:
        FFrames.push_back({event == json::parse_event_t::object_start, ChildPath(), {}, "", 0});
        break;
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        if (!FFrames.empty()) FFrames.pop_back();
        Next();
        break;
      case json::parse_event_t::key:
        if (!FFrames.empty() && parsed.is_string()) {
          TFrame& frame = FFrames.back();
          frame.Key = parsed.get<std::string>();
          if (!frame.Keys.insert(frame.Key).second)
            FProblems.Add(frame.Path + " has the key \"" + frame.Key + "\" twice");
        }
        break;
      case json::parse_event_t::value: Next(); break;
    }
    return true;
  }

 private:
  struct TFrame {
    bool Object = false;
    std::string Path;
    std::set<std::string> Keys;
    std::string Key;
    size_t Index = 0;
  };
  std::string ChildPath() const {
    if (FFrames.empty()) return "the file";
    const TFrame& parent = FFrames.back();
    const std::string base = parent.Path == "the file" ? "" : parent.Path;
    if (parent.Object) return base.empty() ? parent.Key : base + "." + parent.Key;
    return base + "[" + std::to_string(parent.Index) + "]";
  }
  void Next() {
    if (!FFrames.empty() && !FFrames.back().Object) ++FFrames.back().Index;
  }
  TProblems& FProblems;
  std::vector<TFrame> FFrames;
};

std::string ReadOptionalText(const json& document, const char* key) {
  if (!document.contains(key)) return "";
  if (!document[key].is_string()) throw TCaseError(std::string("\"") + key + "\" must be a string");
  return document[key].get<std::string>();
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
  const std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  return ParseCaseFile(text, path, file, problem);
}

bool ParseCaseFile(const std::string& text, const std::string& path, TCaseFile& file, std::string& problem) {
  json document;
  TProblems problems;
  try {
    document = json::parse(text, TDuplicateKeys(problems));
  } catch (const json::parse_error& e) {
    problem = SyntaxMessage(path, e.what());
    return false;
  }
  TCaseFile result;
  result.Path = path;
  problems.Try([&] {
    CheckKeys(document, "the file", {"program", "steps", "cases", "max_output", "title", "statement", "starter"});
  });
  if (document.is_object()) {
    problems.Try([&] {
      if (!document.contains("program")) return;
      if (!document["program"].is_string()) throw TCaseError("\"program\" must be a file name");
      // Relative to the case file, so a folder of cases and programs can be
      // moved or checked out anywhere.
      const std::filesystem::path program = document["program"].get<std::string>();
      result.Program =
          program.is_absolute() ? program.string() : (std::filesystem::path(path).parent_path() / program).string();
    });
    problems.Try([&] { result.Title = ReadOptionalText(document, "title"); });
    problems.Try([&] { result.Statement = ReadOptionalText(document, "statement"); });
    problems.Try([&] { result.Starter = ReadOptionalText(document, "starter"); });
    problems.Try([&] {
      if (!document.contains("max_output")) return;
      const json& value = document["max_output"];
      if (!value.is_number_unsigned() || value.get<uint64_t>() > MaxOutputLimit)
        throw TCaseError("max_output must be a whole number of bytes 0.." + std::to_string(MaxOutputLimit) + ", not " +
                         value.dump());
      result.MaxOutput = static_cast<size_t>(value.get<uint64_t>());
    });
    uint64_t steps = DefaultCaseSteps;
    problems.Try([&] {
      if (document.contains("steps")) steps = ReadSteps(document["steps"], "steps");
    });
    problems.Try([&] {
      if (!document.contains("cases") || !document["cases"].is_array() || document["cases"].empty())
        throw TCaseError("\"cases\" must be a list of at least one case");
    });
    if (document.contains("cases") && document["cases"].is_array()) {
      std::map<std::string, size_t> names;
      for (size_t i = 0; i < document["cases"].size(); ++i) {
        const std::string where = "cases[" + std::to_string(i) + "]";
        result.Cases.push_back(ReadCase(document["cases"][i], where, steps, problems));
        const std::string& name = result.Cases.back().Name;
        if (name.empty()) continue;
        const auto [it, added] = names.emplace(name, i);
        if (!added)
          problems.Add(where + ".name \"" + name + "\" is also the name of cases[" + std::to_string(it->second) + "]");
      }
    }
  }
  if (!problems.Lines().empty()) {
    problem.clear();
    for (const std::string& line : problems.Lines()) problem += (problem.empty() ? "" : "\n") + path + ": " + line;
    return false;
  }
  file = std::move(result);
  return true;
}
