// Grading an image already in memory: the part of the grader that the
// window's and the page's Check share with orvik-cli test. No threads and no
// files here, so that the browser edition compiles it as it is.
#include <chrono>
#include <cstdio>

#include "grading/CaseCheck.h"
#include "grading/GradeRunner.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TSubmissionOutcome GradeImage(const std::vector<int32_t>& cells, const TProgramMap* map,
                              const std::vector<const TCaseFile*>& files) {
  TSubmissionOutcome outcome;
  for (const TCaseFile* file : files)
    for (const TGradeCase& gradeCase : file->Cases) outcome.MaxPoints += gradeCase.Points;
  size_t failed = 0;
  for (const TCaseFile* file : files) {
    for (const TGradeCase& gradeCase : file->Cases) {
      const auto caseStart = std::chrono::steady_clock::now();
      const TRunSetup setup = CaseSetup(gradeCase, cells, file->MaxOutput);
      const TRunResult result = RunImage(setup);
      TCaseOutcome caseOutcome;
      caseOutcome.File = file;
      caseOutcome.Case = &gradeCase;
      caseOutcome.Message = FirstDifference(gradeCase, result, map);
      caseOutcome.Status = result.Status;
      caseOutcome.Steps = result.Steps;
      caseOutcome.Output = result.Output;
      caseOutcome.OutputBytes = result.OutputBytes;
      caseOutcome.Passed = caseOutcome.Message.empty();
      if (caseOutcome.Passed) {
        caseOutcome.Points = gradeCase.Points;
        outcome.Points += gradeCase.Points;
      } else {
        caseOutcome.FinalPC = result.PC;
        caseOutcome.FinalRegisters = result.Registers;
        for (int a = 0; a < MemorySize; ++a) {
          const auto at = static_cast<size_t>(a);
          if (result.Memory[at] != setup.Memory[at])
            caseOutcome.ChangedCells.push_back({a, setup.Memory[at], result.Memory[at]});
        }
      }
      caseOutcome.Seconds = SecondsSince(caseStart);
      if (!caseOutcome.Passed && failed++ == 0)
        outcome.Message = "case \"" + gradeCase.Name + "\": " + caseOutcome.Message;
      outcome.Cases.push_back(std::move(caseOutcome));
    }
  }
  outcome.Result = failed == 0 ? grPass : grFail;
  if (failed > 1)
    outcome.Message +=
        " (and " + std::to_string(failed - 1) + (failed == 2 ? " more failed case)" : " more failed cases)");
  return outcome;
}

std::string PointsText(double points) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", points);
  return text;
}
