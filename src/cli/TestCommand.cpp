#include "cli/TestCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <system_error>
#include <thread>

#include "cli/CaseFile.h"
#include "cli/GradeReports.h"
#include "cli/GradeRunner.h"
#include "cli/Submissions.h"
#include "machine/FileWriter.h"

namespace {

constexpr int ExitPassed = 0;
constexpr int ExitError = 1;
constexpr int ExitFailed = 4;

const char* const TestUsage =
    "usage: orvik-cli test CASES.json... [SUBMISSION...] [-j N] [--shard I/N] [--junit FILE] [--json FILE]\n";

struct TTestLine {
  std::vector<std::string> CaseFiles;
  std::vector<std::string> Submissions;
  int Workers = 0;  // 0: one per core
  size_t ShardIndex = 1;
  size_t ShardCount = 1;
  std::string Junit;
  std::string Json;
};

int TestUsageError(std::ostream& err, const std::string& problem) {
  err << "orvik-cli: " << problem << '\n' << TestUsage;
  return ExitError;
}

bool EndsWithJson(const std::string& path) {
  if (path.size() < 5) return false;
  std::string tail = path.substr(path.size() - 5);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".json";
}

std::string ParseTestArguments(const std::vector<std::string>& args, TTestLine& line) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "-j") {
      if (!hasValue) return "-j needs a number of workers";
      const std::string& value = args[++i];
      if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(value) == 0)
        return "-j needs a number of workers 1..9999, not " + value;
      line.Workers = std::stoi(value);
    } else if (arg == "--shard") {
      if (!hasValue) return "--shard needs I/N";
      std::string problem;
      if (!ParseShard(args[++i], line.ShardIndex, line.ShardCount, problem)) return problem;
    } else if (arg == "--junit" || arg == "--json") {
      if (!hasValue) return arg + " needs a FILE name";
      (arg == "--junit" ? line.Junit : line.Json) = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (EndsWithJson(arg)) {
      line.CaseFiles.push_back(arg);
    } else {
      line.Submissions.push_back(arg);
    }
  }
  if (line.CaseFiles.empty()) return "CASES is missing: give at least one case file (.json)";
  // A slip (--json cases.json) would replace a case file by the report.
  for (const std::string* report : {&line.Junit, &line.Json}) {
    std::error_code ec;
    for (const std::string& path : line.CaseFiles)
      if (!report->empty() && std::filesystem::equivalent(*report, path, ec))
        return "the report " + *report + " is a case file";
  }
  return "";
}

// Without submissions each case file's own program is graded, against the
// cases of every file that names it.
bool JobsForNamedPrograms(const std::vector<std::unique_ptr<TCaseFile>>& files, std::vector<TSubmissionJob>& jobs,
                          std::string& problem) {
  std::map<std::string, std::vector<const TCaseFile*>> byProgram;
  for (const auto& file : files) {
    if (file->Program.empty()) {
      problem = file->Path + " names no \"program\"; give the submissions to test";
      return false;
    }
    byProgram[file->Program].push_back(file.get());
  }
  for (const auto& [program, programFiles] : byProgram) jobs.push_back({program, programFiles});
  return true;
}

bool WriteReport(const std::string& path, const std::string& text, std::ostream& err) {
  if (path.empty()) return true;
  const std::string problem = WriteFileAtomically(path, text);
  if (problem.empty()) return true;
  err << problem << '\n';
  return false;
}

std::string Plural(size_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

int RunTestCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TTestLine line;
  const std::string usageProblem = ParseTestArguments(args, line);
  if (!usageProblem.empty()) return TestUsageError(err, usageProblem);

  // Every case file is read before anything runs: a broken one would make
  // every grade wrong.
  std::vector<std::unique_ptr<TCaseFile>> files;
  for (const std::string& path : line.CaseFiles) {
    auto file = std::make_unique<TCaseFile>();
    std::string problem;
    if (!ReadCaseFile(path, *file, problem)) {
      err << problem << '\n';
      return ExitError;
    }
    files.push_back(std::move(file));
  }

  std::vector<TSubmissionJob> jobs;
  std::string problem;
  if (line.Submissions.empty()) {
    if (!JobsForNamedPrograms(files, jobs, problem)) {
      err << "orvik-cli: " << problem << '\n';
      return ExitError;
    }
  } else {
    std::vector<std::string> submissions;
    if (!CollectSubmissions(line.Submissions, submissions, problem)) {
      err << "orvik-cli: " << problem << '\n';
      return ExitError;
    }
    std::vector<const TCaseFile*> all;
    for (const auto& file : files) all.push_back(file.get());
    for (std::string& path : submissions) jobs.push_back({std::move(path), all});
  }
  if (line.ShardCount > 1) {
    std::vector<std::string> paths;
    for (const TSubmissionJob& job : jobs) paths.push_back(job.Path);
    const std::vector<std::string> mine = ShardOf(paths, line.ShardIndex, line.ShardCount);
    const size_t begin =
        static_cast<size_t>(std::find(paths.begin(), paths.end(), mine.empty() ? "" : mine.front()) - paths.begin());
    std::vector<TSubmissionJob> shard;
    for (size_t i = 0; i < mine.size(); ++i) shard.push_back(std::move(jobs[begin + i]));
    jobs = std::move(shard);
  }

  int workers = line.Workers;
  if (workers == 0) workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::vector<TSubmissionOutcome> outcomes =
      GradeSubmissions(jobs, workers, [&out](const TSubmissionOutcome& outcome) {
        out << (outcome.Result == grPass ? "PASS " : "FAIL ") << outcome.Path;
        if (!outcome.Message.empty()) out << ": " << outcome.Message;
        out << '\n';
        out.flush();
      });

  size_t passed = 0, broken = 0;
  for (const TSubmissionOutcome& outcome : outcomes) {
    passed += outcome.Result == grPass ? 1 : 0;
    broken += outcome.Result == grError ? 1 : 0;
  }
  out << Plural(outcomes.size(), "submission") << ": " << passed << " passed, " << outcomes.size() - passed
      << " failed";
  if (broken > 0) out << " (" << broken << " could not be loaded)";
  out << '\n';
  out.flush();

  bool reportsWritten = WriteReport(line.Junit, JunitReport(outcomes), err);
  reportsWritten = WriteReport(line.Json, JsonReport(outcomes), err) && reportsWritten;
  if (!out) {
    err << "Stream write error\n";
    return ExitError;
  }
  if (!reportsWritten) return ExitError;
  return passed == outcomes.size() ? ExitPassed : ExitFailed;
}
