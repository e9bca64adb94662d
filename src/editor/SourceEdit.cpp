#include "editor/SourceEdit.h"

#include "editor/SourceFile.h"
#include "editor/SourceLayout.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include <algorithm>

TSourceEdit::TSourceEdit(QWidget* parent) : QPlainTextEdit(parent) {}

QRect TSourceEdit::LineRect(const QTextBlock& block) const {
  return blockBoundingGeometry(block).translated(contentOffset()).toAlignedRect();
}

void TSourceEdit::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  // The lines on screen are the ones the user types in; knowing their
  // heights lets a keystroke repaint just its line.
  const int bottom = viewport()->height();
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF shown = blockBoundingGeometry(block).translated(contentOffset());
    if (shown.top() > bottom) break;
    TSourceLayout::RememberHeight(block, shown.height());
  }
}

void TSourceEdit::ReportNonEightBit(const QString& characters, bool replaced) {
  if (OnNonEightBit) OnNonEightBit(characters, replaced);
}

void TSourceEdit::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown && OnKeyDown(event)) {
    event->accept();
    return;
  }
  const QString refused = NonEightBitCharacters(event->text());
  if (!refused.isEmpty()) {
    event->accept();
    ReportNonEightBit(refused, false);
    return;
  }
  // Shift+Enter would insert a soft line separator, which has no 8-bit code;
  // in a source every break is a line break.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers().testFlag(Qt::ShiftModifier)) {
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                    event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TSourceEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString refused = NonEightBitCharacters(event->commitString());
  if (refused.isEmpty()) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QString commit = event->commitString();
  ReplaceNonEightBit(commit, QString());
  QInputMethodEvent kept(event->preeditString(), event->attributes());
  kept.setCommitString(commit, event->replacementStart(), event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&kept);
  ReportNonEightBit(refused, false);
}

void TSourceEdit::insertFromMimeData(const QMimeData* source) {
  if (source == nullptr || !source->hasText()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  QString text = source->text();
  if (MakesLineTooLong(text)) {
    if (OnLineTooLong) OnLineTooLong();
    return;
  }
  const QString replaced = NonEightBitCharacters(text);
  if (replaced.isEmpty()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  ReplaceNonEightBit(text);
  QMimeData plain;
  plain.setText(text);
  QPlainTextEdit::insertFromMimeData(&plain);
  ReportNonEightBit(replaced, true);
}

bool TSourceEdit::MakesLineTooLong(const QString& text) const {
  if (MaxLineLength <= 0) return false;
  // The caret's line counts whole: the pasted text may join both its parts,
  // and a line must not grow past the limit paste by paste.
  qsizetype longest = 0;
  qsizetype run = textCursor().block().length() - 1;
  for (const QChar c : text) {
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
        c == QChar::LineSeparator) {
      longest = std::max(longest, run);
      run = 0;
    } else {
      ++run;
    }
  }
  return std::max(longest, run) > MaxLineLength;
}
