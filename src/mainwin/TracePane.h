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
// instructions undone and no others. Instructions that ran without a line
// (a run faster than the trace follows) get one line saying how many they
// were, and a new program starts a section of its own.
class TTracePane : public QDockWidget {
  Q_OBJECT

 public:
  static constexpr int MaxLines = 1000;

  explicit TTracePane(QWidget* parent = nullptr);

  // step: the session's count of executed instructions after the one the
  // line tells of.
  void AddLine(const QString& line, uint64_t step);
  // The count of instructions that ran since the newest line, when there
  // were any, as one line; executed is the session's count now.
  void CatchUp(uint64_t executed);
  // Another program in memory (opened, assembled): a line with title between
  // the earlier lines and the new ones.
  void StartSection(const QString& title, uint64_t executed);
  // Removes the newest lines of steps after executed (they were undone).
  void TakeBackTo(uint64_t executed);
  void Clear(uint64_t executed = 0);
  QStringList Lines() const;
  QPlainTextEdit* Text() const { return FText; }

 Q_SIGNALS:
  // The student closed the pane (its close button), rather than the
  // window hiding it.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Append(const QString& line, uint64_t step);
  void RemoveLastLine();

  QPlainTextEdit* FText;
  std::deque<uint64_t> FSteps;  // one a line, oldest first
  // The session's count of executed instructions the newest line stands at.
  uint64_t FShownStep = 0;
};
