#pragma once

#include <string>
#include <vector>

#include "grading/GradeRunner.h"

// The reports of orvik-cli test for CI systems and grade books.

// JUnit XML: one <testsuite> per submission (its path as name), one
// <testcase> per case (classname the submission, so that CI systems show a
// row per student, name the case), a
// <failure> for a case that ran and missed, an <error> for one that could
// not run, and the program's output as <system-out>.
std::string JunitReport(const std::vector<TSubmissionOutcome>& outcomes);

// JSON: a summary and, per submission, its result ("pass", "fail",
// "error"), points, first failure and every case with status, steps, output,
// points and, when it failed, the final PC, registers and changed cells.
std::string JsonReport(const std::vector<TSubmissionOutcome>& outcomes, size_t skipped = 0);

// Gradescope's results.json for one submission: score, and per case name,
// score, max_score, status, output (the difference in words) and
// visibility (after_published for a hidden case).
std::string GradescopeReport(const TSubmissionOutcome& outcome);

// PrairieLearn's results.json for one submission: score 0..1, gradable,
// message and tests; a source that does not assemble is not gradable and
// carries the assembler's messages as format_errors, so the student keeps
// the attempt.
std::string PrairieLearnReport(const TSubmissionOutcome& outcome);
