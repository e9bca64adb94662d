#pragma once

#include <string>
#include <string_view>

// For a source line whose first word reads as a misspelt mnemonic (a word
// that is no keyword, followed neither by ':' nor by a mnemonic, as a label
// that lost its colon would be): "laod is not a mnemonic; did you mean load?",
// naming the instruction table's mnemonic nearest by edit distance (a swap of
// two neighbouring letters counting as one edit). Empty when no mnemonic is
// near enough to be a likely meaning.
std::string MisspeltMnemonicHint(std::string_view line);
