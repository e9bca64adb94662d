#include "mainwin/LabelGrid.h"

#include <QPainter>

TLabelGrid::TLabelGrid(int colCount, int rowCount, int colWidth, int rowHeight, QWidget* parent)
    : QWidget(parent),
      FColCount(colCount),
      FRowCount(rowCount),
      FColWidth(colWidth),
      FRowHeight(rowHeight),
      FBaseColWidth(colWidth),
      FBaseRowHeight(rowHeight) {
  for (int i = 0; i < colCount * rowCount; ++i) FCaptions.append(QString());
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(sizeHint());
}

void TLabelGrid::SetZoom(double factor) {
  FColWidth = qRound(FBaseColWidth * factor);
  FRowHeight = qRound(FBaseRowHeight * factor);
  resize(sizeHint());
  update();
}

QSize TLabelGrid::sizeHint() const { return QSize(FColCount * FColWidth, FRowCount * FRowHeight); }

void TLabelGrid::SetCaption(int adr, const QString& text) {
  if (adr < 0 || adr >= FCaptions.size()) return;
  FCaptions[adr] = text;
  update();
}

void TLabelGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The addresses and register names are read all the time: normal text,
  // not the faint colour of disabled controls.
  painter.setPen(palette().color(QPalette::WindowText));
  for (int row = 0; row < FRowCount; ++row)
    for (int col = 0; col < FColCount; ++col)
      painter.drawText(QRect(col * FColWidth, row * FRowHeight, FColWidth, FRowHeight), Qt::AlignCenter,
                       FCaptions[row * FColCount + col]);
}
