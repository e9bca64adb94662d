#pragma once

#include "controls/Zoomable.h"

#include <QAbstractScrollArea>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>
#include <vector>

// The disassembly list under the memory grid: a fixed number of rows of
// text, one of them selected (the PC marker). It paints itself so that
// moving the selection or the scroll position costs O(1): a running program
// moves PC on every instruction.
class TDisasmList : public QAbstractScrollArea, public TZoomable {
  Q_OBJECT

 public:
  // The row height at 100 %.
  static constexpr int RowHeight = 13;
  int CurrentRowHeight() const { return FRowHeight; }
  // The colour of the rows that are not selected: black, or readable on a dark palette.
  QColor TextColor() const;
  void SetZoom(double factor) override;

  explicit TDisasmList(int rowCount, QWidget* parent = nullptr);

  int RowCount() const { return static_cast<int>(FRows.size()); }
  QString RowText(int row) const { return FRows.value(row); }
  void SetRowText(int row, const QString& text);

  // The row with the keyboard focus, which F2, F4 and the composer act on;
  // -1 for none.
  int SelectedRow() const { return FSelected; }
  void SetSelectedRow(int row);
  // The row of the instruction at PC: it keeps the highlight while the
  // student clicks or moves to another row, which then shows an outline.
  // Moving PC to another row brings the selection along.
  int PcRow() const { return FPcRow; }
  void SetPcRow(int row);

  // The first visible row; clamped to 0 .. RowCount - VisibleRows.
  int TopRow() const { return FTopRow; }
  void SetTopRow(int row);
  int VisibleRows() const;

  // Whether a screen reader hears of each move of the PC row (off while a
  // program runs at full speed).
  void SetAnnounceChanges(bool value) { FAnnounceChanges = value; }

  // Suspends painting, for bulk rewrites of many rows; nests.
  void BeginUpdate();
  void EndUpdate();

  // A row marked as a breakpoint shows a red dot in a margin left of its
  // text. The margin takes room only while a row is marked, so that the
  // list looks as always until a student sets one.
  static constexpr int MarginWidth = 9;
  void SetRowMarked(int row, bool marked);
  bool RowMarked(int row) const { return row >= 0 && row < RowCount() && FMarked[static_cast<size_t>(row)] != 0; }

  // Label names beside the rows they mark, in a column left of the text
  // that takes room only while its width is set (a program assembled from
  // a source with labels), so the rows read as always otherwise.
  void SetLabelColumnWidth(int width);
  int LabelColumnWidth() const { return FLabelWidth; }
  void SetRowLabel(int row, const QString& name);
  QString RowLabel(int row) const { return FLabels.value(row); }
  // The tooltip of a row ("" for none).
  std::function<QString(int row)> OnRowToolTip;

  // The row under a point of the viewport, -1 below the last row.
  int RowAt(const QPoint& viewportPoint) const;
  QRect RowRect(int row) const;

 Q_SIGNALS:
  // A left double click on a row (already selected by the first click).
  void RowDoubleClicked(int row);
  // A right button press; row is -1 when no row lies under the pointer.
  void RowRightPressed(int row);
  // A left click in the margin of a row, or F2 on the selected row.
  void RowMarginClicked(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void UpdateRow(int row);
  void SyncScrollBar();
  int MaxTopRow() const;

  QVector<QString> FRows;
  QVector<QString> FLabels;
  int FLabelWidth = 0;
  // One flag per row: its area is already waiting for a repaint, so a
  // running program that moves PC a million times between two paints asks
  // for it once.
  std::vector<uint8_t> FDirty;
  std::vector<uint8_t> FMarked;
  int FMarkedCount = 0;
  int FSelected = -1;
  int FPcRow = -1;
  int FTopRow = 0;
  int FUpdateDepth = 0;
  bool FScrollSyncPending = false;
  bool FSyncingScrollBar = false;
  bool FAnnounceChanges = true;
  int FRowHeight = RowHeight;
};
