// TAsmParser's image: emitting bytes, checking numbers, and defining and
// using labels. A label used before its definition keeps a list of operand
// cells to patch; the cells are not reserved meanwhile, so code placed over
// them by org makes the patch fail.
#include <cstdint>
#include <string>

#include "assembler/AsmParser.h"

int TAsmParser::GetByte(int address) const {
  if (address < 0 || address >= ImageSize) return 255;
  return FImage[static_cast<size_t>(address)].Value;
}

bool TAsmParser::EmitByte(int address, int value) {
  if (address < 0) {
    FMessage = AsmMessage(amAddressBelowZero);
  } else if (address >= ImageSize) {
    FMessage = AsmMessage(amAddressAbove255);
  } else if (FImage[static_cast<size_t>(address)].Used) {
    FMessage = AsmMessage(amAddressInUse);
  } else {
    FImage[static_cast<size_t>(address)] = {static_cast<uint8_t>(value & 0xFF), true};
    return true;
  }
  FEmitFailed = true;
  return false;
}

bool TAsmParser::CheckNumber(const TToken* token, int low, int high) {
  if (token == nullptr || token->What != twNumber || !token->Valid) {
    FMessage = AsmMessage(amInvalidNumber);
  } else if (token->Value < low) {
    FMessage = AsmMessage(amNumberSmaller) + std::to_string(low);
  } else if (token->Value > high) {
    FMessage = AsmMessage(amNumberLarger) + std::to_string(high);
  } else {
    return true;
  }
  return false;
}

bool TAsmParser::DefineLabel(const TToken& token, int address) {
  const std::string name = FLexer.TokenText(token);
  const auto value = static_cast<uint8_t>(address & 0xFF);
  TAsmLabel* label = FLabels.Find(name);
  if (label == nullptr) {
    FLabels.Add({name, value, {}, FLexer.Line(), token.EndPos});
    return true;
  }
  if (label->Refs.empty()) {
    FMessage = AsmMessage(amLabelAlreadyDefined) + std::to_string(label->Line + 1) + ".";
    return false;
  }
  label->Value = value;
  label->Line = FLexer.Line();
  label->Column = token.EndPos;
  // Patch oldest first; on a failure the rest stay pending.
  size_t written = 0;
  bool ok = true;
  for (; written < label->Refs.size(); ++written) {
    if (!EmitByte(label->Refs[written], value)) {
      ok = false;
      break;
    }
    if (FRecordMap) FMap.SetValue(label->Refs[written], value);
  }
  label->Refs.erase(label->Refs.begin(), label->Refs.begin() + static_cast<std::ptrdiff_t>(written));
  return ok;
}

bool TAsmParser::ReferenceLabel(const TToken& token, int address) {
  const std::string name = FLexer.TokenText(token);
  const int cell = address & 0xFF;
  TAsmLabel* label = FLabels.Find(name);
  if (label == nullptr) {
    FLabels.Add({name, 0, {cell}, FLexer.Line(), token.EndPos});
    return true;
  }
  if (!label->Refs.empty()) {
    label->Refs.push_back(cell);
    return true;
  }
  return EmitByte(address, label->Value);
}
