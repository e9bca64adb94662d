#include "controls/HexGrid.h"

#include "controls/AccessEvents.h"
#include "controls/HexGridModel.h"
#include "controls/ReadableColour.h"

#include <qdrawutil.h>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <string>

namespace {
// The cell text starts this many pixels into the cell.
constexpr int CellTextLeft = 3;
}  // namespace

THexGrid::THexGrid(QWidget* parent) : QWidget(parent) {
  FContents.assign(static_cast<size_t>(Count()), 0);
  FInvalid.assign(static_cast<size_t>(Count()), 0);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  ResetDerivedFonts();
  resize((FColCount + 1) * FDefaultColWidth, (FRowCount + 1) * FDefaultRowHeight);
}

THexGrid::~THexGrid() {
  // The editor outlives this part of the grid during destruction; its last
  // focus events must not reach a half-destroyed filter.
  if (FEditor) FEditor->removeEventFilter(this);
}

// ---------------------------------------------------------------------------
// Cell store

void THexGrid::RaiseOutOfBounds(const char* operation, int adr) const {
  throw EInvalidGridOperation(std::string("THexGrid::") + operation + ": Address (" + std::to_string(adr) +
                              ") out of bounds (0.." + std::to_string(Count() - 1) + ")");
}

int32_t THexGrid::GetContents(int adr) const {
  if (adr < 0 || adr >= Count()) RaiseOutOfBounds("GetContents", adr);
  // A program started while the user types into a cell sees the digits typed so far.
  if (FEditCol >= 0 && adr == coor2adr(FEditCol, FEditRow) && FEditor && !FEditor->isHidden())
    return HexTextValue(FEditor->text());
  return FModel ? FModel->CellValue(adr) : FContents[static_cast<size_t>(adr)];
}

void THexGrid::SetContents(int adr, int32_t value) {
  if (adr < 0 || adr >= Count()) RaiseOutOfBounds("SetContents", adr);
  if (FModel) {
    FModel->WriteCell(adr, value);
    Refresh();
    return;
  }
  const int32_t old = FContents[static_cast<size_t>(adr)];
  if (value != old) ShowChange(adr, value);
  if (OnCellChanged) OnCellChanged(this, adr, old, value);
}

void THexGrid::ShowChange(int adr, int32_t value) {
  StoreShown(adr, value);
  MarkChanged(adr);
}

void THexGrid::StoreShown(int adr, int32_t value) {
  FContents[static_cast<size_t>(adr)] = value;
  InvalidateCell(adr);
  if (FEditCol >= 0 && adr == coor2adr(FEditCol, FEditRow) && FEditor && !FEditor->isHidden()) {
    // A model may take over the very digits being typed (a program run
    // reads them); the user goes on typing. Any other value wins over what
    // the user was typing into this cell.
    if (FModel && FEditor->isModified() && HexTextValue(FEditor->text()) == value) return;
    SetEditorText(FormatValue(value, FEditor->maxLength()), FEditor->maxLength());
    FEditor->setModified(false);
  }
  // A running program writes far faster than anyone can listen; its owner
  // turns the announcements off for the run.
  if (FAnnounceChanges && TAccessEvents::Listening()) AnnounceCell(adr);
}

void THexGrid::MarkChanged(int adr) {
  if (!FModified) SetModified(true);
  if (FChangedAdr >= 0) InvalidateCell(FChangedAdr);
  FChangedAdr = adr;
  InvalidateCell(adr);
}

void THexGrid::SetModel(THexGridModel* model) {
  FModel = model;
  FSeenGeneration = 0;
  if (!FModel) return;
  for (int adr = 0; adr < Count(); ++adr) FContents[static_cast<size_t>(adr)] = FModel->CellValue(adr);
  FSeenGeneration = FModel->Generation();
  InvalidateAll();
}

void THexGrid::Refresh() {
  if (!FModel) return;
  const uint64_t generation = FModel->Generation();
  if (generation == FSeenGeneration) return;
  // Several cells may have changed since the last look; the one written
  // last is the one marked as changed, as if each write had been shown.
  int newest = -1;
  uint64_t newestGeneration = 0;
  for (int adr = 0; adr < Count(); ++adr) {
    const uint64_t cellGeneration = FModel->CellGeneration(adr);
    if (cellGeneration <= FSeenGeneration) continue;
    const int32_t old = FContents[static_cast<size_t>(adr)];
    const int32_t value = FModel->CellValue(adr);
    if (value == old) continue;
    StoreShown(adr, value);
    if (cellGeneration >= newestGeneration) {
      newest = adr;
      newestGeneration = cellGeneration;
    }
    if (OnCellChanged) OnCellChanged(this, adr, old, value);
  }
  FSeenGeneration = generation;
  if (newest >= 0) MarkChanged(newest);
}

QColor THexGrid::CellBackground(int adr) const {
  if (adr >= 0 && GetSelLo() <= adr && adr <= GetSelHi()) return palette().color(QPalette::Highlight);
  return TReadableColour::IsDark(palette()) ? palette().color(QPalette::Window) : FColor;
}

QColor THexGrid::CellTextColor(int adr) const {
  QColor colour = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
  if (adr == FChangedAdr)
    colour = FFontChanged.Color;
  else if (GetSelLo() <= adr && adr <= GetSelHi())
    colour = FFontSelected.Color;
  return TReadableColour::On(colour, CellBackground(adr), palette());
}

void THexGrid::SetZoom(double factor) {
  if (FZoomBaseCol == 0) {
    FZoomBaseCol = FDefaultColWidth;
    FZoomBaseRow = FDefaultRowHeight;
    FZoomBaseChanged = FFontChanged.Font;
    FZoomBaseSelected = FFontSelected.Font;
  }
  const auto scaled = [factor](QFont font) {
    if (font.pixelSize() > 0)
      font.setPixelSize(std::max(1, qRound(font.pixelSize() * factor)));
    else
      font.setPointSizeF(font.pointSizeF() * factor);
    return font;
  };
  if (FFontChangedAssigned) FFontChanged.Font = scaled(FZoomBaseChanged);
  if (FFontSelectedAssigned) FFontSelected.Font = scaled(FZoomBaseSelected);
  SetDefaultColWidth(qRound(FZoomBaseCol * factor));
  SetDefaultRowHeight(qRound(FZoomBaseRow * factor));
  resize(sizeHint());
}

QString THexGrid::CellName(int adr) const {
  QString name = QStringLiteral("cell %1").arg(adr, 2, 16, QLatin1Char('0')).toUpper();
  if (OnGetCellName) OnGetCellName(const_cast<THexGrid*>(this), adr, name);
  return name;
}

void THexGrid::SetModified(bool value) {
  FModified = value;
  if (!value && FChangedAdr >= 0) {
    const int adr = FChangedAdr;
    FChangedAdr = -1;
    InvalidateCell(adr);
  }
}

int32_t THexGrid::HexTextValue(const QString& text) {
  uint32_t result = 0;
  for (QChar qc : text) {
    const char16_t c = qc.unicode();
    uint32_t digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (c >= u'A' && c <= u'F')
      digit = c - u'A' + 10u;
    else if (c >= u'a' && c <= u'f')
      digit = c - u'a' + 10u;
    else
      return -1;
    result = (result << 4) | digit;
  }
  return static_cast<int32_t>(result);
}

int THexGrid::GetEditLimit(int col, int row) const {
  int value = DefaultLimit();
  if (OnGetEditLimit) OnGetEditLimit(const_cast<THexGrid*>(this), col, row, value);
  return value;
}

bool THexGrid::SelectCell(int col, int row) {
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
  return canSelect;
}

bool THexGrid::MoveCurrent(int col, int row) {
  if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount) return false;
  if (!SelectCell(col, row)) return false;
  if (col != FCol || row != FRow) {
    InvalidateCell(coor2adr(FCol, FRow));
    FCol = col;
    FRow = row;
    InvalidateCell(coor2adr(FCol, FRow));
    if (hasFocus() && TAccessEvents::Listening()) AnnounceCurrentCell();
  }
  return true;
}

void THexGrid::Loaded() {
  if (FModel)
    for (int adr = 0; adr < Count(); ++adr) FContents[static_cast<size_t>(adr)] = FModel->CellValue(adr);
  else
    std::fill(FContents.begin(), FContents.end(), 0);
  InvalidateAll();
  if (FOptions.Contains(hgoAlwaysShowEditor)) ShowEditor();
}

// ---------------------------------------------------------------------------
// Selection

void THexGrid::MoveSelBound(int& bound, int adr) {
  if (adr < 0) adr = -1;
  if (bound == adr) return;
  if (FSelStart < 0 || FSelEnd < 0) FSelStart = FSelEnd = adr;
  int target = adr;
  if (adr < 0) {
    target = FSelEnd;
    bound = FSelStart;
  }
  // Exactly the cells between the old and the new bound enter or leave the selection.
  const int step = bound <= target ? 1 : -1;
  for (int a = bound;; a += step) {
    if (a >= 0 && a < Count()) InvalidateCell(a);
    if (a == target) break;
  }
  bound = adr;
  if (adr < 0) FSelStart = FSelEnd = -1;
  if (OnSelChanged) OnSelChanged(this, FSelStart, FSelEnd);
}

// ---------------------------------------------------------------------------
// Repainting

void THexGrid::InvalidateCell(int adr) {
  uint8_t& invalid = FInvalid[static_cast<size_t>(adr)];
  if (invalid) return;
  invalid = 1;
  // A cell owns the grid lines to its right and below it.
  update(CellRect(adr).adjusted(0, 0, VertLineWidth(), HorzLineWidth()));
}

void THexGrid::InvalidateAll() {
  std::fill(FInvalid.begin(), FInvalid.end(), 1);
  update();
}

void THexGrid::ClearInvalidMarks() { std::fill(FInvalid.begin(), FInvalid.end(), 0); }

void THexGrid::showEvent(QShowEvent* e) {
  // Updates asked for while hidden were dropped by Qt; showing paints everything.
  ClearInvalidMarks();
  QWidget::showEvent(e);
}

void THexGrid::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange) {
    ResetDerivedFonts();
    update();
  } else if (e->type() == QEvent::EnabledChange) {
    update();
  }
  QWidget::changeEvent(e);
}

void THexGrid::ResetDerivedFonts() {
  if (!FFontChangedAssigned) {
    FFontChanged.Font = font();
    FFontChanged.Font.setBold(true);
    FFontChanged.Color = QColor(255, 96, 96);
  }
  if (!FFontSelectedAssigned) {
    FFontSelected.Font = font();
    FFontSelected.Color = palette().color(QPalette::HighlightedText);
  }
}

QString THexGrid::FormatValue(int32_t value, int digits) const {
  char buffer[16];
  if (value < 0)
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<uint32_t>(value));
  else
    std::snprintf(buffer, sizeof buffer, "%0*X", std::clamp(digits, 0, 8), static_cast<unsigned>(value));
  return QString::fromLatin1(buffer);
}

QString THexGrid::CellText(int col, int row) const {
  return FormatValue(FContents[static_cast<size_t>(coor2adr(col, row))], GetEditLimit(col, row));
}

bool THexGrid::CellTextFits(int adr) const {
  const QString text = CellText(adr % FColCount, adr / FColCount);
  // The changed-cell font may be bold, and wider than the grid's own.
  const int width =
      std::max({QFontMetrics(font()).horizontalAdvance(text), QFontMetrics(FFontChanged.Font).horizontalAdvance(text),
                QFontMetrics(FFontSelected.Font).horizontalAdvance(text)});
  return CellTextLeft + width <= CellRect(adr).width();
}

void THexGrid::paintEvent(QPaintEvent* e) {
  ClearInvalidMarks();
  QPainter painter(this);
  const QRegion& region = e->region();
  painter.fillRect(rect(), CellBackground(-1));
  const int lineV = VertLineWidth();
  const int lineH = HorzLineWidth();
  for (int row = 0; row < FRowCount; ++row) {
    for (int col = 0; col < FColCount; ++col) {
      const QRect cell = CellRect(coor2adr(col, row));
      const QRect withLines = cell.adjusted(0, 0, lineV, lineH);
      if (!region.intersects(withLines)) continue;
      if (lineV > 0) painter.fillRect(QRect(cell.right() + 1, cell.top(), lineV, cell.height() + lineH), Qt::lightGray);
      if (lineH > 0)
        painter.fillRect(QRect(cell.left(), cell.bottom() + 1, cell.width() + lineV, lineH), Qt::lightGray);
      painter.save();
      DrawCell(painter, col, row, cell);
      painter.restore();
    }
  }
  qDrawWinPanel(&painter, rect(), palette(), true);
}

void THexGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect) {
  const int adr = coor2adr(col, row);
  TGridDrawState state = 0;
  const TGridFont* font = nullptr;
  painter.fillRect(rect, CellBackground(adr));
  if (GetSelLo() <= adr && adr <= GetSelHi()) {
    font = &FFontSelected;
    state |= gdSelected;
  }
  if (adr == FChangedAdr) {
    font = &FFontChanged;
    state |= gdChanged;
  }
  painter.setFont(font ? font->Font : this->font());
  const QColor textColor = CellTextColor(adr);
  painter.setPen(textColor);
  painter.setClipRect(rect);
  painter.drawText(QRect(rect.left() + CellTextLeft, rect.top() + 2, rect.width(), rect.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, CellText(col, row));
  painter.setClipping(false);
  if (hasFocus() && col == FCol && row == FRow) {
    painter.setPen(QPen(textColor, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    state |= gdFocused;
  }
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state, painter);
}

// ---------------------------------------------------------------------------
// Geometry and properties

QRect THexGrid::CellRect(int adr) const {
  const int col = adr % FColCount;
  const int row = adr / FColCount;
  const int b = BorderWidth();
  return QRect(b + col * (FDefaultColWidth + VertLineWidth()), b + row * (FDefaultRowHeight + HorzLineWidth()),
               FDefaultColWidth, FDefaultRowHeight);
}

int THexGrid::AddressAt(const QPoint& point) const {
  const int x = point.x() - BorderWidth();
  const int y = point.y() - BorderWidth();
  if (x < 0 || y < 0) return -1;
  const int col = x / (FDefaultColWidth + VertLineWidth());
  const int row = y / (FDefaultRowHeight + HorzLineWidth());
  if (col >= FColCount || row >= FRowCount) return -1;
  return coor2adr(col, row);
}

QSize THexGrid::sizeHint() const {
  const int b = BorderWidth();
  return QSize(2 * b + FColCount * (FDefaultColWidth + VertLineWidth()),
               2 * b + FRowCount * (FDefaultRowHeight + HorzLineWidth()));
}

void THexGrid::SetGridSize(int cols, int rows) {
  cols = std::max(cols, 1);
  rows = std::max(rows, 1);
  if (cols == FColCount && rows == FRowCount) return;
  if (EditorOpen()) HideEditor();
  const int oldCols = FColCount;
  const int oldRows = FRowCount;
  FColCount = cols;
  FRowCount = rows;
  SizeChanged(oldCols, oldRows);
  if (QAccessible::isActive()) {
    QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
  }
}

void THexGrid::SizeChanged(int oldColCount, int oldRowCount) {
  (void)oldColCount;
  (void)oldRowCount;
  // vector::resize keeps entries by address and zeroes the new ones.
  FContents.resize(static_cast<size_t>(Count()), 0);
  FInvalid.assign(static_cast<size_t>(Count()), 0);
  FCol = std::min(FCol, FColCount - 1);
  FRow = std::min(FRow, FRowCount - 1);
  if (FChangedAdr >= Count()) FChangedAdr = -1;
  updateGeometry();
  update();
}

void THexGrid::SetColor(const QColor& value) {
  FColor = value;
  if (FEditor) {
    QPalette p = FEditor->palette();
    p.setColor(QPalette::Base, FColor);
    FEditor->setPalette(p);
  }
  update();
}

void THexGrid::SetDefaultColWidth(int value) {
  FDefaultColWidth = std::max(value, 1);
  updateGeometry();
  update();
}

void THexGrid::SetDefaultRowHeight(int value) {
  FDefaultRowHeight = std::max(value, 1);
  updateGeometry();
  update();
}

void THexGrid::SetGridLineWidth(int value) {
  FGridLineWidth = std::max(value, 0);
  updateGeometry();
  update();
}

void THexGrid::SetOptions(THexGridOptions value) {
  FOptions = value;
  updateGeometry();
  update();
}

void THexGrid::SetFontChanged(const TGridFont& value) {
  FFontChanged = value;
  FFontChangedAssigned = true;
  if (FChangedAdr >= 0) InvalidateCell(FChangedAdr);
}

void THexGrid::SetFontSelected(const TGridFont& value) {
  FFontSelected = value;
  FFontSelectedAssigned = true;
  if (FSelStart >= 0) InvalidateAll();
}
