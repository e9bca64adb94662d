#pragma once

#include <string>

#include "grading/CaseFile.h"
#include "grading/GradeRunner.h"

// The words of an exercise's pane, the same in the window and on the page:
// the front ends only show them.

// A visible case in the list of cases: "6 x 7 (1 point)".
std::string CaseListText(const TGradeCase& gradeCase);
// The line that stands for the hidden cases: "and 3 hidden cases".
std::string HiddenCasesText(int hidden);

// A row of Check's results for a visible case: "PASS 6 x 7 (1/1 point)" or
// "FAIL 6 x 7 (0/1 point): R3 is 30, expected 2A".
std::string ResultRowText(const TCaseOutcome& outcome);
// The hidden cases only as a count: "2 of 3 hidden cases pass"; "" for none.
std::string HiddenResultText(const TSubmissionOutcome& outcome);
// The total: "2/4 points".
std::string TotalPointsText(const TSubmissionOutcome& outcome);

// Check's answer for a source with assembler errors (they are in the error
// list, as after Assemble).
inline constexpr const char* DoesNotAssembleText = "The source does not assemble: see the errors below it";
