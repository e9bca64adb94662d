#pragma once

#include <string>

#include "grading/CaseFile.h"
#include "grading/CliRun.h"

class TProgramMap;

// The starting state of a case: the program's image with the case's cells,
// registers and PC put over it.
TRunSetup CaseSetup(const TGradeCase& gradeCase, const std::vector<int32_t>& image,
                    size_t maxOutput = DefaultMaxOutput);

// The first way in which a run misses what the case expects, in words
// ("R2 is 07, expected 0A"); "" when everything holds. Checked in the order
// status, output, PC, registers, cells. With the map of a source, a stop at
// an address names its line: "an invalid instruction at 0A (line 7)".
std::string FirstDifference(const TGradeCase& gradeCase, const TRunResult& result, const TProgramMap* map = nullptr);
