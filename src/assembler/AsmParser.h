#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "assembler/AsmLabelTable.h"
#include "assembler/AsmLexer.h"
#include "assembler/AsmMessages.h"
#include "assembler/AsmTokens.h"
#include "machine/ProgramMap.h"

class TLineSource;

// Receives every assembly error: 0-based line, 0-based column, full text.
using TAsmErrorEvent = std::function<void(int line, int column, const std::string& message)>;

// The assembler of one source: the one-pass parser that reads the lines
// through its lexer, keeps a label table and emits a 256-byte image, with
// the diagnostics its grammar is built from. The line operations are the
// lexer's, offered here as well for callers that hold only a parser; a
// caller that only colours lines uses a TAsmLexer.
class TAsmParser {
 public:
  static constexpr int MinBufferSize = TAsmLexer::MinBufferSize;
  static constexpr int MaxLineLength = 999;  // longer lines are reported, yet assembled
  static constexpr int ImageSize = 256;

  explicit TAsmParser(const TLineSource* source = nullptr) : FLexer(source) {}
  TAsmParser(const TAsmParser&) = delete;
  TAsmParser& operator=(const TAsmParser&) = delete;

  void SetSource(const TLineSource* source) { FLexer.SetSource(source); }

  // --- the current line
  // Makes line `line` of the source current (its characters copied).
  void FetchLine(int line) { FLexer.FetchLine(line); }
  // Makes a caller's zero-terminated text current; it is read, not copied,
  // and must outlive the tokens taken from it.
  void SetText(const char* text) { FLexer.SetText(text); }
  // As above with an explicit length; the text need not be terminated.
  void SetText(const char* text, int length) { FLexer.SetText(text, length); }
  const char* Text() const { return FLexer.Text(); }
  int LineLength() const { return FLexer.LineLength(); }
  int Line() const { return FLexer.Line(); }
  int LineStart() const { return FLexer.LineStart(); }
  int NextLineStart() const { return FLexer.NextLineStart(); }

  // --- lexer
  // Replaces the token list with the tokens of the current line.
  void TokenizeLine() { FLexer.TokenizeLine(); }
  // Gives each token its highlighting style, drops empty tokens and merges
  // neighbours of one style, leaving one entry per painted run.
  void AssignStyles() { FLexer.AssignStyles(); }
  // The tokens of the current line, in order; they cover it without gaps.
  const std::vector<TToken>& Tokens() const { return FLexer.Tokens(); }

  // --- assembly
  // Assembles every line of the source; each error goes to onError. An
  // assembly that calls onError never succeeded.
  void Assemble(const TAsmErrorEvent& onError);
  // Image byte at address; 255 outside 0..255.
  int GetByte(int address) const;
  bool EmitByte(int address, int value);
  bool CheckNumber(const TToken* token, int low, int high);
  bool DefineLabel(const TToken& token, int address);
  bool ReferenceLabel(const TToken& token, int address);
  // The program map of the last Assemble: for each emitted byte its line,
  // columns and kind, and the defined labels. Complete only when the
  // assembly reported no error.
  const TProgramMap& Map() const { return FMap; }
  // On by default; off only to measure what the map costs.
  void SetRecordMap(bool on) { FRecordMap = on; }
  // The message of the last failed EmitByte, CheckNumber or label operation.
  const std::string& Message() const { return FMessage; }

  // --- diagnostics (reporting works only while Assemble runs)
  static std::string ExpectedList(const TTokenWhatSet& set);
  bool Check(bool condition, int column, const std::string& message);
  // token == nullptr stands for the end of the line.
  bool Expect(const TToken* token, const TTokenWhatSet& set);
  bool ExpectOr(const TToken* token, const std::string& message, const TTokenWhatSet& set);

 private:
  struct TImageCell {
    uint8_t Value = 0;
    bool Used = false;
  };
  enum TFormResult { frComplete, frFailed, frAborted };

  // diagnostics (AsmParserDiagnostics.cpp)
  void Report(int line, int column, const std::string& message) const;
  void ReportMessage(int column) const { Report(FLexer.Line(), column, FMessage); }
  void ReportEndOfLine(const std::string& expected) const;

  // parser (AsmParser.cpp, AsmParserForms.cpp; the image in AsmParserImage.cpp)
  void AssembleLine();
  const TToken* Current() const;
  void Advance();
  void Step() { ++FCur; }
  void SkipSpaces();
  bool Require(const TTokenWhatSet& set) { return Expect(Current(), set); }
  void Soft(TTokenWhat what);
  bool Emit(int value);
  bool NumberThenEmit(int low, int high);
  bool LabelUse();
  TFormResult OperandEnd();
  void EndOfLineCheck();
  void MapByte(int address, int value);
  void MapLabels();
  TFormResult ParseInstruction(int code);
  TFormResult ParseDb();
  TFormResult ParseOrg();
  TFormResult ParseLoadStore();
  TFormResult ParseMove();
  TFormResult ParseThreeRegisters(int opcode);
  TFormResult ParseRor();
  TFormResult ParseConditionalJump(int opcode, TTokenWhat relation);
  TFormResult ParseJmp();
  TFormResult ParseJumpTarget();
  TFormResult ParseHalt();

  TAsmLexer FLexer;
  size_t FCur = 0;  // the parser's current token

  std::array<TImageCell, ImageSize> FImage{};
  int FLocation = 0;  // may pass 255 through label uses; emitting there fails
  TAsmLabelTable FLabels;
  TProgramMap FMap;
  bool FRecordMap = true;
  // What the bytes of the current line are: their columns and how many the
  // line has emitted (the first of an instruction is its opcode byte).
  bool FItemData = false;
  int FItemStart = 0;
  int FItemEnd = 0;
  int FLineEmits = 0;
  TAsmErrorEvent FOnError;
  bool FEmitFailed = false;
  std::string FMessage;
};
