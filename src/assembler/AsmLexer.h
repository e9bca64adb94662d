#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "assembler/AsmTokens.h"

class TLineSource;

// Splits one source line into tokens that cover it without gaps, and gives
// them highlighting styles. The parser reads its lines through one; the
// highlighter and the page colour lines with one alone, with no parser, no
// image and no labels behind it.
class TAsmLexer {
 public:
  static constexpr int MinBufferSize = 512;

  explicit TAsmLexer(const TLineSource* source = nullptr);
  TAsmLexer(const TAsmLexer&) = delete;
  TAsmLexer& operator=(const TAsmLexer&) = delete;

  void SetSource(const TLineSource* source) { FSource = source; }
  const TLineSource* Source() const { return FSource; }

  // Makes line `line` of the source current (its characters copied).
  void FetchLine(int line);
  // Makes a caller's zero-terminated text current; it is read, not copied,
  // and must outlive the tokens taken from it.
  void SetText(const char* text);
  // As above with an explicit length; the text need not be terminated.
  void SetText(const char* text, int length);
  const char* Text() const { return FText; }
  int LineLength() const { return FLineLength; }
  // The source line number, position of the line and of the next one; -1
  // for a text set by SetText.
  int Line() const { return FLine; }
  int LineStart() const { return FLineStart; }
  int NextLineStart() const { return FNextLineStart; }

  // Replaces the token list with the tokens of the current line.
  void TokenizeLine();
  // Gives each token its highlighting style, drops empty tokens and merges
  // neighbours of one style, leaving one entry per painted run.
  void AssignStyles();
  // The tokens of the current line, in order.
  const std::vector<TToken>& Tokens() const { return FTokens; }
  std::string TokenText(const TToken& token) const;

 private:
  void ClassifyWord(TToken& token) const;
  void EvalNumber(TToken& token) const;

  const TLineSource* FSource = nullptr;
  std::vector<char> FBuffer;  // owned line text, zero-terminated
  const char* FText = nullptr;
  int FLineLength = 0;
  int FLine = -1;
  int FLineStart = -1;
  int FNextLineStart = -1;
  std::vector<TToken> FTokens;
};

// Whether a word, in any case, is one of the assembler's mnemonics or
// directives.
bool IsAsmKeyword(std::string_view word);
