// The single pass of TAsmParser: line by line, each line at most one
// instruction or directive, bytes emitted as soon as they are known.
#include "assembler/AsmParser.h"

#include "assembler/LineSource.h"
#include "machine/InstructionSet.h"

void TAsmParser::Assemble(const TAsmErrorEvent& onError) {
  FImage.fill(TImageCell{});
  FMap.Clear();
  FLocation = 0;
  FLabels.Clear();
  FOnError = onError;
  FEmitFailed = false;
  const TLineSource* source = FLexer.Source();
  const int lineCount = source != nullptr ? source->LineCount() : 0;
  for (int line = 0; line < lineCount && !FEmitFailed; ++line) {
    FLexer.FetchLine(line);
    AssembleLine();
  }
  if (!FEmitFailed) {
    for (const TAsmLabel& label : FLabels.Labels()) {
      if (!label.Refs.empty()) Report(label.Line, label.Column, AsmMessage(amLabelNotDefined) + label.Name);
    }
  }
  if (FRecordMap) MapLabels();
  FOnError = nullptr;
}

void TAsmParser::AssembleLine() {
  // Reported, but assembled all the same.
  Check(FLexer.LineLength() <= MaxLineLength, 998, AsmMessage(amLineTooLong));
  FLexer.TokenizeLine();
  FCur = 0;
  SkipSpaces();
  const TToken* t = Current();
  if (t == nullptr || t->What == twComment) return;
  if (!Expect(t, {twLabel, twMnemonic})) return;
  if (t->What == twLabel) {
    if (!DefineLabel(*t, FLocation)) {
      ReportMessage(t->EndPos);
      if (FEmitFailed) return;
    }
    Advance();
    if (Expect(Current(), {twColon})) Advance();
    t = Current();
    if (t == nullptr || t->What == twComment) return;
    if (!Check(t->What == twMnemonic, t->StartPos, AsmMessage(amUnknownIdentifier))) return;
  }
  if (FRecordMap) {
    // An instruction's bytes all point at the whole statement, mnemonic to
    // last operand; db narrows it to each item as it goes.
    FItemData = t->Value == kcDb;
    FLineEmits = 0;
    FItemStart = t->StartPos;
    FItemEnd = t->EndPos;
    for (size_t i = FCur; i < FLexer.Tokens().size() && FLexer.Tokens()[i].What != twComment; ++i) {
      if (FLexer.Tokens()[i].What != twSpace) FItemEnd = FLexer.Tokens()[i].EndPos;
    }
  }
  if (ParseInstruction(t->Value) == frComplete) EndOfLineCheck();
}

const TToken* TAsmParser::Current() const { return FCur < FLexer.Tokens().size() ? &FLexer.Tokens()[FCur] : nullptr; }

void TAsmParser::SkipSpaces() {
  while (FCur < FLexer.Tokens().size() && FLexer.Tokens()[FCur].What == twSpace) ++FCur;
}

void TAsmParser::Advance() {
  ++FCur;
  SkipSpaces();
}

void TAsmParser::Soft(TTokenWhat what) {
  if (Expect(Current(), {what})) Advance();
}

void TAsmParser::MapByte(int address, int value) {
  TMapKind kind = mkData;
  if (!FItemData) kind = FLineEmits == 0 ? mkCodeFirst : mkCodeSecond;
  ++FLineEmits;
  FMap.SetCell(address, {FLexer.Line() + 1, FItemStart, FItemEnd, kind, static_cast<uint8_t>(value & 0xFF)});
}

void TAsmParser::MapLabels() {
  for (const TAsmLabel& label : FLabels.Labels()) {
    if (label.Refs.empty()) FMap.AddLabel({label.Name, label.Value, label.Line + 1});
  }
  // FLabels is in the order first met, uses included; the map lists definitions.
  FMap.SortLabelsByLine();
}

bool TAsmParser::Emit(int value) {
  if (!EmitByte(FLocation, value)) {
    ReportMessage(0);
    return false;
  }
  if (FRecordMap) MapByte(FLocation, value);
  ++FLocation;
  return true;
}

bool TAsmParser::NumberThenEmit(int low, int high) {
  const TToken* t = Current();
  if (!CheckNumber(t, low, high)) {
    // A bad number is skipped, not fatal: the rest of the line is still checked.
    ReportMessage(t != nullptr ? t->EndPos : FLexer.LineLength());
    return true;
  }
  return Emit(t->Value);
}

bool TAsmParser::LabelUse() {
  if (!ReferenceLabel(*Current(), FLocation)) {
    ReportMessage(0);
    return false;
  }
  // A forward use is mapped now; its value comes when the label is defined.
  if (FRecordMap) MapByte(FLocation, GetByte(FLocation));
  ++FLocation;
  return true;
}

TAsmParser::TFormResult TAsmParser::OperandEnd() {
  Step();
  return frComplete;
}

void TAsmParser::EndOfLineCheck() {
  SkipSpaces();
  const TToken* t = Current();
  if (t != nullptr && t->What != twComment) Report(FLexer.Line(), t->StartPos, AsmMessage(amExtraCharacters));
}

TAsmParser::TFormResult TAsmParser::ParseInstruction(int code) {
  switch (code) {
    case kcDb: return ParseDb();
    case kcOrg: return ParseOrg();
    case kcJmp: return ParseJmp();
    default: break;
  }
  // A shared mnemonic (load, store): the operands pick the opcode.
  if (code < 0) return ParseLoadStore();
  const TInstructionInfo& info = InstructionTable[static_cast<size_t>(code & 0x0F)];
  switch (info.Form) {
    case afMove: return ParseMove();
    case afThreeRegisters: return ParseThreeRegisters(info.Opcode);
    case afRor: return ParseRor();
    case afConditionalJump: return ParseConditionalJump(info.Opcode, info.Relation == "<=" ? twLessEqual : twEqual);
    case afHalt: return ParseHalt();
    case afLoadStore:
    case afNone: break;
  }
  Report(FLexer.Line(), Current()->EndPos, AsmMessage(amUnknownMnemonic));
  return frFailed;
}
