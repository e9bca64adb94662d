#include "mainwin/StatusPanel.h"

#include <QPainter>

TStatusPanel::TStatusPanel(QWidget* parent) : QWidget(parent), FColor(Qt::black) {}

QSize TStatusPanel::sizeHint() const { return QSize(200, fontMetrics().height() + 2); }

void TStatusPanel::SetText(const QString& text, const QColor& color) {
  if (text == FText && color == FColor) return;
  FText = text;
  FColor = color;
  update();
}

void TStatusPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(FColor);
  painter.drawText(rect().adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FText);
}
