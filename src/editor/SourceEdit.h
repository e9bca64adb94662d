#pragma once

#include <QPlainTextEdit>

#include <functional>

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void ReportNonEightBit(const QString& characters, bool replaced);
  bool MakesLineTooLong(const QString& text) const;
};
