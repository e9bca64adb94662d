#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// orvik-cli test CASES.json... [SUBMISSION...] [-j N] [--shard I/N]
// [--junit FILE] [--json FILE]; args are those after "test". Prints one
// PASS/FAIL line per submission and a summary to out. Returns 0 when every
// submission passed, 4 when any failed, 1 for a usage or case file error.
int RunTestCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
