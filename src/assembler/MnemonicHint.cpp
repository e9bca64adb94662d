#include "assembler/MnemonicHint.h"

#include "assembler/AsmLexer.h"
#include "machine/InstructionSet.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The word starting at pos (empty when none), pos moved past it.
std::string_view TakeWord(std::string_view line, size_t& pos) {
  const size_t start = pos;
  while (pos < line.size() && IsWordChar(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

void SkipBlanks(std::string_view line, size_t& pos) {
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
}

// Optimal string alignment distance, case-insensitive.
size_t EditDistance(std::string_view a, std::string_view b) {
  const size_t w = b.size() + 1;
  std::vector<size_t> d((a.size() + 1) * w);
  for (size_t i = 0; i <= a.size(); ++i) d[i * w] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
      size_t best = std::min({d[(i - 1) * w + j] + 1, d[i * w + j - 1] + 1, d[(i - 1) * w + j - 1] + cost});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) && Lower(a[i - 2]) == Lower(b[j - 1]))
        best = std::min(best, d[(i - 2) * w + j - 2] + 1);
      d[i * w + j] = best;
    }
  }
  return d.back();
}

}  // namespace

std::string MisspeltMnemonicHint(std::string_view line) {
  size_t pos = 0;
  SkipBlanks(line, pos);
  const std::string_view word = TakeWord(line, pos);
  if (word.empty() || std::isdigit(static_cast<unsigned char>(word[0])) != 0 || IsAsmKeyword(word)) return {};
  SkipBlanks(line, pos);
  if (pos < line.size() && line[pos] == ':') return {};
  if (IsAsmKeyword(TakeWord(line, pos))) return {};
  // One edit in a short word, two in a longer one: further off, the word is
  // more likely a label than a slip of the fingers.
  const size_t allowed = word.size() <= 4 ? 1 : 2;
  std::string_view nearest;
  size_t nearestDistance = allowed + 1;
  for (const TInstructionInfo& info : InstructionTable) {
    if (info.Mnemonic.empty()) continue;
    const size_t distance = EditDistance(word, info.Mnemonic);
    if (distance < nearestDistance) {
      nearest = info.Mnemonic;
      nearestDistance = distance;
    }
  }
  if (nearest.empty()) return {};
  return std::string(word) + " is not a mnemonic; did you mean " + std::string(nearest) + "?";
}
