// The program map against two independent accounts of which line emitted
// each byte: a generator that knows the size and place of every line it
// writes, and, for the shipped examples, the assembler's own "address in
// use" check probed after each prefix of the source.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "assembler/AsmMessages.h"
#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "assembler/SourceText.h"

namespace {

struct TAssembled {
  std::vector<std::string> Errors;
  std::vector<int> Image;
  TProgramMap Map;
};

TAssembled Assemble(const std::vector<std::string>& lines) {
  TStringListSource source(lines);
  TAsmParser parser(&source);
  TAssembled result;
  parser.Assemble([&](int, int, const std::string& message) { result.Errors.push_back(message); });
  for (int a = 0; a < TAsmParser::ImageSize; ++a) result.Image.push_back(parser.GetByte(a));
  result.Map = parser.Map();
  return result;
}

// What the generator expects at one address.
struct TExpected {
  int Line = 0;
  TMapKind Kind = mkNone;
  int Start = 0;
  int End = 0;
};

struct TGenerated {
  std::vector<std::string> Lines;
  std::vector<TExpected> Cells = std::vector<TExpected>(256);
  std::vector<TMapLabel> Labels;
};

// A random program of every form: labels defined before and after their
// uses, org into fresh space, db of numbers and strings, comments, blank and
// label-only lines. It tracks the location itself, never asking the parser.
TGenerated Generate(std::mt19937& rng) {
  TGenerated g;
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const int labelCount = 1 + pick(6);
  std::vector<bool> defined(static_cast<size_t>(labelCount), false);
  auto name = [](int k) { return "L" + std::to_string(k) + "x"; };
  auto reg = [&]() { return "R" + std::string(1, "0123456789ABCDEF"[pick(16)]); };
  int location = 0;
  int high = 0;  // one past the highest address used
  int pending = labelCount;
  for (int line = 1; (location < 230 && line < 200) || pending > 0; ++line) {
    std::string text;
    int size = 2;
    bool data = false;
    std::vector<std::pair<int, int>> items;  // db item columns
    int undefined = -1;
    for (int k = 0; k < labelCount; ++k) {
      if (!defined[static_cast<size_t>(k)]) undefined = k;
    }
    const bool labelHere = undefined >= 0 && (pick(4) == 0 || location >= 230);
    if (labelHere) {
      text = name(undefined) + ":";
      defined[static_cast<size_t>(undefined)] = true;
      --pending;
      g.Labels.push_back({name(undefined), location, line});
    }
    text += std::string(static_cast<size_t>(1 + pick(3)), ' ');
    const int start = static_cast<int>(text.size());
    const int form = location >= 230 ? 0 : pick(14);
    switch (form) {
      case 0:
        size = 0;
        text += pick(2) ? ";note" : "";
        break;
      case 1: text += "load " + reg() + "," + std::to_string(pick(256)); break;
      case 2: text += "load " + reg() + "," + name(pick(labelCount)); break;
      case 3: text += "load " + reg() + ",[" + std::to_string(pick(256)) + "]"; break;
      case 4: text += "load " + reg() + ",[" + reg() + "]"; break;
      case 5: text += "store " + reg() + ",[" + name(pick(labelCount)) + "]"; break;
      case 6: text += "move " + reg() + "," + reg(); break;
      case 7: text += "addi " + reg() + "," + reg() + "," + reg(); break;
      case 8: text += "ror " + reg() + "," + std::to_string(pick(16)); break;
      case 9: text += "jmpEQ " + reg() + "=R0," + name(pick(labelCount)); break;
      case 10: text += "jmp " + name(pick(labelCount)); break;
      case 11: text += "halt"; break;
      case 12: {
        data = true;
        text += "db ";
        size = 0;
        for (int n = 1 + pick(4); n > 0; --n) {
          const int at = static_cast<int>(text.size());
          if (pick(2)) {
            const std::string s(static_cast<size_t>(1 + pick(5)), static_cast<char>('a' + pick(26)));
            text += "\"" + s + "\"";
            for (size_t i = 0; i < s.size(); ++i) items.emplace_back(at, at + static_cast<int>(s.size()) + 2);
            size += static_cast<int>(s.size());
          } else {
            text += std::to_string(pick(256));
            items.emplace_back(at, static_cast<int>(text.size()));
            ++size;
          }
          if (n > 1) text += ",";
        }
        break;
      }
      default: {
        // into fresh space above all that is used
        const int target = high + pick(8);
        text += "org " + std::to_string(target);
        location = target;
        size = 0;
        break;
      }
    }
    if (location + size > 240) {
      // no room: make it a comment line instead
      text = labelHere ? name(undefined) + ":" : "";
      size = 0;
    }
    const int end = static_cast<int>(text.size());
    if (size > 0 && pick(3) == 0) text += "   ;why";
    for (int i = 0; i < size; ++i) {
      TExpected& e = g.Cells[static_cast<size_t>(location + i)];
      e.Line = line;
      if (data) {
        e = {line, mkData, items[static_cast<size_t>(i)].first, items[static_cast<size_t>(i)].second};
      } else {
        e = {line, i == 0 ? mkCodeFirst : mkCodeSecond, start, end};
      }
    }
    location += size;
    high = std::max(high, location);
    g.Lines.push_back(text);
  }
  return g;
}

TEST(ProgramMapTest, GeneratedSourcesMapEveryByteToTheLineThatEmittedIt) {
  std::mt19937 rng(24);
  for (int n = 0; n < 300; ++n) {
    const TGenerated g = Generate(rng);
    SCOPED_TRACE("source " + std::to_string(n));
    const TAssembled a = Assemble(g.Lines);
    ASSERT_TRUE(a.Errors.empty()) << a.Errors.front();
    for (int adr = 0; adr < 256; ++adr) {
      SCOPED_TRACE("address " + std::to_string(adr));
      const TExpected& e = g.Cells[static_cast<size_t>(adr)];
      const TMapCell& c = a.Map.Cell(adr);
      ASSERT_EQ(c.Line, e.Line);
      ASSERT_EQ(c.Kind, e.Kind);
      if (e.Kind == mkNone) continue;
      ASSERT_EQ(c.StartColumn, e.Start);
      ASSERT_EQ(c.EndColumn, e.End);
      ASSERT_EQ(c.Value, a.Image[static_cast<size_t>(adr)]);
    }
    ASSERT_EQ(a.Map.Labels(), g.Labels);
  }
}

std::vector<std::filesystem::path> ExampleSources() {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ORVIK_EXAMPLES_DIR)) {
    if (entry.path().extension() == ".asm") paths.push_back(entry.path());
  }
  return paths;
}

// The addresses a prefix of lines has taken, as the assembler's "address in
// use" check tells: every label is defined at the end, so forward uses in
// the prefix are written too.
std::set<int> TakenBy(const std::vector<std::string>& prefix, const TProgramMap& whole) {
  std::set<int> taken;
  for (int adr = 0; adr < 256; ++adr) {
    std::vector<std::string> probe = prefix;
    for (const TMapLabel& label : whole.Labels()) probe.push_back(label.Name + ":");
    probe.push_back("org " + std::to_string(adr));
    probe.push_back("db 0");
    for (const std::string& error : Assemble(probe).Errors) {
      if (error == AsmMessage(amAddressInUse)) taken.insert(adr);
    }
  }
  return taken;
}

TEST(ProgramMapTest, ExamplesMapEveryAddressToTheLineThatEmittedIt) {
  const auto paths = ExampleSources();
  ASSERT_GE(paths.size(), 3u);
  for (const auto& path : paths) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::string> lines = SplitSourceLines(bytes);
    const TAssembled a = Assemble(lines);
    if (!a.Errors.empty()) continue;  // a graded submission may not assemble
    std::vector<int> expected(256, 0);
    std::set<int> before;
    std::vector<std::string> prefix;
    for (size_t line = 0; line < lines.size(); ++line) {
      prefix.push_back(lines[line]);
      const std::set<int> now = TakenBy(prefix, a.Map);
      for (int adr : now) {
        if (before.count(adr) == 0) expected[static_cast<size_t>(adr)] = static_cast<int>(line) + 1;
      }
      before = now;
    }
    for (int adr = 0; adr < 256; ++adr) {
      SCOPED_TRACE("address " + std::to_string(adr));
      EXPECT_EQ(a.Map.Cell(adr).Line, expected[static_cast<size_t>(adr)]);
    }
  }
}

TEST(ProgramMapTest, JsonListsMappedCellsAndLabels) {
  const TAssembled a = Assemble({"Go: jmp Go", "  db 7 ;x"});
  EXPECT_EQ(a.Map.ToJson(),
            "{\"cells\":[{\"address\":0,\"line\":1,\"start\":4,\"end\":10,\"kind\":\"code\"},"
            "{\"address\":1,\"line\":1,\"start\":4,\"end\":10,\"kind\":\"operand\"},"
            "{\"address\":2,\"line\":2,\"start\":5,\"end\":6,\"kind\":\"data\"}],"
            "\"labels\":[{\"name\":\"Go\",\"address\":0,\"line\":1}]}\n");
}

}  // namespace
