#pragma once

#include <string>
#include <vector>

// Where the assembler reads its source: the editor's document or, for the
// command-line tool and the tests, a list of lines.
class TLineSource {
 public:
  virtual ~TLineSource() = default;
  virtual int LineCount() const = 0;
  // Character index of line i's first character in the whole text.
  virtual int LineStart(int i) const = 0;
  // Length of line i without its line break.
  virtual int LineLength(int i) const = 0;
  // Copies exactly LineLength(i) characters of line i to dest.
  virtual void CopyLine(int i, char* dest) const = 0;
};

// A list of lines, positioned as if every line were followed by a
// two-character line break, as in the editor's text.
class TStringListSource final : public TLineSource {
 public:
  TStringListSource() = default;
  explicit TStringListSource(std::vector<std::string> lines);

  int LineCount() const override;
  int LineStart(int i) const override;
  int LineLength(int i) const override;
  void CopyLine(int i, char* dest) const override;

  const std::vector<std::string>& Lines() const { return FLines; }

 private:
  std::vector<std::string> FLines;
  std::vector<int> FStarts;
};
