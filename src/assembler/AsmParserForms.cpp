// The grammar of each mnemonic. Every form starts on its mnemonic token and
// returns frComplete (the end-of-line check follows), frFailed (reported,
// the line is done) or frAborted (an emission failed: the assembly ends).
#include "assembler/AsmParser.h"

#include "machine/InstructionSet.h"

namespace {

const char* const NumberOrString = "number, string";
const char* const LoadOperand = "number, label, '['";
const char* const StoreOperand = "'['";
const char* const RegisterZero = "'R0'";

}  // namespace

TAsmParser::TFormResult TAsmParser::ParseDb() {
  Advance();
  if (Current() == nullptr) {
    ReportEndOfLine(NumberOrString);
    return frFailed;
  }
  for (;;) {
    const TToken* t = Current();
    if (ExpectOr(t, AsmMessage(amNotAnImmediate), {twNumber, twString})) {
      FItemStart = t->StartPos;
      FItemEnd = t->EndPos;
      if (t->What == twNumber) {
        if (!NumberThenEmit(-128, 255)) return frAborted;
      } else if (t->Value == 1) {
        for (int pos = t->StartPos + 1; pos < t->EndPos - 1; ++pos) {
          if (!Emit(static_cast<unsigned char>(FLexer.Text()[pos]))) return frAborted;
        }
      } else if (FLexer.Text()[t->StartPos] == FLexer.Text()[t->EndPos - 1]) {
        // Only a lone quote can start and end an unclosed string alike.
        Report(FLexer.Line(), t->StartPos, AsmMessage(amErrorInString));
      } else {
        Report(FLexer.Line(), t->EndPos, AsmMessage(amUnexpectedEndOfString) + FLexer.Text()[t->StartPos]);
      }
    }
    if (Current()->What != twComma) Advance();
    if (Current() == nullptr || Current()->What == twComment) return frComplete;
    Soft(twComma);
    if (Current() == nullptr) {
      ReportEndOfLine(NumberOrString);
      return frComplete;
    }
  }
}

TAsmParser::TFormResult TAsmParser::ParseOrg() {
  Advance();
  if (!Require({twNumber})) return frFailed;
  if (CheckNumber(Current(), 0, 255)) {
    FLocation = Current()->Value;
  } else {
    ReportMessage(Current()->EndPos);
  }
  return OperandEnd();
}

TAsmParser::TFormResult TAsmParser::ParseLoadStore() {
  // The opcodes of this mnemonic, told apart by their second operand; a
  // mnemonic without an immediate form (store) cannot take a number.
  const std::string mnemonic = FLexer.TokenText(*Current());
  const TInstructionInfo* direct = FindInstruction(mnemonic, ckAddress);
  const TInstructionInfo* immediate = FindInstruction(mnemonic, ckByte);
  const TInstructionInfo* indirect = FindInstruction(mnemonic, ckIndirect);
  const bool store = immediate == nullptr;
  const char* const expected = store ? StoreOperand : LoadOperand;
  Advance();
  if (!Require({twRegister})) return frFailed;
  const int r = Current()->Value;
  Advance();
  Soft(twComma);
  const TToken* t = Current();
  if (t == nullptr) {
    ReportEndOfLine(expected);
    return frFailed;
  }
  if (t->What == twNumber || t->What == twLabel) {
    if (store) {
      Report(FLexer.Line(), t->StartPos, AsmMessage(amStoreToImmediate));
      return frFailed;
    }
    if (!Emit(immediate->FirstByte(r))) return frAborted;
    if (t->What == twLabel) {
      if (!LabelUse()) return frAborted;
    } else if (!NumberThenEmit(-128, 255)) {
      return frAborted;
    }
    return OperandEnd();
  }
  if (t->What != twOpenBracket) {
    Report(FLexer.Line(), t->StartPos, AsmMessage(amSyntaxError) + expected);
    return frFailed;
  }
  Advance();
  if (!Require({twNumber, twLabel, twRegister})) return frFailed;
  t = Current();
  if (t->What == twRegister) {
    if (!Emit(indirect->FirstByte(0)) || !Emit(r * 16 + t->Value)) return frAborted;
  } else {
    if (!Emit(direct->FirstByte(r))) return frAborted;
    if (t->What == twLabel ? !LabelUse() : !NumberThenEmit(0, 255)) return frAborted;
  }
  Advance();
  // A wrong token in place of ']' is reported here and again as extra characters.
  if (Expect(Current(), {twCloseBracket})) Step();
  return frComplete;
}

TAsmParser::TFormResult TAsmParser::ParseMove() {
  // The opcode byte goes out before the operands are looked at.
  if (!Emit(InstructionInfo(opMove).FirstByte(0))) return frAborted;
  Advance();
  if (!Require({twRegister})) return frFailed;
  const int r = Current()->Value;
  Advance();
  Soft(twComma);
  if (!Require({twRegister})) return frFailed;
  if (!Emit(Current()->Value * 16 + r)) return frAborted;
  return OperandEnd();
}

TAsmParser::TFormResult TAsmParser::ParseThreeRegisters(int opcode) {
  Advance();
  if (!Require({twRegister})) return frFailed;
  if (!Emit(InstructionInfo(static_cast<TOpcode>(opcode)).FirstByte(Current()->Value))) return frAborted;
  Advance();
  Soft(twComma);
  if (!Require({twRegister})) return frFailed;
  const int s = Current()->Value;
  Advance();
  Soft(twComma);
  if (!Require({twRegister})) return frFailed;
  if (!Emit(s * 16 + Current()->Value)) return frAborted;
  return OperandEnd();
}

TAsmParser::TFormResult TAsmParser::ParseRor() {
  Advance();
  if (!Require({twRegister})) return frFailed;
  if (!Emit(InstructionInfo(opRor).FirstByte(Current()->Value))) return frAborted;
  Advance();
  Soft(twComma);
  if (!Require({twNumber})) return frFailed;
  if (!NumberThenEmit(0, 15)) return frAborted;
  return OperandEnd();
}

TAsmParser::TFormResult TAsmParser::ParseConditionalJump(int opcode, TTokenWhat relation) {
  Advance();
  if (!Require({twRegister})) return frFailed;
  if (!Emit(InstructionInfo(static_cast<TOpcode>(opcode)).FirstByte(Current()->Value))) return frAborted;
  Advance();
  if (Expect(Current(), {relation})) {
    Advance();
  } else if (Current() != nullptr && (Current()->Class == tcPunct || Current()->What == twOther)) {
    // Step over a wrong relation so that R0 is still checked.
    Advance();
  }
  const TToken* t = Current();
  if (t == nullptr) {
    ReportEndOfLine(RegisterZero);
    return frFailed;
  }
  if (t->What != twRegister || t->Value != 0) {
    Report(FLexer.Line(), t->StartPos, AsmMessage(amSyntaxError) + RegisterZero);
    return frFailed;
  }
  Advance();
  Soft(twComma);
  return ParseJumpTarget();
}

TAsmParser::TFormResult TAsmParser::ParseJmp() {
  // jmp XY is jmpEQ R0=R0,XY: always taken.
  if (!Emit(InstructionInfo(opJmpEQ).FirstByte(0))) return frAborted;
  Advance();
  return ParseJumpTarget();
}

TAsmParser::TFormResult TAsmParser::ParseJumpTarget() {
  const TToken* t = Current();
  if (!ExpectOr(t, AsmMessage(amBadAddress), {twNumber, twLabel})) return frFailed;
  if (t->What == twLabel ? !LabelUse() : !NumberThenEmit(0, 255)) return frAborted;
  return OperandEnd();
}

TAsmParser::TFormResult TAsmParser::ParseHalt() {
  const uint16_t halt = InstructionInfo(opHalt).ValidValue;
  if (!Emit(halt >> 8) || !Emit(halt & 0xFF)) return frAborted;
  return OperandEnd();
}
