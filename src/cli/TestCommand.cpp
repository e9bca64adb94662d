#include "cli/TestCommand.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <system_error>
#include <thread>

#include "cli/GradeReports.h"
#include "cli/Submissions.h"
#include "grading/CaseFile.h"
#include "grading/GradeRunner.h"
#include "machine/FileWriter.h"

namespace {

constexpr int ExitPassed = 0;
constexpr int ExitError = 1;
constexpr int ExitFailed = 4;

const char* const TestUsage =
    "usage: orvik-cli test CASES.json... [SUBMISSION...] [-j N] [--shard I/N] [--junit FILE] [--json FILE]\n"
    "                      [--gradescope FILE] [--prairielearn FILE]\n";

struct TTestLine {
  std::vector<std::string> CaseFiles;
  std::vector<std::string> Submissions;
  int Workers = 0;  // 0: one per core
  size_t ShardIndex = 1;
  size_t ShardCount = 1;
  std::string Junit;
  std::string Json;
  std::string Gradescope;
  std::string PrairieLearn;
  std::vector<std::pair<std::string, std::string*>> Reports() {
    return {{"--junit", &Junit}, {"--json", &Json}, {"--gradescope", &Gradescope}, {"--prairielearn", &PrairieLearn}};
  }
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
    } else if (arg == "--junit" || arg == "--json" || arg == "--gradescope" || arg == "--prairielearn") {
      if (!hasValue) return arg + " needs a FILE name";
      for (auto& [option, report] : line.Reports())
        if (option == arg) *report = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (EndsWithJson(arg)) {
      line.CaseFiles.push_back(arg);
    } else {
      line.Submissions.push_back(arg);
    }
  }
  if (line.CaseFiles.empty()) return "CASES is missing: give at least one case file (.json)";
  return "";
}

// The same file by two names: an existing one by its identity, one still to
// be written by its absolute, normalised path.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  const auto full = [](const std::string& path) {
    std::error_code error;
    return std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
  };
  return full(a) == full(b);
}

// A slip (--json add.asm, --junit cases.json, the same FILE twice) would
// replace a graded file or one report by another; refused before anything
// runs.
std::string ReportClash(TTestLine& line, const std::vector<TSubmissionJob>& jobs) {
  const auto reports = line.Reports();
  for (size_t i = 0; i < reports.size(); ++i) {
    const std::string& report = *reports[i].second;
    if (report.empty()) continue;
    for (const std::string& path : line.CaseFiles)
      if (SameFile(report, path)) return "the report " + report + " is the case file " + path;
    for (const TSubmissionJob& job : jobs)
      if (SameFile(report, job.Path)) return "the report " + report + " is the submission " + job.Path;
    for (const std::string& path : line.Submissions)
      if (SameFile(report, path)) return "the report " + report + " is the submission " + path;
    for (size_t k = i + 1; k < reports.size(); ++k)
      if (!reports[k].second->empty() && SameFile(report, *reports[k].second))
        return reports[i].first + " and " + reports[k].first + " name the same FILE " + report;
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
  for (const auto& [program, programFiles] : byProgram) jobs.push_back({program, programFiles, ""});
  return true;
}

// Control characters in a file or case name would let it write its own
// line ("x\nPASS y.asm") or move the terminal's cursor; they are shown as
// \xHH. Other bytes stay, so UTF-8 names read as they are.
std::string Escaped(const std::string& text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      const char* const digits = "0123456789ABCDEF";
      shown += "\\x";
      shown += digits[byte >> 4];
      shown += digits[byte & 0xF];
    } else {
      shown.push_back(c);
    }
  }
  return shown;
}

bool WriteReport(const std::string& path, const std::string& text, std::ostream& err) {
  if (path.empty()) return true;
  errno = 0;
  const std::string problem = WriteFileAtomically(path, text);
  if (problem.empty()) return true;
  // The writer's words are the windows' ones; a teacher at a terminal also
  // needs the file and the system's reason.
  const int reason = errno != 0 ? errno : EIO;
  err << (problem.find(path) == std::string::npos ? "Cannot write file " + path : problem) << ": "
      << std::strerror(reason) << '\n';
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
  std::vector<TSkippedEntry> skipped;
  std::string problem;
  if (line.Submissions.empty()) {
    if (!JobsForNamedPrograms(files, jobs, problem)) {
      err << "orvik-cli: " << problem << '\n';
      return ExitError;
    }
  } else {
    std::vector<TSubmissionEntry> submissions;
    CollectSubmissions(line.Submissions, submissions, skipped);
    std::vector<const TCaseFile*> all;
    for (const auto& file : files) all.push_back(file.get());
    for (TSubmissionEntry& entry : submissions) jobs.push_back({std::move(entry.Path), all, std::move(entry.Problem)});
  }
  if (line.ShardCount > 1) jobs = ShardOf(jobs, line.ShardIndex, line.ShardCount);
  const std::string clash = ReportClash(line, jobs);
  if (!clash.empty()) return TestUsageError(err, clash);
  // Gradescope's and PrairieLearn's results.json are the grade of one student.
  for (const auto& [option, report] : line.Reports())
    if ((option == "--gradescope" || option == "--prairielearn") && !report->empty() && jobs.size() != 1)
      return TestUsageError(err, option + " grades one submission, but there are " + std::to_string(jobs.size()) +
                                     ": give one program file or source");

  for (const TSkippedEntry& entry : skipped) out << "SKIP " << Escaped(entry.Path + ": " + entry.Reason) << '\n';
  int workers = line.Workers;
  if (workers == 0) workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::vector<TSubmissionOutcome> outcomes =
      GradeSubmissions(jobs, workers, [&out](const TSubmissionOutcome& outcome) {
        std::string text =
            outcome.Path + " (" + PointsText(outcome.Points) + "/" + PointsText(outcome.MaxPoints) + " points)";
        if (!outcome.Message.empty()) text += ": " + outcome.Message;
        out << (outcome.Result == grPass ? "PASS " : "FAIL ") << Escaped(text) << '\n';
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
  if (!skipped.empty()) out << "; " << skipped.size() << (skipped.size() == 1 ? " entry" : " entries") << " skipped";
  out << '\n';
  out.flush();

  bool reportsWritten = WriteReport(line.Junit, JunitReport(outcomes), err);
  reportsWritten = WriteReport(line.Json, JsonReport(outcomes, skipped.size()), err) && reportsWritten;
  if (!line.Gradescope.empty())
    reportsWritten = WriteReport(line.Gradescope, GradescopeReport(outcomes.front()), err) && reportsWritten;
  if (!line.PrairieLearn.empty())
    reportsWritten = WriteReport(line.PrairieLearn, PrairieLearnReport(outcomes.front()), err) && reportsWritten;
  if (!out) {
    err << "Stream write error\n";
    return ExitError;
  }
  if (!reportsWritten) return ExitError;
  return passed == outcomes.size() ? ExitPassed : ExitFailed;
}
