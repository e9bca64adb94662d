#include "mainwin/TracePane.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

TTracePane::TTracePane(QWidget* parent) : QWidget(parent, Qt::Tool), FText(new QPlainTextEdit(this)) {
  setWindowTitle(QStringLiteral("Trace"));
  // A screen reader has no caption to read for the lines.
  FText->setAccessibleName(QStringLiteral("Trace"));
  FText->setReadOnly(true);
  FText->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The oldest lines go by themselves once the limit is reached.
  FText->setMaximumBlockCount(MaxLines);
  FText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  FText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FText);
  resize(520, 240);
}

void TTracePane::AddLine(const QString& line) {
  FText->appendPlainText(line);
  FText->verticalScrollBar()->setValue(FText->verticalScrollBar()->maximum());
}

void TTracePane::Clear() { FText->clear(); }

QStringList TTracePane::Lines() const {
  if (FText->document()->isEmpty()) return {};
  return FText->toPlainText().split(QLatin1Char('\n'));
}

void TTracePane::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  Q_EMIT Closed();
}
