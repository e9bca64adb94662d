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

void TTracePane::AddLine(const QString& line, uint64_t step) { Show(FLog.AddLine(line.toStdString(), step)); }

void TTracePane::CatchUp(uint64_t executed) { Show(FLog.CatchUp(executed)); }

void TTracePane::StartSection(const QString& title, uint64_t executed) {
  Show(FLog.StartSection(title.toStdString(), executed));
}

void TTracePane::TakeBackTo(uint64_t executed) { Show(FLog.TakeBackTo(executed)); }

void TTracePane::Show(const TTraceLog::TChange& change) {
  for (size_t i = 0; i < change.Removed; ++i) RemoveLastLine();
  // The document drops its oldest line by itself past the limit, as the log does.
  for (const std::string& line : change.Added) FText->appendPlainText(QString::fromStdString(line));
  if (!change.Added.empty()) FText->verticalScrollBar()->setValue(FText->verticalScrollBar()->maximum());
}

void TTracePane::RemoveLastLine() {
  if (FText->document()->blockCount() <= 1) {
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
  FLog.Clear(executed);
}

QStringList TTracePane::Lines() const {
  if (FText->document()->isEmpty()) return {};
  return FText->toPlainText().split(QLatin1Char('\n'));
}

void TTracePane::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  if (event->isAccepted()) Q_EMIT Closed();
}
