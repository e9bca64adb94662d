#pragma once

#include <string>
#include <vector>

// The text of the output terminal: whole display rows of single-byte
// characters, written one byte at a time at the end of the cursor line, which
// is always the last line. Wrapping is lazy: a byte that fills the last
// column leaves the cursor at the end of the full line, and the break happens
// when the next byte arrives. Standard C++ only; the widget measures the size.
class TTerminalModel {
 public:
  // Sets the size in character cells (less than one counts as one), drops
  // the lines below the last row, cuts longer lines and keeps the cursor on a
  // row that exists.
  void SetSize(int cols, int rows);
  void Write(unsigned char ch);

  const std::vector<std::string>& Lines() const { return FLines; }
  int CurLine() const { return FCurLine; }
  int Cols() const { return FCols; }
  int Rows() const { return FRows; }

 private:
  void BreakLine();
  void Tab();

  std::vector<std::string> FLines;
  int FCurLine = 0;
  int FCols = 1;
  int FRows = 1;
};
