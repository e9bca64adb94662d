#pragma once

#include "controls/Zoomable.h"

#include <QStringList>
#include <QWidget>

// A read-only grid of captions beside the hex grids (the row and column
// addresses, the register names). It shows no selection, takes no focus and
// is drawn in the window's text colour.
class TLabelGrid : public QWidget, public TZoomable {
  Q_OBJECT

 public:
  TLabelGrid(int colCount, int rowCount, int colWidth, int rowHeight, QWidget* parent = nullptr);

  int ColCount() const { return FColCount; }
  int RowCount() const { return FRowCount; }
  // Caption of the cell at address row * ColCount + col.
  QString Caption(int adr) const { return FCaptions.value(adr); }
  void SetCaption(int adr, const QString& text);

  QSize sizeHint() const override;
  void SetZoom(double factor) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int FColCount;
  int FRowCount;
  int FColWidth;
  int FRowHeight;
  int FBaseColWidth;
  int FBaseRowHeight;
  QStringList FCaptions;
};
