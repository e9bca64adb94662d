#pragma once

#include <string>

#include "grading/CliRun.h"
#include "grading/ProgramLoader.h"

// The documents of run --json, each one line of JSON with its line end.

// status, steps, output (the bytes read as Latin-1), output_hex, pc, ir,
// registers (16 numbers), memory (256 numbers).
std::string RunReportJson(const TRunResult& result);

// A PROGRAM that could not be loaded: status "error" and either the file's
// problem as message or the assembler's errors (line, column, message).
std::string LoadFailureJson(const TLoadedProgram& loaded);
