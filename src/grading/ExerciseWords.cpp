#include "grading/ExerciseWords.h"

namespace {

std::string PointsWord(double points) { return PointsText(points) + (points == 1 ? " point" : " points"); }

std::string Cases(int count) { return count == 1 ? "case" : "cases"; }

}  // namespace

std::string CaseListText(const TGradeCase& gradeCase) {
  return gradeCase.Name + " (" + PointsWord(gradeCase.Points) + ")";
}

std::string HiddenCasesText(int hidden) { return "and " + std::to_string(hidden) + " hidden " + Cases(hidden); }

std::string ResultRowText(const TCaseOutcome& outcome) {
  const std::string points = " (" + PointsText(outcome.Points) + "/" + PointsWord(outcome.Case->Points) + ")";
  if (outcome.Passed) return "PASS " + outcome.Case->Name + points;
  return "FAIL " + outcome.Case->Name + points + ": " + outcome.Message;
}

std::string HiddenResultText(const TSubmissionOutcome& outcome) {
  int hidden = 0;
  int passed = 0;
  for (const TCaseOutcome& result : outcome.Cases)
    if (result.Case->Hidden) {
      ++hidden;
      passed += result.Passed ? 1 : 0;
    }
  if (hidden == 0) return "";
  return std::to_string(passed) + " of " + std::to_string(hidden) + " hidden " + Cases(hidden) + " pass";
}

std::string TotalPointsText(const TSubmissionOutcome& outcome) {
  return PointsText(outcome.Points) + "/" + PointsText(outcome.MaxPoints) + " points";
}
