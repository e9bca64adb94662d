#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "grading/CaseFile.h"
#include "grading/CliRun.h"

// One submission and the case files it is checked against.
struct TSubmissionJob {
  std::string Path;
  std::vector<const TCaseFile*> Files;
  // Set when the submission is known to be unusable before it is loaded (an
  // empty or unreadable folder): every case fails with it.
  std::string Problem;
};

struct TCellChange {
  int Address = 0;
  int32_t Old = 0;
  int32_t New = 0;
};

struct TCaseOutcome {
  const TCaseFile* File = nullptr;
  const TGradeCase* Case = nullptr;
  bool Passed = false;
  std::string Message;  // the first difference, or why it could not run
  TStopReason Status = srHalt;
  uint64_t Steps = 0;
  std::string Output;
  uint64_t OutputBytes = 0;  // also the bytes past the output cap
  double Seconds = 0;
  double Points = 0;  // earned: the case's points when passed, else 0
  // The end of a failing run, to see what went wrong without running it again.
  int32_t FinalPC = 0;
  std::array<int32_t, RegisterCount> FinalRegisters{};
  std::vector<TCellChange> ChangedCells;  // against the case's starting memory
};

enum TGradeResult { grPass, grFail, grError };

struct TSubmissionOutcome {
  std::string Path;
  // grError: the submission could not be loaded (missing file, does not
  // assemble); every case then carries Message as its reason.
  TGradeResult Result = grPass;
  std::string Message;  // the first failure in words, "" when passed
  std::vector<TCaseOutcome> Cases;
  double Seconds = 0;
  double Points = 0;
  double MaxPoints = 0;
  // Every assembler message of a source that does not assemble, as
  // "line L, column C: MESSAGE".
  std::vector<std::string> FormatErrors;
};

// "4/6" or "2.5/3": points as a reader writes them.
std::string PointsText(double points);

class TProgramMap;

// Runs cells (256 values, an image already assembled or read) against every
// case of files: the same run and words as a graded submission, for a source
// the caller assembled itself (the window's Check). map, when given, names
// the lines of stops. Safe to call from any thread: all state is local.
TSubmissionOutcome GradeImage(const std::vector<int32_t>& cells, const TProgramMap* map,
                              const std::vector<const TCaseFile*>& files);

// Loads the submission once and runs it against every case. Never throws:
// whatever goes wrong with one submission ends up in its outcome.
TSubmissionOutcome GradeSubmission(const TSubmissionJob& job);

// Grades every job on up to workers threads (at least one). onReady is
// called on the calling thread for each outcome in the order of jobs, as
// soon as it and all before it are done, so that results appear while the
// rest still runs and always in the same order.
std::vector<TSubmissionOutcome> GradeSubmissions(const std::vector<TSubmissionJob>& jobs, int workers,
                                                 const std::function<void(const TSubmissionOutcome&)>& onReady);
