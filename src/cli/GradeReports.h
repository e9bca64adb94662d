#pragma once

#include <string>
#include <vector>

#include "cli/GradeRunner.h"

// The reports of orvik-cli test for CI systems and grade books.

// JUnit XML: one <testsuite> per submission (its path as name), one
// <testcase> per case (classname the case file, name the case), a
// <failure> for a case that ran and missed, an <error> for one that could
// not run, and the program's output as <system-out>.
std::string JunitReport(const std::vector<TSubmissionOutcome>& outcomes);

// JSON: a summary and, per submission, its result ("pass", "fail",
// "error"), first failure and every case with status, steps and output.
std::string JsonReport(const std::vector<TSubmissionOutcome>& outcomes);
