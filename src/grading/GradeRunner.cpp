#include "grading/GradeRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "grading/ProgramLoader.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Why a submission could not run, in the words of the file reader or the
// assembler's first error.
std::string LoadProblem(const TLoadedProgram& loaded) {
  if (!loaded.Problem.empty()) return loaded.Problem;
  if (loaded.Errors.empty()) return "cannot be loaded";
  const TAsmError& first = loaded.Errors.front();
  return "does not assemble: line " + std::to_string(first.Line) + ", column " + std::to_string(first.Column) + ": " +
         first.Message;
}

void MarkAllCases(TSubmissionOutcome& outcome, const TSubmissionJob& job, const std::string& message) {
  outcome.Result = grError;
  outcome.Message = message;
  outcome.Cases.clear();
  for (const TCaseFile* file : job.Files)
    for (const TGradeCase& gradeCase : file->Cases) {
      TCaseOutcome caseOutcome;
      caseOutcome.File = file;
      caseOutcome.Case = &gradeCase;
      caseOutcome.Message = message;
      outcome.Cases.push_back(std::move(caseOutcome));
    }
}

double MaxPointsOf(const TSubmissionJob& job) {
  double points = 0;
  for (const TCaseFile* file : job.Files)
    for (const TGradeCase& gradeCase : file->Cases) points += gradeCase.Points;
  return points;
}

}  // namespace

TSubmissionOutcome GradeSubmission(const TSubmissionJob& job) {
  const auto start = std::chrono::steady_clock::now();
  TSubmissionOutcome outcome;
  outcome.Path = job.Path;
  outcome.MaxPoints = MaxPointsOf(job);
  try {
    if (!job.Problem.empty()) {
      MarkAllCases(outcome, job, job.Problem);
      outcome.Seconds = SecondsSince(start);
      return outcome;
    }
    const TLoadedProgram loaded = LoadProgram(job.Path);
    if (!loaded.Ok) {
      MarkAllCases(outcome, job, LoadProblem(loaded));
      for (const TAsmError& e : loaded.Errors)
        outcome.FormatErrors.push_back("line " + std::to_string(e.Line) + ", column " + std::to_string(e.Column) +
                                       ": " + e.Message);
    } else {
      outcome = GradeImage(loaded.Cells, loaded.HasMap ? &loaded.Map : nullptr, job.Files);
      outcome.Path = job.Path;
    }
  } catch (const std::exception& e) {
    // Out of memory or the like: this submission is lost, the others not.
    MarkAllCases(outcome, job, std::string("internal error: ") + e.what());
  }
  outcome.Seconds = SecondsSince(start);
  return outcome;
}

std::vector<TSubmissionOutcome> GradeSubmissions(const std::vector<TSubmissionJob>& jobs, int workers,
                                                 const std::function<void(const TSubmissionOutcome&)>& onReady) {
  std::vector<TSubmissionOutcome> outcomes(jobs.size());
  std::vector<char> done(jobs.size(), 0);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<size_t> next{0};

  auto work = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      TSubmissionOutcome outcome = GradeSubmission(jobs[i]);
      const std::lock_guard<std::mutex> lock(mutex);
      outcomes[i] = std::move(outcome);
      done[i] = 1;
      ready.notify_one();
    }
  };
  const size_t threadCount = std::min(jobs.size(), static_cast<size_t>(std::max(workers, 1)));
  std::vector<std::thread> threads;
  threads.reserve(threadCount);
  for (size_t t = 0; t < threadCount; ++t) threads.emplace_back(work);

  for (size_t i = 0; i < jobs.size(); ++i) {
    std::unique_lock<std::mutex> lock(mutex);
    ready.wait(lock, [&] { return done[i] != 0; });
    lock.unlock();
    // outcomes[i] is final once done: no worker writes it again.
    if (onReady) onReady(outcomes[i]);
  }
  for (std::thread& thread : threads) thread.join();
  return outcomes;
}
