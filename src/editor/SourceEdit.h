#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>

#include <functional>
#include <vector>

class TSourceGutter;

// The editor's text control. Its document holds 8-bit text only: every way a
// character can enter (keys, input methods, paste, drop) is checked here, and
// a character without an 8-bit code is never lost without a word: typed, it
// is refused; pasted or dropped, it becomes '?'. Either way OnNonEightBit
// names the characters so that the window can tell the user.
class TSourceEdit final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TSourceEdit(QWidget* parent = nullptr);

  // Sees every key first; returning true consumes it.
  std::function<bool(QKeyEvent* event)> OnKeyDown;
  std::function<void(const QString& characters, bool replaced)> OnNonEightBit;
  // Pasted or dropped text that would make a line longer than MaxLineLength
  // (0: no limit) is not inserted; OnLineTooLong tells the window.
  qsizetype MaxLineLength = 0;
  std::function<void()> OnLineTooLong;

  // Where a line is drawn, in viewport coordinates.
  QRect LineRect(const QTextBlock& block) const;
  QTextBlock FirstShownLine() const { return firstVisibleBlock(); }

  // The margin (SourceGutter.h): line numbers on request, breakpoint dots.
  TSourceGutter* Gutter() const { return FGutter; }
  bool LineNumbers() const { return FLineNumbers; }
  void SetLineNumbers(bool shown);
  // Breakpoint marks, kept with their lines (0-based) while the text changes.
  bool LineMarked(int line) const;
  void SetLineMarked(int line, bool marked);
  std::vector<int> MarkedLines() const;
  int MarkedLineCount() const { return FMarkedCount; }
  void ClearLineMarks();
  // A click in the margin beside a line (0-based).
  std::function<void(int line)> OnGutterClicked;
  void GutterClicked(int line);

  // The line of the instruction at PC, drawn on a band of its own colour
  // over the whole width (the source's colours stay); -1 for none. A line
  // PC reached that holds data rather than code has a colour of its own.
  enum TCurrentKind { ckInstruction, ckData };
  void SetCurrentLine(int line, TCurrentKind kind = ckInstruction);
  int CurrentLine() const { return FCurrentLine; }
  TCurrentKind CurrentKind() const { return FCurrentKind; }
  // The band's colour for a kind, readable under the source's text in light
  // and dark colours.
  QColor CurrentLineColour(TCurrentKind kind) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ReportNonEightBit(const QString& characters, bool replaced);
  bool MakesLineTooLong(const QString& text) const;
  void UpdateGutterWidth();
  void ShowCurrentLine();
  void CountMarks();

  TSourceGutter* FGutter;
  bool FLineNumbers = false;
  int FMarkedCount = 0;
  int FGutterWidth = 0;
  int FShownBlockCount = 0;
  int FCurrentLine = -1;
  TCurrentKind FCurrentKind = ckInstruction;
};
