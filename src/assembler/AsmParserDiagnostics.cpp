// Reporting for TAsmParser: the message table, expected lists and the checks
// the grammar is built from. Columns are chosen by the callers.
#include <array>

#include "assembler/AsmParser.h"

namespace {

const std::array<std::string, amMessageCount> MessageTexts = {
    "Line too long.",
    "Unknown identifier. Expected: mnemonic, nothing",
    "Unknown mnemonic.",
    "Extra characters on line. Expected: nothing",
    "Unexpected end of line. Expected: ",
    "Syntax error. Expected: ",
    "Label is already defined at line ",
    "Label is not defined: ",
    "Not an immediate. Expected: number, string",
    "Invalid number.",
    "Number smaller than ",
    "Number larger than ",
    "Cannot emit code: Address below 0. Assembly aborted.",
    "Cannot emit code: Address above 255. Assembly aborted.",
    "Cannot emit code: Address already in use. Assembly aborted.",
    "Unexpected end of string. Expected: ",
    "Error in string.",
    "Cannot store to immediate. Expected: '['",
    "Bad address. Expected: number, label",
};

struct TKindName {
  TTokenWhat What;
  const char* Text;
};

// The order of the texts in an expected list, whatever order the set was
// built in.
constexpr TKindName KindNames[] = {
    {twNumber, "number, "},     {twString, "string, "},   {twLabel, "label, "},      {twMnemonic, "mnemonic, "},
    {twRegister, "register, "}, {twComma, "',', "},       {twColon, "':', "},        {twLessEqual, "'<=', "},
    {twEqual, "'=', "},         {twOpenBracket, "'[', "}, {twCloseBracket, "']', "}, {twComment, "comment, "},
    {twSpace, "space, "},
};

bool IsNamedKind(int member) {
  for (const TKindName& kind : KindNames) {
    if (kind.What == member) return true;
  }
  return false;
}

}  // namespace

const std::string& AsmMessage(TAsmMessage id) { return MessageTexts.at(static_cast<size_t>(id)); }

std::string TAsmParser::ExpectedList(const TTokenWhatSet& set) {
  std::string list;
  for (const TKindName& kind : KindNames) {
    if (set.Contains(kind.What)) list += kind.Text;
  }
  for (int member = TTokenWhatSet::FirstMember; member <= TTokenWhatSet::LastMember; ++member) {
    if (set.Contains(member) && !IsNamedKind(member)) {
      list += "other, ";
      break;
    }
  }
  if (list.size() >= 2) list.resize(list.size() - 2);
  return list;
}

void TAsmParser::Report(int line, int column, const std::string& message) const {
  if (FOnError) FOnError(line, column, message);
}

void TAsmParser::ReportEndOfLine(const std::string& expected) const {
  Report(FLexer.Line(), FLexer.LineLength(), AsmMessage(amUnexpectedEndOfLine) + expected);
}

bool TAsmParser::Check(bool condition, int column, const std::string& message) {
  if (!condition) Report(FLexer.Line(), column, message);
  return condition;
}

bool TAsmParser::Expect(const TToken* token, const TTokenWhatSet& set) {
  if (token == nullptr) {
    ReportEndOfLine(ExpectedList(set));
    return false;
  }
  if (set.Contains(token->What)) return true;
  Report(FLexer.Line(), token->StartPos, AsmMessage(amSyntaxError) + ExpectedList(set));
  return false;
}

bool TAsmParser::ExpectOr(const TToken* token, const std::string& message, const TTokenWhatSet& set) {
  if (token == nullptr) return Expect(token, set);
  return Check(set.Contains(token->What), token->StartPos, message);
}
