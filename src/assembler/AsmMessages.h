#pragma once

#include <string>

// The assembler's message texts, in table order. Several are prefixes that
// the reporter completes (an expected list, a number, a name).
enum TAsmMessage {
  amLineTooLong,
  amUnknownIdentifier,
  amUnknownMnemonic,
  amExtraCharacters,
  amUnexpectedEndOfLine,
  amSyntaxError,
  amLabelAlreadyDefined,
  amLabelNotDefined,
  amNotAnImmediate,
  amInvalidNumber,
  amNumberSmaller,
  amNumberLarger,
  amAddressBelowZero,
  amAddressAbove255,
  amAddressInUse,
  amUnexpectedEndOfString,
  amErrorInString,
  amStoreToImmediate,
  amBadAddress,
  amMessageCount
};

const std::string& AsmMessage(TAsmMessage id);
