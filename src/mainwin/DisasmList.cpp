#include "mainwin/DisasmList.h"

#include "controls/AccessEvents.h"
#include "controls/ReadableColour.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

TDisasmList::TDisasmList(int rowCount, QWidget* parent)
    : QAbstractScrollArea(parent),
      FRows(rowCount),
      FDirty(static_cast<size_t>(rowCount), 0),
      FMarked(static_cast<size_t>(rowCount), 0) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Window);
  verticalScrollBar()->setSingleStep(1);
}

QColor TDisasmList::TextColor() const {
  return TReadableColour::On(QColor(Qt::black), viewport()->palette().color(QPalette::Window), palette());
}

void TDisasmList::SetZoom(double factor) {
  FRowHeight = qRound(RowHeight * factor);
  SetTopRow(FTopRow);
  viewport()->update();
  if (!FScrollSyncPending) {
    FScrollSyncPending = true;
    QTimer::singleShot(0, this, [this] { SyncScrollBar(); });
  }
}

int TDisasmList::VisibleRows() const { return std::max(1, viewport()->height() / FRowHeight); }

int TDisasmList::MaxTopRow() const { return std::max(0, RowCount() - VisibleRows()); }

QRect TDisasmList::RowRect(int row) const {
  return QRect(0, (row - FTopRow) * FRowHeight, viewport()->width(), FRowHeight);
}

int TDisasmList::RowAt(const QPoint& viewportPoint) const {
  if (viewportPoint.y() < 0) return -1;
  const int row = FTopRow + viewportPoint.y() / FRowHeight;
  return row < RowCount() ? row : -1;
}

void TDisasmList::UpdateRow(int row) {
  if (FUpdateDepth > 0 || row < FTopRow || row > FTopRow + VisibleRows()) return;
  uint8_t& dirty = FDirty[static_cast<size_t>(row)];
  if (dirty) return;
  dirty = 1;
  viewport()->update(RowRect(row));
}

void TDisasmList::SetRowText(int row, const QString& text) {
  if (row < 0 || row >= RowCount()) return;
  FRows[row] = text;
  UpdateRow(row);
}

void TDisasmList::SetSelectedRow(int row) {
  if (row < -1 || row >= RowCount()) row = -1;
  if (row == FSelected) return;
  const int old = FSelected;
  FSelected = row;
  UpdateRow(old);
  UpdateRow(row);
  if (FAnnounceChanges && TAccessEvents::Listening() && FSelected >= 0) {
    // The reader's list has a child per row.
    QAccessibleEvent event(this, hasFocus() ? QAccessible::Focus : QAccessible::Selection);
    event.setChild(FSelected);
    TAccessEvents::Send(&event);
  }
}

void TDisasmList::SetPcRow(int row) {
  if (row < -1 || row >= RowCount()) row = -1;
  if (row == FPcRow) return;
  const int old = FPcRow;
  FPcRow = row;
  UpdateRow(old);
  UpdateRow(row);
  SetSelectedRow(row);
}

void TDisasmList::SetTopRow(int row) {
  row = std::clamp(row, 0, MaxTopRow());
  if (row == FTopRow) return;
  FTopRow = row;
  if (FUpdateDepth == 0) viewport()->update();
  // Moving the scroll bar is far dearer than the move itself; a running
  // program may scroll on every instruction, so the bar follows once per
  // turn of the event loop.
  if (!FScrollSyncPending) {
    FScrollSyncPending = true;
    QTimer::singleShot(0, this, [this] { SyncScrollBar(); });
  }
}

void TDisasmList::SyncScrollBar() {
  FScrollSyncPending = false;
  FSyncingScrollBar = true;
  verticalScrollBar()->setRange(0, MaxTopRow());
  verticalScrollBar()->setPageStep(VisibleRows());
  verticalScrollBar()->setValue(FTopRow);
  FSyncingScrollBar = false;
}

void TDisasmList::scrollContentsBy(int, int) {
  if (FSyncingScrollBar) return;
  FTopRow = std::clamp(verticalScrollBar()->value(), 0, MaxTopRow());
  viewport()->update();
}

void TDisasmList::BeginUpdate() { ++FUpdateDepth; }

void TDisasmList::EndUpdate() {
  if (FUpdateDepth > 0 && --FUpdateDepth == 0) viewport()->update();
}

void TDisasmList::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  FTopRow = std::min(FTopRow, MaxTopRow());
  SyncScrollBar();
}

void TDisasmList::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  std::fill(FDirty.begin(), FDirty.end(), 0);
}

void TDisasmList::paintEvent(QPaintEvent* event) {
  std::fill(FDirty.begin(), FDirty.end(), 0);
  if (FUpdateDepth > 0) return;
  QPainter painter(viewport());
  painter.setFont(font());
  const QRect dirty = event->rect();
  const int first = FTopRow + std::max(0, dirty.top() / FRowHeight);
  const int last = std::min(RowCount() - 1, FTopRow + dirty.bottom() / FRowHeight);
  const QPalette& pal = palette();
  const int indent = FMarkedCount > 0 ? MarginWidth : 0;
  for (int row = first; row <= last; ++row) {
    const QRect rect = RowRect(row);
    const bool selected = FPcRow >= 0 ? row == FPcRow : row == FSelected;
    painter.fillRect(rect, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Window));
    if (FMarked[static_cast<size_t>(row)] != 0) {
      painter.save();
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(220, 0, 0));
      const int d = std::min(MarginWidth - 2, FRowHeight - 4);
      painter.drawEllipse(QRect(rect.left() + 1, rect.center().y() - d / 2, d, d));
      painter.restore();
    }
    painter.setPen(selected ? pal.color(QPalette::HighlightedText) : TextColor());
    if (FLabelWidth > 0)
      painter.drawText(rect.adjusted(2 + indent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       FLabels.value(row));
    painter.drawText(rect.adjusted(2 + indent + FLabelWidth, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, FRows[row]);
    if (row == FSelected && !selected) {
      painter.save();
      painter.setPen(QPen(TextColor(), 1, Qt::DotLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(rect.adjusted(0, 0, -1, -1));
      painter.restore();
    }
  }
}

void TDisasmList::mousePressEvent(QMouseEvent* event) {
  const int row = RowAt(event->position().toPoint());
  if (event->button() == Qt::RightButton) {
    setFocus(Qt::MouseFocusReason);
    if (row >= 0) SetSelectedRow(row);
    Q_EMIT RowRightPressed(row);
    return;
  }
  if (event->button() == Qt::LeftButton && row >= 0 && event->position().x() < MarginWidth) {
    Q_EMIT RowMarginClicked(row);
    return;
  }
  if (event->button() == Qt::LeftButton && row >= 0) SetSelectedRow(row);
}

void TDisasmList::SetRowMarked(int row, bool marked) {
  if (row < 0 || row >= RowCount() || (FMarked[static_cast<size_t>(row)] != 0) == marked) return;
  FMarked[static_cast<size_t>(row)] = marked ? 1 : 0;
  const bool hadMargin = FMarkedCount > 0;
  FMarkedCount += marked ? 1 : -1;
  // The margin opening or closing moves the text of every row.
  if (hadMargin != (FMarkedCount > 0))
    viewport()->update();
  else
    UpdateRow(row);
}

void TDisasmList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int row = RowAt(event->position().toPoint());
  if (row < 0) return;
  SetSelectedRow(row);
  Q_EMIT RowDoubleClicked(row);
}

void TDisasmList::keyPressEvent(QKeyEvent* event) {
  int row = FSelected;
  switch (event->key()) {
    case Qt::Key_Up: row = std::max(0, row - 1); break;
    case Qt::Key_Down: row = std::min(RowCount() - 1, row + 1); break;
    case Qt::Key_PageUp: row = std::max(0, row - VisibleRows()); break;
    case Qt::Key_PageDown: row = std::min(RowCount() - 1, row + VisibleRows()); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = RowCount() - 1; break;
    case Qt::Key_F2:
      if (FSelected >= 0) Q_EMIT RowMarginClicked(FSelected);
      return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  SetSelectedRow(row);
  if (row < FTopRow) SetTopRow(row);
  if (row >= FTopRow + VisibleRows()) SetTopRow(row - VisibleRows() + 1);
}

void TDisasmList::SetLabelColumnWidth(int width) {
  if (width == FLabelWidth) return;
  FLabelWidth = width;
  if (width == 0) FLabels.clear();
  viewport()->update();
}

void TDisasmList::SetRowLabel(int row, const QString& name) {
  if (row < 0 || row >= RowCount()) return;
  if (FLabels.size() < RowCount()) FLabels.resize(RowCount());
  if (FLabels[row] == name) return;
  FLabels[row] = name;
  UpdateRow(row);
}

bool TDisasmList::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip && OnRowToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int row = RowAt(help->pos());
    const QString tip = row >= 0 ? OnRowToolTip(row) : QString();
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, viewport(), RowRect(row));
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}
