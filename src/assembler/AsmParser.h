#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "assembler/AsmMessages.h"
#include "assembler/AsmTokens.h"
#include "machine/ProgramMap.h"

class TLineSource;

// Receives every assembly error: 0-based line, 0-based column, full text.
using TAsmErrorEvent = std::function<void(int line, int column, const std::string& message)>;

// The assembler of one source: lexer, diagnostics and the one-pass parser
// that emits a 256-byte image. The highlighter uses only the line operations
// (SetText or FetchLine, TokenizeLine, AssignStyles, Tokens).
class TAsmParser {
 public:
  static constexpr int MinBufferSize = 512;
  static constexpr int MaxLineLength = 999;  // longer lines are reported, yet assembled
  static constexpr int ImageSize = 256;

  explicit TAsmParser(const TLineSource* source = nullptr);
  TAsmParser(const TAsmParser&) = delete;
  TAsmParser& operator=(const TAsmParser&) = delete;

  void SetSource(const TLineSource* source) { FSource = source; }

  // --- the current line
  // Makes line `line` of the source current (its characters copied).
  void FetchLine(int line);
  // Makes a caller's zero-terminated text current; it is read, not copied,
  // and must outlive the tokens taken from it.
  void SetText(const char* text);
  // As above with an explicit length; the text need not be terminated.
  void SetText(const char* text, int length);
  const char* Text() const { return FText; }
  int LineLength() const { return FLineLength; }
  int Line() const { return FLine; }
  int LineStart() const { return FLineStart; }
  int NextLineStart() const { return FNextLineStart; }

  // --- lexer
  // Replaces the token list with the tokens of the current line.
  void TokenizeLine();
  // Gives each token its highlighting style, drops empty tokens and merges
  // neighbours of one style, leaving one entry per painted run.
  void AssignStyles();
  // The tokens of the current line, in order; they cover it without gaps.
  const std::vector<TToken>& Tokens() const { return FTokens; }

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
  // One label; Refs are the operand cells still waiting for its value.
  struct TLabels {
    std::string Name;
    uint8_t Value = 0;
    std::vector<int> Refs;
    int Line = 0;    // definition, or first use while only used
    int Column = 0;  // EndPos of that token
  };
  enum TFormResult { frComplete, frFailed, frAborted };

  // lexer (AsmLexer.cpp)
  void ClassifyWord(TToken& token) const;
  void EvalNumber(TToken& token) const;
  std::string TokenText(const TToken& token) const;

  // diagnostics (AsmDiagnostics.cpp)
  void Report(int line, int column, const std::string& message) const;
  void ReportMessage(int column) const { Report(FLine, column, FMessage); }
  void ReportEndOfLine(const std::string& expected) const;

  // labels (AsmLabels.cpp)
  TLabels* FindLabel(const std::string& name);
  void AddLabel(TLabels label);
  void ClearLabels();
  size_t LabelSlot(const std::string& name) const;

  // parser (AsmParser.cpp, AsmForms.cpp)
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

  const TLineSource* FSource = nullptr;

  std::vector<char> FBuffer;  // owned line text, zero-terminated
  const char* FText = nullptr;
  int FLineLength = 0;
  int FLine = -1;
  int FLineStart = -1;
  int FNextLineStart = -1;

  std::vector<TToken> FTokens;
  size_t FCur = 0;  // the parser's current token

  std::array<TImageCell, ImageSize> FImage{};
  int FLocation = 0;             // may pass 255 through label uses; emitting there fails
  std::vector<TLabels> FLabels;  // in the order first met, as the reports are
  // Open-addressing hash index into FLabels (NoLabel marks a free slot): a
  // lookup costs the same with 10 labels or 100,000.
  static constexpr uint32_t NoLabel = UINT32_MAX;
  std::vector<uint32_t> FLabelSlots;
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
