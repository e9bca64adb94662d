#include "mainwin/TracePane.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

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
  FText->appendPlainText(line);
  FSteps.push_back(step);
  // The document has dropped its oldest line by now.
  if (FSteps.size() > static_cast<size_t>(MaxLines)) FSteps.pop_front();
  FText->verticalScrollBar()->setValue(FText->verticalScrollBar()->maximum());
}

void TTracePane::TakeBackTo(uint64_t executed) {
  while (!FSteps.empty() && FSteps.back() > executed) {
    FSteps.pop_back();
    if (FSteps.empty()) {
      FText->clear();
      break;
    }
    // The last line with the line break before it.
    QTextCursor cursor(FText->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
}

void TTracePane::Clear() {
  FText->clear();
  FSteps.clear();
}

QStringList TTracePane::Lines() const {
  if (FText->document()->isEmpty()) return {};
  return FText->toPlainText().split(QLatin1Char('\n'));
}

void TTracePane::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  if (event->isAccepted()) Q_EMIT Closed();
}
