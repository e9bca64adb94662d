// THexGrid: the in-place editor, mouse and keyboard.
#include "controls/HexGrid.h"

#include "controls/AccessEvents.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>

namespace {

bool IsHexDigit(QChar c) {
  const QChar u = c.toUpper();
  return (u >= QLatin1Char('0') && u <= QLatin1Char('9')) || (u >= QLatin1Char('A') && u <= QLatin1Char('F'));
}

bool IsEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

}  // namespace

// ---------------------------------------------------------------------------
// In-place editor

void THexGrid::SetEditorText(const QString& text, int limit) {
  // QLineEdit cuts a text longer than its maximum length; a value wider than
  // the cell's digit count must still read back unchanged.
  FEditor->setMaxLength(std::max({limit, static_cast<int>(text.size()), 1}));
  FEditor->setText(text);
}

void THexGrid::ShowEditor() {
  SetSelStart(-1);
  SetSelEnd(-1);
  if (!FEditor) {
    FEditor = new QLineEdit(this);
    FEditor->hide();
    FEditor->setFrame(false);
    FEditor->setTextMargins(1, 0, 0, 0);
    QFont bold = font();
    bold.setBold(true);
    FEditor->setFont(bold);
    FEditor->setFocusPolicy(Qt::ClickFocus);
    FEditor->setContextMenuPolicy(Qt::DefaultContextMenu);
    FEditor->installEventFilter(this);
  }
  UpdateText();
  const int limit = GetEditLimit(FCol, FRow);
  SetEditorText(FormatValue(FContents[static_cast<size_t>(coor2adr(FCol, FRow))], limit), limit);
  FEditCol = FCol;
  FEditRow = FRow;
  QPalette p = FEditor->palette();
  p.setColor(QPalette::Base, FColor);
  FEditor->setPalette(p);
  // One pixel larger than the cell each way, covering its grid lines.
  const QRect cell = CellRect(FCol, FRow);
  FEditor->setGeometry(cell.left(), cell.top(), cell.width() + 1, cell.height() + 1);
  FEditor->setModified(false);
  FEditor->selectAll();
  FEditor->show();
  FEditor->setFocus(Qt::OtherFocusReason);
}

void THexGrid::HideEditor() {
  UpdateText();
  FEditCol = FEditRow = -1;
  if (FEditor && !FEditor->isHidden()) {
    // Take the focus back before hiding, or Qt would pass it on to the next widget.
    if (FEditor->hasFocus()) setFocus(Qt::OtherFocusReason);
    FEditor->hide();
  }
}

void THexGrid::UpdateText() {
  if (!FEditor || !FEditor->isModified()) return;
  FEditor->setModified(false);
  const int32_t value = HexTextValue(FEditor->text());
  // Invalid text can only come from pasting; it is dropped.
  if (value != -1 && FEditCol >= 0) SetCells(FEditCol, FEditRow, value);
}

void THexGrid::SetFocus() {
  if (EditorOpen() && FEditor && !FEditor->isHidden())
    FEditor->setFocus(Qt::OtherFocusReason);
  else
    setFocus(Qt::OtherFocusReason);
}

void THexGrid::TypeIntoEditor(QChar ch) {
  FEditor->insert(QString(ch.toUpper()));
  FEditor->setModified(true);
}

void THexGrid::EditorEnter() {
  HideEditor();
  const int next = (coor2adr(FCol, FRow) + 1) % Count();
  MoveCurrent(next % FColCount, next / FColCount);
  ShowEditor();
}

void THexGrid::EditorKey(QKeyEvent* e, bool& consumed) {
  consumed = true;
  if (IsEnter(e)) {
    EditorEnter();
    return;
  }
  if (e->key() == Qt::Key_Escape) {
    FEditor->setModified(false);
    HideEditor();
    return;
  }
  const QString text = e->text();
  const bool shortcut = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (e->key() == Qt::Key_Backspace || shortcut || text.isEmpty()) {
    // Backspace, caret movement, Delete and the edit shortcuts are the edit's own.
    consumed = false;
    return;
  }
  if (text.size() == 1 && IsHexDigit(text[0])) {
    TypeIntoEditor(text[0]);
    return;
  }
  // Every other character is discarded.
}

bool THexGrid::eventFilter(QObject* watched, QEvent* e) {
  if (watched == FEditor) {
    if (e->type() == QEvent::KeyPress) {
      bool consumed = false;
      EditorKey(static_cast<QKeyEvent*>(e), consumed);
      return consumed;
    }
    if (e->type() == QEvent::ShortcutOverride) {
      // Keep Enter and Escape for the editor even when a window shortcut uses them.
      auto* key = static_cast<QKeyEvent*>(e);
      if (IsEnter(key) || key->key() == Qt::Key_Escape) {
        e->accept();
        return true;
      }
    }
    if (e->type() == QEvent::FocusOut && IsLeaving(static_cast<QFocusEvent*>(e))) DoExit();
  }
  return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------
// Focus

bool THexGrid::IsLeaving(QFocusEvent* e) const {
  // Another window becoming active, or a pop-up menu, is not leaving the control.
  if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return false;
  const QWidget* next = QApplication::focusWidget();
  return next != this && (!FEditor || next != FEditor);
}

void THexGrid::DoExit() {
  if (!FOptions.Contains(hgoAlwaysShowEditor) && EditorOpen()) HideEditor();
}

// A screen reader's table has a child per cell, numbered by address (the
// accessible classes follow the same numbering).
void THexGrid::AnnounceCell(int adr) {
  QAccessibleValueChangeEvent event(this, CellText(adr % FColCount, adr / FColCount));
  event.setChild(adr);
  TAccessEvents::Send(&event);
}

void THexGrid::AnnounceCurrentCell() {
  QAccessibleEvent event(this, QAccessible::Focus);
  event.setChild(coor2adr(FCol, FRow));
  TAccessEvents::Send(&event);
}

void THexGrid::focusInEvent(QFocusEvent* e) {
  InvalidateCell(coor2adr(FCol, FRow));
  QWidget::focusInEvent(e);
  // Readers announce the cell, not just the grid.
  if (TAccessEvents::Listening()) AnnounceCurrentCell();
}

void THexGrid::focusOutEvent(QFocusEvent* e) {
  InvalidateCell(coor2adr(FCol, FRow));
  if (IsLeaving(e)) DoExit();
  QWidget::focusOutEvent(e);
}

// ---------------------------------------------------------------------------
// Mouse

void THexGrid::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    if (EditorOpen()) HideEditor();
    return;
  }
  if (EditorOpen()) HideEditor();
  setFocus(Qt::MouseFocusReason);
  const int adr = AddressAt(e->position().toPoint());
  if (adr >= 0) {
    MoveCurrent(adr % FColCount, adr / FColCount);
    SetSelStart(adr);
    SetSelEnd(FSelStart);
    FMouseOrigin = e->position().toPoint();
    FSelecting = true;
  }
}

void THexGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    if (EditorOpen()) HideEditor();
    return;
  }
  // The first press has already moved the current cell, unless OnSelectCell refused.
  ShowEditor();
}

void THexGrid::mouseMoveEvent(QMouseEvent* e) {
  QWidget::mouseMoveEvent(e);
  if (!(e->buttons() & Qt::LeftButton) || !FSelecting) return;
  const QPoint pos = e->position().toPoint();
  if (std::abs(pos.x() - FMouseOrigin.x()) < 2 && std::abs(pos.y() - FMouseOrigin.y()) < 2) return;
  const int adr = AddressAt(pos);
  if (adr >= 0) SetSelEnd(adr);
}

void THexGrid::mouseReleaseEvent(QMouseEvent* e) {
  QWidget::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton) FSelecting = false;
}

// ---------------------------------------------------------------------------
// Pop-up menu

void THexGrid::SetPopupMenu(QMenu* menu) {
  if (FPopupMenu) disconnect(FPopupMenu, nullptr, this, nullptr);
  FPopupMenu = menu;
  if (!menu) return;
  // The menu hides before the chosen item is triggered, so the clicked cell
  // is forgotten only once that has run.
  connect(menu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, [this] { FMenuAdr = -1; }); });
}

int THexGrid::MenuAddress() const { return FMenuAdr >= 0 ? FMenuAdr : coor2adr(FCol, FRow); }

void THexGrid::contextMenuEvent(QContextMenuEvent* e) {
  if (!FPopupMenu) {
    QWidget::contextMenuEvent(e);
    return;
  }
  FMenuAdr = e->reason() == QContextMenuEvent::Mouse ? AddressAt(e->pos()) : -1;
  FPopupMenu->popup(e->globalPos());
  e->accept();
}

// ---------------------------------------------------------------------------
// Keyboard

bool THexGrid::event(QEvent* e) {
  // A cell shows its own tooltip, if it has one, and a cell too narrow for
  // its value the whole value (first, unless the tooltip starts with it);
  // elsewhere the grid's own hint shows.
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const int adr = AddressAt(help->pos());
    QString text = adr >= 0 && FCellToolTip ? FCellToolTip(adr) : QString();
    if (adr >= 0 && !CellTextFits(adr)) {
      const QString whole = CellText(adr % FColCount, adr / FColCount);
      if (!text.startsWith(whole)) text = text.isEmpty() ? whole : whole + QLatin1Char('\n') + text;
    }
    if (!text.isEmpty()) {
      QToolTip::showText(help->globalPos(), text, this, CellRect(adr));
      return true;
    }
  }
  // With hgoTabs, Tab moves between cells instead of leaving the grid.
  if (e->type() == QEvent::KeyPress && FOptions.Contains(hgoTabs)) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QWidget::event(e);
}

bool THexGrid::NavigationKey(QKeyEvent* e) {
  int col = FCol;
  int row = FRow;
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  switch (e->key()) {
    case Qt::Key_Left: col = std::max(col - 1, 0); break;
    case Qt::Key_Right: col = std::min(col + 1, FColCount - 1); break;
    case Qt::Key_Up: row = std::max(row - 1, 0); break;
    case Qt::Key_Down: row = std::min(row + 1, FRowCount - 1); break;
    // Every row is visible, so a page is the whole grid.
    case Qt::Key_PageUp: row = 0; break;
    case Qt::Key_PageDown: row = FRowCount - 1; break;
    case Qt::Key_Home:
      col = 0;
      if (ctrl) row = 0;
      break;
    case Qt::Key_End:
      col = FColCount - 1;
      if (ctrl) row = FRowCount - 1;
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      if (!FOptions.Contains(hgoTabs)) return false;
      const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
      const int adr = (coor2adr(col, row) + (back ? Count() - 1 : 1)) % Count();
      col = adr % FColCount;
      row = adr / FColCount;
      break;
    }
    default: return false;
  }
  if (col != FCol || row != FRow) MoveCurrent(col, row);
  return true;
}

void THexGrid::keyPressEvent(QKeyEvent* e) {
  if (IsEnter(e) && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    ShowEditor();
    return;
  }
  const QString text = e->text();
  if (text.size() == 1 && IsHexDigit(text[0]) && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    ShowEditor();
    // The typed digit replaces the whole old text, which opening selected.
    TypeIntoEditor(text[0]);
    return;
  }
  if (NavigationKey(e)) return;
  QWidget::keyPressEvent(e);
}
