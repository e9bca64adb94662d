// orvik-cli test and run where a class of real submissions used to lose
// students or reports: folders, skipped entries, the default status, report
// paths, the output cap, escaped names, write failures and replaying a case.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CliFolderTest.h"

namespace {

namespace fs = std::filesystem;

const char* const Cases = R"({"steps": 300, "cases": [{"name": "five", "registers": {"R1": 5},
    "expect": {"cells": {"A0": 5}}}]})";
const char* const Good = "store R1,[0A0h]\nhalt\n";

class GraderFaultsTest : public TCliFolderTest {
 protected:
  GraderFaultsTest() : TCliFolderTest("orvik-faults-") {}
  TCliResult Test(std::vector<std::string> args) {
    args.insert(args.begin(), "test");
    return Run(args);
  }
  nlohmann::json Report(const std::string& path) { return nlohmann::json::parse(Read(path)); }
};

TEST_F(GraderFaultsTest, AnEmptyOrUnreadableStudentFolderFailsThatStudentOnly) {
  const std::string cases = Write("cases.json", Cases);
  Write("class/alice/a.asm", Good);
  fs::create_directories(FDir / "class/bob");
  Write("class/cy/notes.txt", "");
  const TCliResult scanned = Test({cases, Path("class"), "--json", Path("r.json")});
  EXPECT_EQ(scanned.Exit, 4) << scanned.Err;
  EXPECT_NE(scanned.Out.find("FAIL " + Path("class/bob") +
                             " (0/1 points): no submissions (.asm or .prg files) in "
                             "folder " +
                             Path("class/bob") + "\n"),
            std::string::npos)
      << scanned.Out;
  EXPECT_NE(scanned.Out.find("3 submissions: 1 passed, 2 failed (2 could not be loaded); 1 entry skipped\n"),
            std::string::npos)
      << scanned.Out;
  EXPECT_EQ(Report(Path("r.json"))["summary"]["errors"], 2);
  // Named one by one (class/*), the empty one no longer stops the others.
  const TCliResult named = Test({cases, Path("class/alice"), Path("class/bob")});
  EXPECT_EQ(named.Exit, 4) << named.Err;
  EXPECT_NE(named.Out.find("PASS " + Path("class/alice/a.asm")), std::string::npos) << named.Out;
  if (geteuid() != 0) {  // root reads every folder
    fs::create_directories(FDir / "locked");
    chmod(Path("locked").c_str(), 0);
    const TCliResult locked = Test({cases, Path("locked"), Path("class/alice")});
    chmod(Path("locked").c_str(), 0700);
    EXPECT_NE(locked.Out.find("FAIL " + Path("locked") + " (0/1 points): Cannot read folder " + Path("locked") +
                              ": Permission denied\n"),
              std::string::npos)
        << locked.Out;
  }
}

TEST_F(GraderFaultsTest, AFolderScanNamesEverySkippedEntry) {
  const std::string cases = Write("cases.json", Cases);
  Write("class/a.asm", Good);
  Write("class/b.s", Good);
  Write("class/.git/x.asm", Good);
  Write("outside.asm", Good);
  fs::create_directories(FDir / "class/x.asm");
  ASSERT_EQ(mkfifo(Path("class/pipe.asm").c_str(), 0600), 0);
  fs::create_symlink(Path("outside.asm"), Path("class/out.asm"));
  fs::create_symlink(Path("class"), Path("class/loop"));
  fs::create_symlink(Path("nothing"), Path("class/broken.asm"));
  const TCliResult result = Test({cases, Path("class")});
  EXPECT_EQ(result.Exit, 0) << result.Out << result.Err;
  const std::string c = Path("class/");
  for (const std::string& line : {"SKIP " + c + ".git: a hidden name", "SKIP " + c + "b.s: not a .asm or .prg file",
                                  "SKIP " + c + "broken.asm: a link to nothing",
                                  "SKIP " + c + "loop: a link back up to a folder that holds it (a loop)",
                                  "SKIP " + c + "out.asm: a link out of the folder", "SKIP " + c + "pipe.asm: a FIFO",
                                  "SKIP " + c + "x.asm: a folder named like a source or program file, not scanned",
                                  std::string("1 submission: 1 passed, 0 failed; 7 entries skipped")})
    EXPECT_NE(result.Out.find(line + "\n"), std::string::npos) << line << "\n" << result.Out;
}

TEST_F(GraderFaultsTest, ACaseWithoutStatusNeedsAHalt) {
  const std::string cases = Write("cases.json", Cases);
  const TCliResult result = Test({cases, Write("loops.asm", "store R1,[0A0h]\nL: jmp L\n")});
  EXPECT_EQ(result.Exit, 4);
  EXPECT_NE(result.Out.find("expected the program to halt, but it was still running after 300 steps"),
            std::string::npos)
      << result.Out;
}

TEST_F(GraderFaultsTest, AReportMayNotBeAGradedFileOrAnotherReport) {
  const std::string cases = Write("cases.json", Cases);
  const std::string add = Write("add.asm", Good);
  Write("class/b.asm", Good);
  const struct {
    std::vector<std::string> Args;
    std::string Problem;
  } rows[] = {
      {{cases, add, "--json", add}, "the report " + add + " is the submission " + add},
      {{cases, Path("class"), "--junit", Path("class/../class/b.asm")},
       "the report " + Path("class/../class/b.asm") + " is the submission " + Path("class/b.asm")},
      {{cases, add, "--junit", cases}, "the report " + cases + " is the case file " + cases},
      {{cases, add, "--junit", Path("r"), "--gradescope", Path("./r")},
       "--junit and --gradescope name the same FILE " + Path("r")},
      {{cases, add, Path("class"), "--gradescope", Path("g.json")},
       "--gradescope grades one submission, but there are 2: give one program file or source"},
  };
  for (const auto& row : rows) {
    const TCliResult result = Test(row.Args);
    EXPECT_EQ(result.Exit, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err.substr(0, result.Err.find('\n')), "orvik-cli: " + row.Problem);
  }
  EXPECT_EQ(Read(add), Good);
  EXPECT_FALSE(fs::exists(Path("r")));
}

TEST_F(GraderFaultsTest, OutputKeptPerRunIsCapped) {
  const std::string printer = Write("p.asm", "load R1,41h\nL: move RF,R1\njmp L\n");
  for (const auto& [cap, kept] : {std::pair<std::string, size_t>{"", 65536}, {R"("max_output": 100, )", 100}}) {
    SCOPED_TRACE(cap);
    const std::string cases = Write("cases.json", "{" + cap + R"("steps": 400000, "cases": [{"name": "A",
        "expect": {"status": "step-limit", "output": "AAA"}}]})");
    const TCliResult result = Test({cases, printer, "--json", Path("r.json")});
    EXPECT_NE(result.Out.find("output has 199997 bytes more than expected"), std::string::npos) << result.Out;
    const nlohmann::json item = Report(Path("r.json"))["submissions"][0]["cases"][0];
    EXPECT_EQ(item["output"].get<std::string>().size(), kept);
    EXPECT_EQ(item["output_bytes"], 200000);
  }
}

TEST_F(GraderFaultsTest, ControlCharactersInNamesCannotForgeALine) {
  const std::string cases = Write("cases.json", Cases);
  const std::string forged = Write("x\nPASS y\x1b[2K.asm", "halt\n");
  const TCliResult result = Test({cases, forged});
  EXPECT_EQ(result.Out.find("\nPASS y"), std::string::npos) << result.Out;
  EXPECT_NE(result.Out.find("FAIL " + Path("x\\x0APASS y\\x1B[2K.asm")), std::string::npos) << result.Out;
}

// A trace that fills the disk (here the process's file size limit) names
// the file and the reason and leaves nothing behind.
TEST_F(GraderFaultsTest, AFailedTraceNamesItsReasonAndLeavesNoFile) {
  const std::string program = Write("loop.asm", "L: jmp L\n");
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 100000;
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const TCliResult result = Run({"run", program, "--steps", "100000", "--trace", Path("t.jsonl")});
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  EXPECT_EQ(result.Exit, 1);
  EXPECT_EQ(result.Err, "Cannot write file " + Path("t.jsonl") + ": File too large\n");
  EXPECT_FALSE(fs::exists(Path("t.jsonl")));
  const TCliResult missing = Run({"run", program, "--trace", Path("no/t.jsonl")});
  EXPECT_EQ(missing.Err, "Cannot create file " + Path("no/t.jsonl") + ": No such file or directory\n");
}

// A failing case is replayed from its own start, and the report already
// shows how it ended.
TEST_F(GraderFaultsTest, AFailingCaseCanBeReplayedAndShowsItsEnd) {
  const std::string cases = Write("cases.json", R"({"program": "model.asm", "cases": [{"name": "double",
      "registers": {"R1": 21}, "cells": {"30": 9}, "expect": {"registers": {"R2": 42}}}]})");
  Write("model.asm", "addi R2,R1,R1\nhalt\n");
  const std::string wrong = Write("wrong.asm", "addi R2,R1,R0\nstore R2,[0A0h]\nhalt\n");
  const TCliResult graded = Test({cases, wrong, "--json", Path("r.json")});
  EXPECT_EQ(graded.Exit, 4);
  const nlohmann::json final = Report(Path("r.json"))["submissions"][0]["cases"][0]["final"];
  EXPECT_EQ(final["pc"], 6);
  EXPECT_EQ(final["registers"][2], 21);
  EXPECT_EQ(final["changed_cells"], nlohmann::json::parse(R"([{"address": 160, "old": 0, "new": 21}])"));

  const TCliResult replay = Run({"run", "--case", cases, "double", "--state", "--trace", "-"});
  EXPECT_EQ(replay.Exit, 0) << replay.Err;
  EXPECT_NE(replay.Err.find("R0=00 R1=15 R2=2A"), std::string::npos) << replay.Err;
  EXPECT_NE(replay.Err.find("30: 09"), std::string::npos) << replay.Err;
  EXPECT_EQ(replay.Out.rfind(R"({"step":1,"address":0,"pc_hex":"00","bytes":)", 0), 0u) << replay.Out;
  EXPECT_EQ(Run({"run", wrong, "--case", cases, "triple"}).Err, cases + ": no case named \"triple\"\n");
}

}  // namespace
