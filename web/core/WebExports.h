#pragma once

#include <string>
#include <string_view>

class TWebSession;

// What WebApi.cpp shares with the files of further exports: the page's one
// session, the buffer texts are handed out in (its size through
// orvik_text_size()), and the input the page wrote.
TWebSession& WebSession();
const char* WebHandText(std::string text);
std::string_view WebInput(int length);
