#include "mainwin/StatusPanel.h"

#include "controls/ReadableColour.h"

#include <QPainter>

TStatusPanel::TStatusPanel(QWidget* parent) : QWidget(parent), FColor(Qt::black) {}

QSize TStatusPanel::sizeHint() const { return QSize(200, fontMetrics().height() + 2); }

void TStatusPanel::SetText(const QString& text, const QColor& color) {
  if (text == FText && color == FColor) return;
  FText = text;
  FColor = color;
  update();
}

QColor TStatusPanel::PaintedColor() const {
  // Black is the window's text colour; the others are kept where they can be read.
  const QColor colour = FColor == QColor(Qt::black) ? palette().color(QPalette::WindowText) : FColor;
  return TReadableColour::On(colour, palette().color(QPalette::Window), palette());
}

void TStatusPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(PaintedColor());
  painter.drawText(rect().adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FText);
}
