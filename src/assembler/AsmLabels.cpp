// The image and the label table of TAsmParser. A label used before its
// definition keeps a list of operand cells to patch; the cells are not
// reserved meanwhile, so code placed over them by org makes the patch fail.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

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

namespace {

// FNV-1a: labels are short and similar (L1, L2, ...), which it spreads well.
size_t HashName(const std::string& name) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash ^ (hash >> 32));
}

}  // namespace

// The slot holding name, or the free slot where it would go. The table is
// never more than half full, so the probe always ends.
size_t TAsmParser::LabelSlot(const std::string& name) const {
  const size_t mask = FLabelSlots.size() - 1;
  size_t slot = HashName(name) & mask;
  while (FLabelSlots[slot] != NoLabel && FLabels[FLabelSlots[slot]].Name != name) slot = (slot + 1) & mask;
  return slot;
}

TAsmParser::TLabels* TAsmParser::FindLabel(const std::string& name) {
  // case-sensitive: Loop and loop differ
  if (FLabelSlots.empty()) return nullptr;
  const uint32_t index = FLabelSlots[LabelSlot(name)];
  return index == NoLabel ? nullptr : &FLabels[index];
}

void TAsmParser::AddLabel(TLabels label) {
  FLabels.push_back(std::move(label));
  if (FLabels.size() * 2 > FLabelSlots.size()) {
    // Grown by doubling, every label placed again: amortised constant time.
    FLabelSlots.assign(std::max<size_t>(64, FLabelSlots.size() * 2), NoLabel);
    for (size_t i = 0; i < FLabels.size(); ++i) FLabelSlots[LabelSlot(FLabels[i].Name)] = static_cast<uint32_t>(i);
  } else {
    FLabelSlots[LabelSlot(FLabels.back().Name)] = static_cast<uint32_t>(FLabels.size() - 1);
  }
}

void TAsmParser::ClearLabels() {
  FLabels.clear();
  FLabelSlots.clear();
}

bool TAsmParser::DefineLabel(const TToken& token, int address) {
  const std::string name = TokenText(token);
  const auto value = static_cast<uint8_t>(address & 0xFF);
  TLabels* label = FindLabel(name);
  if (label == nullptr) {
    AddLabel({name, value, {}, FLine, token.EndPos});
    return true;
  }
  if (label->Refs.empty()) {
    FMessage = AsmMessage(amLabelAlreadyDefined) + std::to_string(label->Line + 1) + ".";
    return false;
  }
  label->Value = value;
  label->Line = FLine;
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
  const std::string name = TokenText(token);
  const int cell = address & 0xFF;
  TLabels* label = FindLabel(name);
  if (label == nullptr) {
    AddLabel({name, 0, {cell}, FLine, token.EndPos});
    return true;
  }
  if (!label->Refs.empty()) {
    label->Refs.push_back(cell);
    return true;
  }
  return EmitByte(address, label->Value);
}
