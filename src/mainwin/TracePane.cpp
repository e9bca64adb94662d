#include "mainwin/TracePane.h"

#include "machine/TraceFormat.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>

TTracePane::TTracePane(QWidget* parent)
    : QDockWidget(QStringLiteral("Trace"), parent), FText(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("TracePane"));
  // A screen reader has no caption to read for the lines.
  FText->setAccessibleName(QStringLiteral("Trace"));
  FText->setReadOnly(true);
  FText->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The oldest lines go by themselves once the limit is reached.
  FText->setMaximumBlockCount(MaxLines);
  FText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  FText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setWidget(FText);
}

void TTracePane::AddLine(const QString& line, uint64_t step) {
  if (step > 0) CatchUp(step - 1);
  Append(line, step);
}

void TTracePane::CatchUp(uint64_t executed) {
  if (executed > FShownStep) Append(QString::fromStdString(FormatTraceGap(executed - FShownStep)), executed);
}

void TTracePane::StartSection(const QString& title, uint64_t executed) {
  CatchUp(executed);
  if (!FSteps.empty()) Append(QStringLiteral("--- %1 ---").arg(title), executed);
  FShownStep = executed;
}

void TTracePane::Append(const QString& line, uint64_t step) {
  FText->appendPlainText(line);
  FSteps.push_back(step);
  FShownStep = step;
  // The document has dropped its oldest line by now.
  if (FSteps.size() > static_cast<size_t>(MaxLines)) FSteps.pop_front();
  FText->verticalScrollBar()->setValue(FText->verticalScrollBar()->maximum());
}

void TTracePane::TakeBackTo(uint64_t executed) {
  while (!FSteps.empty() && FSteps.back() > executed) RemoveLastLine();
  FShownStep = FSteps.empty() ? std::min(FShownStep, executed) : FSteps.back();
  // A count of untraced instructions partly undone is written again with
  // what is left of it.
  CatchUp(executed);
}

void TTracePane::RemoveLastLine() {
  FSteps.pop_back();
  if (FSteps.empty()) {
    FText->clear();
    return;
  }
  // The last line with the line break before it.
  QTextCursor cursor(FText->document());
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
}

void TTracePane::Clear(uint64_t executed) {
  FText->clear();
  FSteps.clear();
  FShownStep = executed;
}

QStringList TTracePane::Lines() const {
  if (FText->document()->isEmpty()) return {};
  return FText->toPlainText().split(QLatin1Char('\n'));
}

void TTracePane::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  if (event->isAccepted()) Q_EMIT Closed();
}
