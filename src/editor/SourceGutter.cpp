#include "editor/SourceGutter.h"

#include "controls/ReadableColour.h"
#include "editor/SourceEdit.h"
#include "editor/SourceLineData.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include <algorithm>

namespace {

constexpr int NumberPadding = 4;

}  // namespace

TSourceGutter::TSourceGutter(TSourceEdit& editor) : QWidget(&editor), FEditor(editor) {
  setCursor(Qt::PointingHandCursor);
  setToolTip(QStringLiteral("Click to set or remove a breakpoint (F2)"));
  setAccessibleName(QStringLiteral("Breakpoints and line numbers"));
}

int TSourceGutter::DotColumnWidth() const {
  if (!FEditor.LineNumbers() && FEditor.MarkedLineCount() == 0) return 0;
  return std::max(9, fontMetrics().height() * 3 / 4);
}

int TSourceGutter::DigitsWidth() const {
  if (!FEditor.LineNumbers()) return 0;
  int digits = 2;
  for (int count = FEditor.document()->blockCount(); count >= 100; count /= 10) ++digits;
  return digits * fontMetrics().horizontalAdvance(QLatin1Char('9')) + NumberPadding;
}

int TSourceGutter::NeededWidth() const {
  const int width = DotColumnWidth() + DigitsWidth();
  return width > 0 ? width + 2 : 0;
}

void TSourceGutter::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QPalette& colours = FEditor.palette();
  const QColor ground = colours.color(QPalette::Window);
  painter.fillRect(event->rect(), ground);
  const QColor number = TReadableColour::On(QColor(128, 128, 128), ground, colours);
  const QColor current = colours.color(QPalette::WindowText);
  const int dots = DotColumnWidth();
  const int digits = DigitsWidth();
  const int currentLine = FEditor.CurrentLine();
  painter.setFont(font());
  const int bottom = event->rect().bottom();
  for (QTextBlock block = FEditor.FirstShownLine(); block.isValid(); block = block.next()) {
    if (!block.isVisible()) continue;
    const QRect line = FEditor.LineRect(block);
    if (line.top() > bottom) break;
    if (line.bottom() < event->rect().top()) continue;
    const TSourceLineData* data = TSourceLineData::Find(block);
    if (data != nullptr && data->Breakpoint) {
      const int d = std::min(dots - 2, line.height() - 4);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(220, 0, 0));
      painter.setRenderHint(QPainter::Antialiasing);
      painter.drawEllipse(QRect((dots - d) / 2, line.top() + (line.height() - d) / 2, d, d));
      painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (digits > 0) {
      // The line of the instruction at PC reads out in the text colour.
      painter.setPen(block.blockNumber() == currentLine ? current : number);
      painter.drawText(QRect(dots, line.top(), digits - NumberPadding / 2, line.height()),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(block.blockNumber() + 1));
    }
  }
}

void TSourceGutter::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const int y = event->position().toPoint().y();
  for (QTextBlock block = FEditor.FirstShownLine(); block.isValid(); block = block.next()) {
    const QRect line = FEditor.LineRect(block);
    if (line.top() > height()) break;
    if (y >= line.top() && y <= line.bottom()) {
      FEditor.GutterClicked(block.blockNumber());
      return;
    }
  }
}
