#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits source bytes into lines. A line ends at CR LF, a lone CR or a lone
// LF; a break at the very end does not start another line, so an empty text
// has no lines. Every byte other than a break stays in its line unchanged.
std::vector<std::string> SplitSourceLines(std::string_view bytes);

// The number of lines SplitSourceLines finds, without splitting.
size_t CountSourceLines(std::string_view bytes);
