// The current line and its tokens. Every test
// is on single bytes; bytes 128..255 are never letters or digits, so a
// source in any 8-bit code page tokenizes the same way.
#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>
#include <utility>

#include "assembler/AsmLexer.h"
#include "assembler/LineSource.h"
#include "machine/InstructionSet.h"

namespace {

constexpr char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSpecial(char c) { return c == '#' || c == '_' || c == '~'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexLetter(char c) { return (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsQuote(char c) { return c == '\'' || c == '"'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsPunctuation(char c) { return c == ',' || c == ':' || c == '<' || c == '=' || c == '[' || c == ']'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Value of c as a digit of base, or -1.
int DigitValue(char c, int base) {
  int value = -1;
  if (IsDigit(c)) {
    value = c - '0';
  } else if (IsHexLetter(c)) {
    value = Upper(c) - 'A' + 10;
  }
  return value < base ? value : -1;
}

struct TKeyword {
  std::string_view Name;  // any case
  int8_t Code;
};

// The directives and jmp (jmpEQ with R0=R0) are the assembler's own; every
// instruction mnemonic comes from the instruction table. A mnemonic of one
// opcode has that opcode as its code; one that several opcodes share (load,
// store: the operand picks the opcode) gets the next free negative code.
constexpr TKeyword Directives[] = {{"DB", kcDb}, {"ORG", kcOrg}, {"JMP", kcJmp}};

constexpr bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

constexpr auto Keywords = [] {
  std::array<TKeyword, std::size(Directives) + InstructionTable.size()> keywords{};
  size_t count = 0;
  for (const TKeyword& directive : Directives) keywords[count++] = directive;
  int8_t nextShared = kcFirstShared;
  for (const TInstructionInfo& info : InstructionTable) {
    if (info.Mnemonic.empty()) continue;
    bool known = false;
    for (size_t k = 0; k < count; ++k) known = known || SameWord(keywords[k].Name, info.Mnemonic);
    if (known) continue;
    int sharing = 0;
    for (const TInstructionInfo& other : InstructionTable) sharing += SameWord(other.Mnemonic, info.Mnemonic) ? 1 : 0;
    keywords[count++] = {info.Mnemonic, sharing == 1 ? static_cast<int8_t>(info.Opcode) : nextShared--};
  }
  return std::pair{keywords, count};
}();

static_assert(
    [] {
      for (size_t i = 0; i < Keywords.second; ++i)
        for (size_t k = 0; k < i; ++k)
          if (Keywords.first[i].Code == Keywords.first[k].Code) return false;
      return true;
    }(),
    "every keyword has a code of its own");

}  // namespace

TAsmLexer::TAsmLexer(const TLineSource* source) : FSource(source) {
  FBuffer.assign(MinBufferSize + 1, '\0');
  FText = FBuffer.data();
}

void TAsmLexer::FetchLine(int line) {
  const int start = FSource->LineStart(line);
  int length = std::max(FSource->LineLength(line), 0);
  // The buffer keeps its size for every line up to the minimum, so typing
  // never reallocates it.
  const size_t size = static_cast<size_t>(std::max(length, MinBufferSize)) + 1;
  if (FBuffer.size() != size) FBuffer.resize(size);
  FSource->CopyLine(line, FBuffer.data());
  // A document may hand over its line break with the line: cut the line
  // before the last run of CR/LF, unless that would leave nothing.
  int last = length - 1;
  while (last >= 0 && !IsLineBreak(FBuffer[static_cast<size_t>(last)])) --last;
  if (last >= 0) {
    int runStart = last;
    while (runStart > 0 && IsLineBreak(FBuffer[static_cast<size_t>(runStart - 1)])) --runStart;
    if (runStart > 0) length = runStart;
  }
  FBuffer[static_cast<size_t>(length)] = '\0';
  FText = FBuffer.data();
  FLineLength = length;
  FLine = line;
  FLineStart = start;
  FNextLineStart = start + length + 2;
}

void TAsmLexer::SetText(const char* text) { SetText(text, static_cast<int>(std::strlen(text))); }

void TAsmLexer::SetText(const char* text, int length) {
  FText = text;
  FLineLength = length;
  FLine = -1;
  FLineStart = -1;
  FNextLineStart = -1;
}

void TAsmLexer::TokenizeLine() {
  // The line ends at its length, not at the first zero byte: a NUL inside a
  // source line is an ordinary character, never a silent end of the line.
  FTokens.clear();
  int pos = 0;
  while (pos < FLineLength) {
    TToken token;
    token.StartPos = pos;
    const char first = Upper(FText[pos]);
    int end = pos + 1;
    if (IsLetter(first) || IsSpecial(first)) {
      while (end < FLineLength) {
        const char c = Upper(FText[end]);
        if (!IsLetter(c) && !IsSpecial(c) && !IsDigit(c)) break;
        ++end;
      }
      token.Class = tcWord;
      token.EndPos = end;
      ClassifyWord(token);
    } else if (IsDigit(first) || first == '-' || first == '$') {
      while (end < FLineLength) {
        const char c = Upper(FText[end]);
        if (c != 'X' && !IsDigit(c) && !(c >= 'A' && c <= 'F')) break;
        ++end;
      }
      if (end < FLineLength && Upper(FText[end]) == 'H') ++end;
      token.Class = tcLiteral;
      token.What = twNumber;
      token.EndPos = end;
      EvalNumber(token);
    } else if (IsQuote(first)) {
      while (end < FLineLength && FText[end] != first) ++end;
      token.Value = end < FLineLength ? 1 : 0;
      if (end < FLineLength) ++end;
      token.Class = tcLiteral;
      token.What = twString;
      token.EndPos = end;
    } else if (first == ';') {
      token.Class = tcFiller;
      token.What = twComment;
      token.EndPos = FLineLength;
    } else if (IsBlank(first)) {
      while (end < FLineLength && IsBlank(FText[end])) ++end;
      token.Class = tcFiller;
      token.What = twSpace;
      token.EndPos = end;
    } else if (IsPunctuation(first)) {
      token.Class = tcPunct;
      if (first != '<') {
        token.What = static_cast<TTokenWhat>(first);
      } else if (end < FLineLength && FText[end] == '=') {
        token.What = twLessEqual;
        ++end;
      } else {
        token.What = twLoneLess;
      }
      token.EndPos = end;
    } else {
      while (end < FLineLength) {
        const char c = Upper(FText[end]);
        if (IsLetter(c) || IsSpecial(c) || IsDigit(c) || c == '-' || c == '$' || IsQuote(c) || c == ';' || IsBlank(c) ||
            IsPunctuation(c))
          break;
        ++end;
      }
      token.Class = tcFiller;
      token.What = twOther;
      token.EndPos = end;
    }
    FTokens.push_back(token);
    pos = token.EndPos;
  }
}

void TAsmLexer::ClassifyWord(TToken& token) const {
  const int length = token.EndPos - token.StartPos;
  const char* word = FText + token.StartPos;
  token.What = twLabel;
  if (length >= 2 && length <= 5) {
    for (size_t k = 0; k < Keywords.second; ++k) {
      const TKeyword& keyword = Keywords.first[k];
      if (SameWord(std::string_view(word, static_cast<size_t>(length)), keyword.Name)) {
        token.What = twMnemonic;
        token.Value = keyword.Code;
        return;
      }
    }
  }
  if (length == 2 && Upper(word[0]) == 'R' && (IsDigit(word[1]) || IsHexLetter(word[1]))) {
    token.What = twRegister;
    token.Value = DigitValue(word[1], 16);
  }
}

void TAsmLexer::EvalNumber(TToken& token) const {
  const char* text = FText + token.StartPos;
  const int length = token.EndPos - token.StartPos;
  const char s = Upper(text[0]);
  const char e = Upper(text[length - 1]);
  int base = 10;
  int from = 0;
  int to = length;  // exclusive
  if (s == '$') {
    base = 16;
    from = 1;
  } else if (s == '0' && length >= 2 && Upper(text[1]) == 'X') {
    base = 16;
    from = 2;
  } else if (e == 'D') {
    to = length - 1;
  } else if (e == 'H') {
    base = 16;
    to = length - 1;
  } else if (e == 'B') {
    base = 2;
    to = length - 1;
  }
  bool negative = false;
  if (base == 10 && from < to && text[from] == '-') {
    negative = true;
    ++from;
  }
  token.Value = 0;
  token.WellFormed = false;
  token.Valid = false;
  if (from >= to) return;
  // Accumulate in 64 bits so that the overflow past 2147483647 is detected
  // instead of wrapping; the digits after it are only checked, not added.
  int64_t value = 0;
  bool overflow = false;
  int pos = from;
  for (; pos < to; ++pos) {
    const int digit = DigitValue(text[pos], base);
    if (digit < 0) break;
    if (overflow) continue;
    const int64_t next = value * base + digit;
    if (next > std::numeric_limits<int32_t>::max()) {
      overflow = true;
    } else {
      value = next;
    }
  }
  token.Value = static_cast<int32_t>(negative ? -value : value);
  token.WellFormed = pos == to;
  token.Valid = token.WellFormed && !overflow;
}

std::string TAsmLexer::TokenText(const TToken& token) const {
  return std::string(FText + token.StartPos, static_cast<size_t>(token.EndPos - token.StartPos));
}

void TAsmLexer::AssignStyles() {
  for (TToken& token : FTokens) {
    switch (token.What) {
      case twMnemonic: token.Style = hsKeyword; break;
      case twComment: token.Style = hsComment; break;
      case twString: token.Style = hsString; break;
      case twNumber: token.Style = token.WellFormed ? hsNumeric : hsError; break;
      case twOther:
      case twLoneLess: token.Style = hsError; break;
      default: token.Style = hsNormal; break;
    }
  }
  // Compact in place: the list is reused from line to line.
  size_t runs = 0;
  for (const TToken& token : FTokens) {
    if (token.StartPos == token.EndPos) continue;
    if (runs > 0 && FTokens[runs - 1].Style == token.Style) {
      FTokens[runs - 1].EndPos = token.EndPos;
    } else {
      FTokens[runs++] = token;
    }
  }
  FTokens.resize(runs);
}

bool IsAsmKeyword(std::string_view word) {
  for (size_t k = 0; k < Keywords.second; ++k)
    if (SameWord(word, Keywords.first[k].Name)) return true;
  return false;
}
