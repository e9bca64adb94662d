#include "machine/TerminalModel.h"

#include <algorithm>

void TTerminalModel::SetSize(int cols, int rows) {
  FCols = std::max(cols, 1);
  FRows = std::max(rows, 1);
  if (static_cast<int>(FLines.size()) > FRows) FLines.resize(static_cast<size_t>(FRows));
  for (std::string& line : FLines)
    if (static_cast<int>(line.size()) > FCols) line.resize(static_cast<size_t>(FCols));
  if (FCurLine > FRows - 1) FCurLine = FRows - 1;
}

void TTerminalModel::BreakLine() {
  if (FCurLine < FRows - 1) {
    ++FCurLine;
    if (static_cast<int>(FLines.size()) <= FCurLine) FLines.resize(static_cast<size_t>(FCurLine) + 1);
    return;
  }
  // On the bottom row: everything moves up one row and the top line is lost.
  for (int j = 1; j <= FCurLine; ++j) FLines[static_cast<size_t>(j - 1)].swap(FLines[static_cast<size_t>(j)]);
  FCurLine = FRows - 1;
  FLines[static_cast<size_t>(FCurLine)].clear();
}

void TTerminalModel::Write(unsigned char ch) {
  // Line 0 exists from the first byte on, so the cursor line is always a real line.
  if (FLines.empty()) FLines.emplace_back();
  if (static_cast<int>(FLines[static_cast<size_t>(FCurLine)].size()) >= FCols || ch == 10) BreakLine();
  std::string& line = FLines[static_cast<size_t>(FCurLine)];
  switch (ch) {
    case 0:
    case 10: break;
    case 8:
      if (!line.empty()) line.pop_back();
      break;
    case 9: Tab(); break;
    default: line.push_back(static_cast<char>(ch));
  }
}

void TTerminalModel::Tab() {
  // Spaces up to the next multiple of 8, at least one, wrapping like any
  // byte. In a terminal narrower than 8 columns a line never reaches a
  // multiple of 8, so there the spaces stop once the line is full.
  auto done = [this] {
    const int length = static_cast<int>(FLines[static_cast<size_t>(FCurLine)].size());
    return length % 8 == 0 || (FCols < 8 && length >= FCols);
  };
  do Write(32);
  while (!done());
}
