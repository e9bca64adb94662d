// orvik-cli as a grader: a class of generated submissions assembled, run and
// checked on every core, and the trace of a long run written to /dev/null.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Bench.h"
#include "cli/TraceWriter.h"
#include "grading/CaseFile.h"
#include "grading/CliRun.h"
#include "grading/GradeRunner.h"

namespace {

namespace fs = std::filesystem;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A multiplication by repeated addition; each submission has its own labels
// and a different unused register, as real ones differ in details.
std::string Submission(int i) {
  const std::string n = std::to_string(i);
  return "; submission " + n +
         "\n"
         "        load  R0,0\n"
         "        load  R3,0\n"
         "        load  R4," +
         std::to_string(i % 200) +
         "  ;unused\n"
         "        load  R5,0FFh\n"
         "Loop" +
         n + ": jmpEQ R2=R0,Done" + n +
         "\n"
         "        addi  R3,R3,R1\n"
         "        addi  R2,R2,R5\n"
         "        jmp   Loop" +
         n +
         "\n"
         "Done" +
         n +
         ": store R3,[80h]\n"
         "        move  RF,R3\n"
         "        halt\n";
}

void GradeSubmissionsBench(TBenchContext& context) {
  const int count = context.Smoke() ? 20 : 1000;
  const fs::path folder = fs::temp_directory_path() / "orvik-bench-grade";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string casePath = (folder / "cases.json").string();
  std::ofstream(casePath) << R"({"cases": [{"name": "6 * 7", "registers": {"R1": 6, "R2": 7},
      "expect": {"status": "halted", "output": "*", "registers": {"R3": 42}, "cells": {"80": 42}}}]})";
  TCaseFile file;
  std::string problem;
  if (!ReadCaseFile(casePath, file, problem)) throw std::logic_error(problem);
  std::vector<TSubmissionJob> jobs;
  for (int i = 0; i < count; ++i) {
    const std::string path = (folder / ("s" + std::to_string(i) + ".asm")).string();
    std::ofstream(path) << Submission(i);
    jobs.push_back({path, {&file}, ""});
  }
  const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const auto start = std::chrono::steady_clock::now();
  const std::vector<TSubmissionOutcome> outcomes = GradeSubmissions(jobs, workers, {});
  const double seconds = Seconds(start);
  for (const TSubmissionOutcome& outcome : outcomes)
    if (outcome.Result != grPass) throw std::logic_error("grade benchmark: " + outcome.Path + ": " + outcome.Message);
  fs::remove_all(folder);
  context.Report("grade_workers", workers);
  context.Report("grade_submissions_per_second", count / seconds);
}

void TraceBench(TBenchContext& context) {
  // An endless loop that stores, writes RF and jumps: three writes besides PC.
  std::vector<int32_t> memory = {0x21, 0x01, 0x51, 0x11, 0x31, 0x80, 0x4F, 0x1F, 0xB0, 0x02};
  memory.resize(MemorySize, 0);
  TRunSetup setup;
  setup.Memory = memory;
  setup.StepLimit = context.Smoke() ? 1000 : 10000000;
  std::ofstream out("/dev/null", std::ios::binary);
  TTraceWriter writer(out);
  const auto start = std::chrono::steady_clock::now();
  const TRunResult result = RunImage(setup, {}, [&writer](const TTraceStep& step) { writer.Write(step); });
  writer.Flush();
  out.flush();
  const double seconds = Seconds(start);
  if (result.Steps != setup.StepLimit || !out) throw std::logic_error("trace benchmark run");
  context.Report("trace_instructions_per_second", static_cast<double>(result.Steps) / seconds);
}

}  // namespace

ORVIK_BENCH_CASE(grade_submissions, GradeSubmissionsBench, false);
ORVIK_BENCH_CASE(trace, TraceBench, false);
