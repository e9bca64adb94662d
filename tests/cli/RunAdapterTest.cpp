// The run adapter, the trace and the run --json document, checked by
// replaying and parsing what they write.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/RunReport.h"
#include "cli/TraceWriter.h"
#include "grading/CliRun.h"

namespace {

std::vector<int32_t> Image(std::vector<int32_t> bytes) {
  bytes.resize(MemorySize, 0);
  return bytes;
}

// Stores, indirect stores, output, jumps, a float add and an RF move: every
// kind of write the trace reports. R1 counts down from 3.
const std::vector<int32_t> Busy = {
    0x21, 0x03,  // 00 load R1,3
    0x22, 0xFF,  // 02 load R2,-1
    0x23, 0x90,  // 04 load R3,90
    0x20, 0x00,  // 06 load R0,0
    0xB1, 0x18,  // 08 jmpEQ R1=R0,18
    0x31, 0x80,  // 0A store R1,[80]
    0xE0, 0x13,  // 0C store R1,[R3]
    0x64, 0x12,  // 0E addf R4,R1,R2
    0x40, 0x1F,  // 10 move RF,R1
    0x51, 0x12,  // 12 addi R1,R1,R2
    0xB0, 0x08,  // 14 jmp 08
    0x00, 0x00,  // 16
    0xC0, 0x00,  // 18 halt
};

TEST(RunAdapterTest, ReplayingTheTraceGivesTheFinalState) {
  for (uint64_t limit : {uint64_t{0}, uint64_t{1}, uint64_t{7}, uint64_t{20}, uint64_t{27}}) {
    TRunSetup setup;
    setup.Memory = Image(Busy);
    setup.StepLimit = limit;
    std::ostringstream trace;
    TTraceWriter writer(trace);
    const TRunResult result = RunImage(setup, {}, [&writer](const TTraceStep& step) { writer.Write(step); });
    writer.Flush();

    // Start from the initial state and apply every write the trace names:
    // the result must be the machine's own final state.
    std::vector<int32_t> memory = setup.Memory;
    std::vector<int32_t> registers(RegisterCount, 0);
    int32_t pc = 0;
    std::string output;
    uint64_t lines = 0;
    std::istringstream lines_in(trace.str());
    for (std::string line; std::getline(lines_in, line);) {
      const nlohmann::json entry = nlohmann::json::parse(line);
      ++lines;
      EXPECT_EQ(entry["step"], lines);
      EXPECT_EQ(entry["address"], pc);
      EXPECT_EQ(entry["bytes"][0], memory[static_cast<size_t>(pc)]);
      for (const nlohmann::json& write : entry["writes"]) {
        const std::string kind = write["kind"];
        if (kind == "pc") {
          EXPECT_EQ(write["old"], pc);
          pc = write["new"];
        } else {
          std::vector<int32_t>& store = kind == "cell" ? memory : registers;
          const size_t address = write["address"];
          EXPECT_EQ(write["old"], store[address]) << line;
          store[address] = write["new"];
          if (kind == "register" && address == 15) output.push_back(static_cast<char>(write["output"].get<int>()));
        }
      }
    }
    EXPECT_EQ(lines, result.Steps) << limit;
    EXPECT_EQ(pc, result.PC);
    EXPECT_EQ(memory, result.Memory);
    EXPECT_EQ(registers, std::vector<int32_t>(result.Registers.begin(), result.Registers.end()));
    EXPECT_EQ(output, result.Output);
    EXPECT_EQ(result.Status, limit == 0 || limit == 27 ? srHalt : srStepLimit) << limit;
  }
}

TEST(RunAdapterTest, StepsStatusAndBreakpointsAgreeWithAndWithoutTracing) {
  const struct {
    std::vector<int32_t> Program;
    uint64_t Limit;
    std::vector<int> Breakpoints;
    TStopReason Status;
    uint64_t Steps;
    int32_t PC;
  } rows[] = {
      {Busy, 0, {}, srHalt, 27, 0x1A},
      {Busy, 5, {}, srStepLimit, 5, 0x0A},
      {Busy, 0, {0x12}, srBreakpoint, 9, 0x12},
      // The breakpoint at the start PC does not stop the first instruction.
      {Busy, 0, {0x00}, srHalt, 27, 0x1A},
      {{0x00, 0x00}, 0, {}, srInvalid, 1, 0x02},
      {{0xB0, 0x00}, 1000, {}, srStepLimit, 1000, 0x00},
  };
  for (const auto& row : rows) {
    for (bool tracing : {false, true}) {
      TRunSetup setup;
      setup.Memory = Image(row.Program);
      setup.StepLimit = row.Limit;
      setup.Breakpoints = row.Breakpoints;
      TTraceEvent onTrace;
      if (tracing) onTrace = [](const TTraceStep&) {};
      const TRunResult result = RunImage(setup, {}, onTrace);
      EXPECT_EQ(result.Status, row.Status) << row.Steps << " tracing " << tracing;
      EXPECT_EQ(result.Steps, row.Steps) << row.Steps << " tracing " << tracing;
      EXPECT_EQ(result.PC, row.PC) << row.Steps << " tracing " << tracing;
    }
  }
}

TEST(RunAdapterTest, TheJsonOutputKeepsEveryByte) {
  // load RF with 00, 22 ("), 5C (\), E9 (é in Latin-1), 0A, then halt.
  std::vector<int32_t> program;
  for (int byte : {0x00, 0x22, 0x5C, 0xE9, 0x0A}) {
    program.push_back(0x2F);
    program.push_back(byte);
  }
  program.push_back(0xC0);
  TRunSetup setup;
  setup.Memory = Image(program);
  const nlohmann::json report = nlohmann::json::parse(RunReportJson(RunImage(setup)));
  EXPECT_EQ(report["status"], "halted");
  EXPECT_EQ(report["steps"], 6);
  EXPECT_EQ(report["output"], std::string("\0\"\\\xC3\xA9\n", 6));
  EXPECT_EQ(report["output_hex"], "00225CE90A");
  EXPECT_EQ(report["registers"].size(), 16u);
  EXPECT_EQ(report["memory"].size(), 256u);
  EXPECT_EQ(report["memory"][7], 0xE9);
}

// The run command's exit codes and standard error stay as without --json.
TEST(RunAdapterTest, JsonAndTraceKeepTheExitCodesAndMessages) {
  const struct {
    std::vector<std::string> Extra;
    int Exit;
    std::string Err;
    std::string Status;
  } rows[] = {
      {{}, 0, "Halted\n", "halted"},
      {{"--steps", "3"}, 3, "Step limit reached\n", "step-limit"},
      {{"--break", "12"}, 4, "Breakpoint at 12\n", "breakpoint"},
  };
  const std::string path = ::testing::TempDir() + "orvik-run-adapter.prg";
  {
    std::string image;
    for (int32_t cell : Image(Busy))
      for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<char>((cell >> shift) & 0xFF));
    std::ofstream(path, std::ios::binary) << image;
  }
  for (const auto& row : rows) {
    std::vector<std::string> args = {"run", path, "--json"};
    args.insert(args.end(), row.Extra.begin(), row.Extra.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), row.Exit);
    EXPECT_EQ(err.str(), row.Err);
    EXPECT_EQ(nlohmann::json::parse(out.str())["status"], row.Status);

    // With the trace on standard output, the output bytes are only in it.
    args[2] = "--trace";
    args.insert(args.begin() + 3, "-");
    std::ostringstream traceOut, traceErr;
    EXPECT_EQ(RunCli(args, traceOut, traceErr), row.Exit);
    std::istringstream lines(traceOut.str());
    uint64_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) EXPECT_TRUE(nlohmann::json::accept(line)) << line;
    EXPECT_EQ(count, nlohmann::json::parse(out.str())["steps"]);
  }

  // A trace FILE leaves the raw bytes on standard output; one that cannot be
  // created stops before the run.
  const std::string tracePath = ::testing::TempDir() + "orvik-run-adapter.jsonl";
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"run", path, "--trace", tracePath, "--steps", "12"}, out, err), 3);
  EXPECT_EQ(out.str(), "\x03");
  std::ifstream traceFile(tracePath);
  uint64_t count = 0;
  for (std::string line; std::getline(traceFile, line); ++count) EXPECT_TRUE(nlohmann::json::accept(line)) << line;
  EXPECT_EQ(count, 12u);
  std::remove(tracePath.c_str());
  std::ostringstream noOut, noErr;
  EXPECT_EQ(RunCli({"run", path, "--trace", "/nonexistent-folder/t.jsonl"}, noOut, noErr), 1);
  EXPECT_EQ(noErr.str(), "Cannot create file /nonexistent-folder/t.jsonl: No such file or directory\n");
  EXPECT_EQ(noOut.str(), "");
  std::remove(path.c_str());
}

}  // namespace
