#pragma once

#include <QDockWidget>

#include <cstdint>
#include <deque>

class QPlainTextEdit;

// The "Trace" pane: one line in plain words for every instruction shown
// step by step, the newest at the bottom. It docks below the main window's
// controls (the window grows for it rather than being covered by it) and
// can be floated as a window of its own. It keeps the last MaxLines lines;
// the text can be selected and copied. Each line remembers which step of the
// session it tells of, so that stepping back takes back the lines of the
// instructions undone and no others.
class TTracePane : public QDockWidget {
  Q_OBJECT

 public:
  static constexpr int MaxLines = 1000;

  explicit TTracePane(QWidget* parent = nullptr);

  // step: the session's count of executed instructions after the one the
  // line tells of.
  void AddLine(const QString& line, uint64_t step);
  // Removes the newest lines of steps after executed (they were undone).
  void TakeBackTo(uint64_t executed);
  void Clear();
  QStringList Lines() const;
  QPlainTextEdit* Text() const { return FText; }

 Q_SIGNALS:
  // The student closed the pane (its close button), rather than the
  // window hiding it.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPlainTextEdit* FText;
  std::deque<uint64_t> FSteps;  // one a line, oldest first
};
