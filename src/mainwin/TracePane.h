#pragma once

#include <QDockWidget>

#include <cstdint>

#include "machine/TraceLog.h"

class QPlainTextEdit;

// The "Trace" pane: the lines of a TTraceLog (the page keeps the same
// ones), the newest at the bottom. It docks below the main window's
// controls (the window grows for it rather than being covered by it) and
// can be floated as a window of its own; the text can be selected and
// copied.
class TTracePane : public QDockWidget {
  Q_OBJECT

 public:
  static constexpr int MaxLines = static_cast<int>(TTraceLog::MaxLines);

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
  // Makes the text follow what a call did to the log.
  void Show(const TTraceLog::TChange& change);
  void RemoveLastLine();

  QPlainTextEdit* FText;
  TTraceLog FLog;
};
