// orvik-cli test: case files, the words of a difference, sharding and the
// worker threads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "CliFolderTest.h"
#include "cli/Submissions.h"
#include "grading/CaseCheck.h"
#include "grading/CaseFile.h"
#include "grading/GradeRunner.h"

namespace {

namespace fs = std::filesystem;

class GradeTest : public TCliFolderTest {
 protected:
  GradeTest() : TCliFolderTest("orvik-grade-") {}
  // Reads a case file from text; returns its problem, "" when it is good.
  std::string Problem(const std::string& text, TCaseFile& file) {
    std::string problem;
    ReadCaseFile(Write("cases.json", text), file, problem);
    const std::string prefix = (FDir / "cases.json").string();
    for (size_t at = problem.find(prefix); at != std::string::npos; at = problem.find(prefix, at))
      problem.replace(at, prefix.size(), "FILE");
    return problem;
  }
};

std::string OneCase(const std::string& body) { return R"({"cases": [{"name": "c", )" + body + "}]}"; }

TEST_F(GradeTest, ACaseFileMistakeIsNamedWithWhereAndWhat) {
  const struct {
    std::string Text, Problem;
  } rows[] = {
      {"{\n  \"cases\": [\n    {\"name\": \"a\",,}\n  ]\n}",
       "FILE:3:18: error: syntax error while parsing object key - unexpected ','; expected string literal"},
      {"",
       "FILE:1:1: error: syntax error while parsing value - unexpected end of input; expected '[', '{', or a "
       "literal"},
      {"[]", "FILE: the file must be an object {...}"},
      {R"({"cases": []})", "FILE: \"cases\" must be a list of at least one case"},
      {R"({"case": []})",
       "FILE: the file has the unknown key \"case\"\nFILE: \"cases\" must be a list of at least one case"},
      {OneCase(R"("expect": {"ouput": "x"})"), "FILE: cases[0].expect has the unknown key \"ouput\""},
      {OneCase(R"("expect": {})"), "FILE: cases[0].expect checks nothing: give status, output, registers, cells or pc"},
      {R"({"cases": [{"expect": {"pc": 2}}]})", "FILE: cases[0] needs a \"name\" string"},
      {OneCase(R"("registers": {"R16": 1}, "expect": {"pc": 2})"),
       "FILE: cases[0].registers: \"R16\" is not a register R0..RF"},
      {OneCase(R"("cells": {"100": 1}, "expect": {"pc": 2})"),
       "FILE: cases[0].cells: \"100\" is not a memory address 00..FF (hex)"},
      {OneCase(R"("cells": {"FE": [1, 2, 3]}, "expect": {"pc": 2})"), "FILE: cases[0].cells.FE runs past address FF"},
      {OneCase(R"("expect": {"registers": {"R1": "12"}})"),
       "FILE: cases[0].expect.registers.R1 must be a whole number or a hex string such as \"0x7F\", not \"12\""},
      {OneCase(R"("expect": {"status": "done"})"),
       "FILE: cases[0].expect.status must be \"halted\", \"invalid\", \"step-limit\" or \"breakpoint\", not "
       "\"done\""},
      {OneCase(R"("steps": 0, "expect": {"pc": 2})"),
       "FILE: cases[0].steps must be a whole step limit of at least 1, not 0"},
      {OneCase(R"("steps": 2.5, "expect": {"pc": 2})"),
       "FILE: cases[0].steps must be a whole step limit of at least 1, not 2.5"},
      {OneCase(R"("pc": "0x100", "expect": {"pc": 256})"),
       "FILE: cases[0].pc must be an address 00..FF, not \"0x100\"\nFILE: cases[0].expect.pc must be an address "
       "00..FF, not 256"},
      {OneCase(R"("cells": {"82": 1, "0x82": 2}, "expect": {"output": "a", "output": "b"})"),
       "FILE: cases[0].expect has the key \"output\" twice\nFILE: cases[0].cells: \"82\" gives cell 82 again, as "
       "\"0x82\" does"},
      {OneCase(R"("cells": {"80": [1, 2, 3], "81": 2}, "registers": {"R1": 1, "r1": 2}, "expect": {"pc": 2})"),
       "FILE: cases[0].cells: \"81\" gives cell 81 again, as \"80\" does\nFILE: cases[0].registers: \"r1\" is the "
       "same register as \"R1\""},
      {R"({"cases": [{"name": "a", "expect": {"pc": 2}}, {"name": " ", "expect": {"pc": 2}},
          {"name": "a", "points": 0, "hidden": 1, "expect": {"pc": 2}}]})",
       "FILE: cases[1].name is empty\nFILE: cases[2].points must be a positive number of points, not 0\nFILE: "
       "cases[2].hidden must be true or false\nFILE: cases[2].name \"a\" is also the name of cases[0]"},
      {OneCase(R"("expect": {"output": "\u20ac"})"),
       "FILE: cases[0].expect.output: character U+20AC is not an 8-bit character (U+0000..U+00FF)"},
      {OneCase(R"("expect": {"output_regex": "(a"})"),
       "FILE: cases[0].expect.output_regex is not a valid regular expression: Mismatched '(' and ')' in regular "
       "expression"},
  };
  for (const auto& row : rows) {
    TCaseFile file;
    EXPECT_EQ(Problem(row.Text, file), row.Problem) << row.Text;
  }
  TCaseFile file;
  std::string problem;
  EXPECT_FALSE(ReadCaseFile((FDir / "none.json").string(), file, problem));
  EXPECT_EQ(problem, "Cannot open file " + (FDir / "none.json").string());
}

TEST_F(GradeTest, ACaseFileGivesTheStartingStateAndTheExpectations) {
  TCaseFile file;
  ASSERT_EQ(Problem(R"({"program": "sub/p.asm", "steps": 50, "cases": [
      {"name": "a", "cells": {"0x80": [1, 2], "9F": "0xFF"}, "registers": {"rA": -3}, "pc": 4,
       "breakpoints": [16, "0x20"],
       "expect": {"status": "breakpoint", "output": "\u00e9\n", "cells": {"81": 2}, "registers": {"R1": 7}}},
      {"name": "b", "steps": 9, "expect": {"output_regex": "^x+$", "pc": "0x10"}}]})",
                    file),
            "");
  EXPECT_EQ(file.Program, (FDir / "sub/p.asm").string());
  ASSERT_EQ(file.Cases.size(), 2u);
  const TGradeCase& a = file.Cases[0];
  const TRunSetup setup = CaseSetup(a, std::vector<int32_t>(256, 7));
  EXPECT_EQ(setup.Memory[0x7F], 7);
  EXPECT_EQ(setup.Memory[0x80], 1);
  EXPECT_EQ(setup.Memory[0x81], 2);
  EXPECT_EQ(setup.Memory[0x9F], 0xFF);
  EXPECT_EQ(setup.Registers[10], -3);
  EXPECT_EQ(setup.PC, 4);
  EXPECT_EQ(setup.StepLimit, 50u);
  EXPECT_EQ(setup.Breakpoints, (std::vector<int>{0x10, 0x20}));
  EXPECT_EQ(a.Output, std::string("\xE9\n"));
  EXPECT_EQ(file.Cases[1].Steps, 9u);
  EXPECT_EQ(file.Cases[1].ExpectPC, 0x10);
}

TEST(GradeCheckTest, TheFirstDifferenceIsSaidInWords) {
  TRunResult run;
  run.Status = srStepLimit;
  run.Steps = 1000;
  run.Output = "Hello, world\n";
  run.PC = 0x0C;
  run.Registers[2] = 7;
  run.Memory.assign(256, 0);
  run.Memory[0x80] = 0x41;
  auto with = [](auto change) {
    TGradeCase gradeCase;
    change(gradeCase);
    return gradeCase;
  };
  const struct {
    TGradeCase Case;
    std::string Difference;
  } rows[] = {
      {with([](TGradeCase& c) { c.Status = srHalt; }),
       "expected the program to halt, but it was still running after 1000 steps (the step limit)"},
      {with([](TGradeCase& c) { c.Status = srStepLimit; }), ""},
      {with([](TGradeCase& c) { c.Output = "Hello, world\n"; }), ""},
      {with([](TGradeCase& c) { c.Output = "Hello, World\n"; }),
       "output differs at byte 8: expected \"Hello, World\\n\", got \"Hello, world\\n\""},
      {with([](TGradeCase& c) { c.Output = "Hello, world\n!"; }),
       "output ends after 13 bytes; expected 14, going on with \"!\""},
      {with([](TGradeCase& c) { c.Output = "Hello"; }), "output has 8 bytes more than expected: \", world\\n\""},
      {with([](TGradeCase& c) {
         c.OutputPattern = "^Hello";
         c.OutputRegex = std::make_shared<const std::regex>(c.OutputPattern);
       }),
       ""},
      {with([](TGradeCase& c) {
         c.OutputPattern = "^Bye";
         c.OutputRegex = std::make_shared<const std::regex>(c.OutputPattern);
       }),
       "output \"Hello, world\\n\" does not match /^Bye/"},
      {with([](TGradeCase& c) { c.ExpectPC = 0x0C; }), ""},
      {with([](TGradeCase& c) { c.ExpectPC = 0x10; }), "PC is 0C, expected 10"},
      {with([](TGradeCase& c) {
         c.ExpectRegisters = {{2, 7}, {3, 1}};
       }),
       "R3 is 00, expected 01"},
      {with([](TGradeCase& c) {
         c.ExpectCells = {{0x80, 0x41}, {0xFF, 0x100}};
       }),
       "memory cell FF is 00, expected 100"},
  };
  for (const auto& row : rows) EXPECT_EQ(FirstDifference(row.Case, run), row.Difference);

  run.Status = srInvalid;
  run.PC = 0x06;
  EXPECT_EQ(FirstDifference(rows[0].Case, run),
            "expected the program to halt, but it met an invalid instruction at 04 after 1000 steps");
}

// An endless printer reaches outputs of a million bytes; matching one must
// neither crash the grader nor take long.
TEST_F(GradeTest, APatternMatchesALongOutput) {
  TCaseFile file;
  ASSERT_EQ(Problem(OneCase(R"("expect": {"output_regex": "^(a|b)*$"})"), file), "");
  TRunResult run;
  run.Output.assign(1000000, 'a');
  run.Memory.assign(256, 0);
  EXPECT_EQ(FirstDifference(file.Cases[0], run), "");
  run.Output.back() = 'c';
  EXPECT_EQ(FirstDifference(file.Cases[0], run),
            "output \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"... does not match /^(a|b)*$/");
}

TEST(GradeShardTest, TheShardsCoverTheListOnceInEqualParts) {
  for (size_t size = 0; size < 23; ++size) {
    std::vector<std::string> items;
    for (size_t i = 0; i < size; ++i) items.push_back(std::to_string(100 + i));
    for (size_t count = 1; count < 8; ++count) {
      std::vector<std::string> joined;
      for (size_t index = 1; index <= count; ++index) {
        const std::vector<std::string> part = ShardOf(items, index, count);
        EXPECT_LE(part.size(), size / count + 1);
        EXPECT_GE(part.size(), size / count);
        joined.insert(joined.end(), part.begin(), part.end());
      }
      EXPECT_EQ(joined, items) << size << " in " << count;
    }
  }
  const struct {
    std::string Text;
    bool Ok;
  } shardTexts[] = {{"1/1", true}, {"3/4", true},  {"0/4", false}, {"5/4", false}, {"1/0", false},
                    {"2", false},  {"a/b", false}, {"/4", false},  {"1/", false},  {"-1/4", false}};
  for (const auto& shard : shardTexts) {
    size_t index = 0, count = 0;
    std::string problem;
    EXPECT_EQ(ParseShard(shard.Text, index, count, problem), shard.Ok) << shard.Text;
    if (!shard.Ok) {
      EXPECT_EQ(problem, "--shard needs I/N with 1 <= I <= N, not " + shard.Text);
    }
  }
}

TEST_F(GradeTest, FoldersGiveTheirSubmissionsSorted) {
  Write("class/b/solution.ASM", "halt\n");
  Write("class/a.asm", "halt\n");
  Write("class/c.prg", std::string(1024, '\0'));
  Write("class/notes.txt", "");
  Write("class/.hidden/x.asm", "halt\n");
  Write("empty/readme.txt", "");
  std::vector<TSubmissionEntry> found;
  std::vector<TSkippedEntry> skipped;
  CollectSubmissions({(FDir / "class").string(), "zz-missing.asm", (FDir / "class/a.asm").string()}, found, skipped);
  std::vector<std::string> paths;
  for (const TSubmissionEntry& entry : found) paths.push_back(entry.Path + (entry.Problem.empty() ? "" : " !"));
  EXPECT_EQ(paths, (std::vector<std::string>{(FDir / "class/a.asm").string(), (FDir / "class/b/solution.ASM").string(),
                                             (FDir / "class/c.prg").string(), "zz-missing.asm"}));
  EXPECT_EQ(skipped.size(), 2u);  // .hidden and notes.txt
  CollectSubmissions({(FDir / "empty").string()}, found, skipped);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Problem, "no submissions (.asm or .prg files) in folder " + (FDir / "empty").string());
}

// Every worker count grades the same way and reports in the same order; a
// broken submission among good ones changes only its own line.
TEST_F(GradeTest, WorkersGradeAlikeAndInOrder) {
  TCaseFile file;
  ASSERT_EQ(Problem(R"({"steps": 500, "cases": [
      {"name": "double", "registers": {"R1": 21}, "expect": {"status": "halted", "registers": {"R2": 42}}}]})",
                    file),
            "");
  std::vector<TSubmissionJob> jobs;
  std::vector<std::string> expected;
  for (int i = 0; i < 40; ++i) {
    std::string source = "addi R2,R1,R1\nhalt\n";
    std::string result = "";
    if (i % 5 == 1) source = "addi R2,R1,R1\nlabel: jmp label\n", result = "expected the program to halt";
    if (i % 5 == 2) source = "addi R2,R1\n", result = "does not assemble: line 1, column 11: ";
    if (i % 5 == 3) source = "addi R2,R1,R0\nhalt\n", result = "case \"double\": R2 is 15, expected 2A";
    const std::string name = "s" + std::to_string(100 + i) + (i % 5 == 4 ? ".missing.asm" : ".asm");
    if (i % 5 != 4) Write(name, source);
    if (i % 5 == 4) result = "Cannot open file ";
    jobs.push_back({(FDir / name).string(), {&file}, ""});
    expected.push_back(result);
  }
  std::vector<std::string> baseline;
  for (int workers : {1, 2, 7}) {
    std::vector<std::string> order, messages;
    const std::vector<TSubmissionOutcome> outcomes =
        GradeSubmissions(jobs, workers, [&](const TSubmissionOutcome& o) { order.push_back(o.Path); });
    ASSERT_EQ(outcomes.size(), jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) {
      EXPECT_EQ(order[i], jobs[i].Path);
      const bool broken = expected[i].rfind("does not", 0) == 0 || expected[i].rfind("Cannot", 0) == 0;
      EXPECT_EQ(outcomes[i].Result, broken ? grError : expected[i].empty() ? grPass : grFail) << i;
      EXPECT_NE(outcomes[i].Message.find(expected[i]), std::string::npos) << outcomes[i].Message;
      messages.push_back(outcomes[i].Message);
    }
    if (baseline.empty()) baseline = messages;
    EXPECT_EQ(messages, baseline) << workers << " workers";
  }
}

}  // namespace
