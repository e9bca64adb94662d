#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>

// Kind of a token. Each punctuation kind is the code of its character, so the
// parser can name them by character; the literal and filler kinds continue
// right after ']' (93).
enum TTokenWhat : uint8_t {
  twOther = 0,     // characters that start no other token
  twLoneLess = 1,  // '<' not followed by '='
  twMnemonic = 2,
  twRegister = 3,
  twLabel = 4,
  twComma = 44,
  twColon = 58,
  twLessEqual = 60,
  twEqual = 61,
  twOpenBracket = 91,
  twCloseBracket = 93,
  twNumber = 94,
  twString = 95,
  twComment = 96,
  twSpace = 97,
};

enum TTokenClass : uint8_t {
  tcWord = 0,     // mnemonic, register, label
  tcPunct = 1,    // the six punctuation kinds and a lone '<'
  tcLiteral = 2,  // number, string
  tcFiller = 3,   // comment, blanks, other
};

// One highlighting style per editor font the user can choose.
enum THighlightStyle : uint8_t { hsNormal, hsString, hsNumeric, hsKeyword, hsComment, hsError };

struct TToken {
  TTokenClass Class = tcFiller;
  TTokenWhat What = twOther;
  int32_t StartPos = 0;              // first character, 0-based within the line
  int32_t EndPos = 0;                // just after the last character
  THighlightStyle Style = hsNormal;  // set by AssignStyles only
  // Mnemonic: keyword code; register: 0..15; number: its value;
  // string: 1 when the closing quote was found, else 0.
  int32_t Value = 0;
  bool Valid = false;       // numbers: well formed and the value fits
  bool WellFormed = false;  // numbers: every character belonged to the number
};

// A set of token kinds. Only kinds 2..97 can be members: twOther and
// twLoneLess are silently left out, which the expected-list texts rely on.
class TTokenWhatSet {
 public:
  static constexpr int FirstMember = 2;
  static constexpr int LastMember = 97;

  TTokenWhatSet() = default;
  TTokenWhatSet(std::initializer_list<int> members) {
    for (int member : members) Include(member);
  }

  void Include(int member) {
    if (member >= FirstMember && member <= LastMember) FBits.set(static_cast<size_t>(member));
  }
  bool Contains(int member) const {
    return member >= FirstMember && member <= LastMember && FBits.test(static_cast<size_t>(member));
  }

 private:
  std::bitset<LastMember + 1> FBits;
};

// Codes of the mnemonic tokens that name no single opcode; a mnemonic of one
// opcode has that opcode as its code. Mnemonics that several opcodes share
// count down from kcFirstShared in the order of the instruction table.
constexpr int8_t kcDb = -1;
constexpr int8_t kcOrg = -2;
constexpr int8_t kcFirstShared = -3;  // load -3, store -4
constexpr int8_t kcJmp = -5;
