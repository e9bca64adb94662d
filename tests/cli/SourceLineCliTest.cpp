// orvik-cli naming source lines: the trace's "line" and "label", the map
// file of assemble --map and the line in test's failure words.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "CliFolderTest.h"

namespace {

class SourceLineCliTest : public TCliFolderTest {
 protected:
  SourceLineCliTest() : TCliFolderTest("orvik-line-cli-") {}
};

// Data between code: line 5 is jumped over, line 6 holds the label Done.
const char* const Source =
    "; two steps\n"
    "Start: load R1,3\n"
    "       jmp Done\n"
    "\n"
    "       db 1,2\n"
    "Done:  halt\n";

std::vector<nlohmann::json> TraceLines(const std::string& text) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

TEST_F(SourceLineCliTest, TraceOfASourceNamesLineAndLabelAndAProgramFileDoesNot) {
  const std::string source = Write("p.asm", Source);
  const std::string program = Path("p.prg");
  ASSERT_EQ(Run({"assemble", source, "-o", program}).Exit, 0);
  const std::vector<nlohmann::json> fromSource = TraceLines(Run({"run", source, "--trace", "-"}).Out);
  const std::vector<nlohmann::json> fromFile = TraceLines(Run({"run", program, "--trace", "-"}).Out);
  ASSERT_EQ(fromSource.size(), 3u);
  ASSERT_EQ(fromFile.size(), 3u);
  const struct {
    int Line;
    const char* Label;
  } expected[] = {{2, "Start"}, {3, nullptr}, {6, "Done"}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(fromSource[i]["line"], expected[i].Line);
    EXPECT_EQ(fromSource[i].contains("label"), expected[i].Label != nullptr);
    if (expected[i].Label != nullptr) {
      EXPECT_EQ(fromSource[i]["label"], expected[i].Label);
    }
    EXPECT_FALSE(fromFile[i].contains("line"));
    EXPECT_FALSE(fromFile[i].contains("label"));
    // Otherwise the lines are the same.
    nlohmann::json stripped = fromSource[i];
    stripped.erase("line");
    stripped.erase("label");
    EXPECT_EQ(stripped, fromFile[i]);
  }
}

TEST_F(SourceLineCliTest, AssembleWritesTheMapBesideTheUnchangedImage) {
  const std::string source = Write("p.asm", Source);
  const std::string map = Path("p.map.json");
  const TCliResult plain = Run({"assemble", source});
  const TCliResult mapped = Run({"assemble", source, "--map", map});
  EXPECT_EQ(mapped.Exit, 0);
  EXPECT_EQ(mapped.Out, plain.Out);
  const nlohmann::json doc = nlohmann::json::parse(Read(map));
  std::vector<std::pair<int, std::string>> cells;
  for (const auto& cell : doc["cells"]) cells.emplace_back(cell["line"], cell["kind"]);
  const std::vector<std::pair<int, std::string>> expected = {{2, "code"}, {2, "operand"}, {3, "code"}, {3, "operand"},
                                                             {5, "data"}, {5, "data"},    {6, "code"}, {6, "operand"}};
  EXPECT_EQ(cells, expected);
  EXPECT_EQ(doc["labels"][1], (nlohmann::json{{"name", "Done"}, {"address", 6}, {"line", 6}}));
  const std::string broken = Write("bad.asm", "halt x\n");
  EXPECT_EQ(Run({"assemble", broken, "--map", Path("bad.json")}).Exit, 1);
  EXPECT_FALSE(std::filesystem::exists(Path("bad.json")));
  EXPECT_EQ(Run({"assemble", source, "--map"}).Exit, 1);
}

TEST_F(SourceLineCliTest, TestFailureWordsNameTheSourceLine) {
  // Runs into the data of line 3 (01 02 is not an instruction).
  const std::string source = Write("s.asm", "  load R1,1\n  load R2,2\n  db 1,2\n");
  const std::string cases =
      Write("c.json", R"({"program":"s.asm","cases":[{"name":"h","expect":{"status":"halted"}}]})");
  const std::string program = Path("s.prg");
  ASSERT_EQ(Run({"assemble", source, "-o", program}).Exit, 0);
  EXPECT_NE(Run({"test", cases, source}).Out.find("invalid instruction at 04 (line 3) after 3 steps"),
            std::string::npos);
  const std::string fromFile = Run({"test", cases, program}).Out;
  EXPECT_NE(fromFile.find("invalid instruction at 04 after 3 steps"), std::string::npos) << fromFile;
}

}  // namespace
