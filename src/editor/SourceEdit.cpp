#include "editor/SourceEdit.h"

#include "controls/ReadableColour.h"
#include "editor/SourceFile.h"
#include "editor/SourceGutter.h"
#include "editor/SourceLayout.h"
#include "editor/SourceLineData.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include <algorithm>

TSourceEdit::TSourceEdit(QWidget* parent) : QPlainTextEdit(parent), FGutter(new TSourceGutter(*this)) {
  FGutter->hide();
  // The margin scrolls with the text and widens with the line count.
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (FGutterWidth == 0) return;
    if (dy != 0)
      FGutter->scroll(0, dy);
    else
      FGutter->update(0, rect.y(), FGutter->width(), rect.height());
  });
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this](int count) {
    // A deleted line takes its mark with it.
    if (FMarkedCount > 0 && count < FShownBlockCount) CountMarks();
    FShownBlockCount = count;
    if (FLineNumbers) UpdateGutterWidth();
  });
}

void TSourceEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect inside = contentsRect();
  FGutter->setGeometry(inside.left(), inside.top(), FGutterWidth, inside.height());
}

void TSourceEdit::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    FGutter->setFont(font());
    UpdateGutterWidth();
  } else if (event->type() == QEvent::PaletteChange) {
    ShowCurrentLine();
  }
}

void TSourceEdit::UpdateGutterWidth() {
  const int width = FGutter->NeededWidth();
  if (width != FGutterWidth) {
    FGutterWidth = width;
    setViewportMargins(width, 0, 0, 0);
    const QRect inside = contentsRect();
    FGutter->setGeometry(inside.left(), inside.top(), width, inside.height());
    FGutter->setVisible(width > 0);
  }
  FGutter->update();
}

void TSourceEdit::SetLineNumbers(bool shown) {
  FLineNumbers = shown;
  FShownBlockCount = document()->blockCount();
  UpdateGutterWidth();
}

bool TSourceEdit::LineMarked(int line) const {
  const TSourceLineData* data = TSourceLineData::Find(document()->findBlockByNumber(line));
  return data != nullptr && data->Breakpoint;
}

void TSourceEdit::SetLineMarked(int line, bool marked) {
  const QTextBlock block = document()->findBlockByNumber(line);
  if (!block.isValid() || LineMarked(line) == marked) return;
  TSourceLineData::Of(block).Breakpoint = marked;
  FMarkedCount += marked ? 1 : -1;
  FShownBlockCount = document()->blockCount();
  UpdateGutterWidth();
}

std::vector<int> TSourceEdit::MarkedLines() const {
  std::vector<int> lines;
  if (FMarkedCount == 0) return lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const TSourceLineData* data = TSourceLineData::Find(block);
    if (data != nullptr && data->Breakpoint) lines.push_back(block.blockNumber());
  }
  return lines;
}

void TSourceEdit::ClearLineMarks() {
  for (int line : MarkedLines()) TSourceLineData::Of(document()->findBlockByNumber(line)).Breakpoint = false;
  FMarkedCount = 0;
  UpdateGutterWidth();
}

void TSourceEdit::CountMarks() {
  FMarkedCount = 0;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const TSourceLineData* data = TSourceLineData::Find(block);
    if (data != nullptr && data->Breakpoint) ++FMarkedCount;
  }
  UpdateGutterWidth();
}

void TSourceEdit::GutterClicked(int line) {
  if (OnGutterClicked) OnGutterClicked(line);
}

QColor TSourceEdit::CurrentLineColour(TCurrentKind kind) const {
  // Pale on a light ground, deep on a dark one: the syntax colours (made
  // readable on the editor's ground) stay readable on the band.
  const bool dark = TReadableColour::IsDark(palette());
  if (kind == ckData) return dark ? QColor(0x5A, 0x2E, 0x12) : QColor(0xFF, 0xD8, 0xB0);
  return dark ? QColor(0x1E, 0x46, 0x5A) : QColor(0xFF, 0xF0, 0x96);
}

void TSourceEdit::SetCurrentLine(int line, TCurrentKind kind) {
  if (line == FCurrentLine && kind == FCurrentKind) return;
  FCurrentLine = line;
  FCurrentKind = kind;
  ShowCurrentLine();
  if (FGutterWidth > 0) FGutter->update();
}

void TSourceEdit::ShowCurrentLine() {
  QList<QTextEdit::ExtraSelection> selections;
  const QTextBlock block = document()->findBlockByNumber(FCurrentLine);
  if (FCurrentLine >= 0 && block.isValid()) {
    QTextEdit::ExtraSelection band;
    band.format.setBackground(CurrentLineColour(FCurrentKind));
    band.format.setProperty(QTextFormat::FullWidthSelection, true);
    band.cursor = QTextCursor(block);
    selections.append(band);
  }
  setExtraSelections(selections);
}

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
