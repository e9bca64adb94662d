#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "WebSession.h"
#include "machine/ProgramMap.h"

// What the page's groups of C functions share: the one session, the input
// buffer the page writes into, the text buffer it reads from, and the last
// assembly.
TWebSession& WebSession();
// The first length bytes of the input (orvik_input).
std::string_view WebInput(int length);
// Keeps text as the last text handed out and returns it for the page.
const char* HandText(std::string text);
// The image of the last orvik_assemble, and the map of the last one without
// errors.
const std::vector<int32_t>& AssembledImage();
const TProgramMap& AssembledMap();
