#pragma once

#include "controls/Zoomable.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

class QLineEdit;
class THexGridModel;
class QMenu;
class QPainter;

// Raised for a cell address outside the grid; the message names the operation.
class EInvalidGridOperation : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// What the grid draws and how its keys behave; only these four are read.
enum THexGridOption {
  hgoVertLine,          // a line right of every cell
  hgoHorzLine,          // a line below every cell
  hgoTabs,              // Tab moves between cells instead of leaving the grid
  hgoAlwaysShowEditor,  // the editor opens on focus and stays open on leaving
};

// A set of THexGridOption members.
class THexGridOptions {
 public:
  constexpr THexGridOptions() = default;
  constexpr THexGridOptions(std::initializer_list<THexGridOption> members) {
    for (THexGridOption m : members) FBits |= Bit(m);
  }
  constexpr bool Contains(THexGridOption m) const { return (FBits & Bit(m)) != 0; }
  constexpr bool operator==(const THexGridOptions&) const = default;

 private:
  static constexpr unsigned Bit(THexGridOption m) { return 1u << static_cast<unsigned>(m); }
  unsigned FBits = 0;
};

// Flags of the State passed to OnDrawCell.
enum TGridDrawStateFlag : unsigned { gdSelected = 1, gdFocused = 2, gdChanged = 4 };
using TGridDrawState = unsigned;

// A font together with its colour, as the grid's extra fonts carry both.
struct TGridFont {
  QFont Font;
  QColor Color;
};

// A grid of integer cells shown as fixed-width upper-case hexadecimal, with
// access by linear address (row * ColCount + col), an in-place hex editor, a
// contiguous address-range selection made by dragging, and a mark on the most
// recently changed cell. Without a model the grid holds its cells itself and
// a write reports to OnCellChanged at once; with one (SetModel) it is a view:
// writes go to the model, and Refresh takes what changed there, once per
// frame however often the cells were written in between.
class THexGrid : public QWidget, public TZoomable {
  Q_OBJECT

 public:
  explicit THexGrid(QWidget* parent = nullptr);
  ~THexGrid() override;

  // Events, in the manner of the original control's event properties.
  std::function<void(THexGrid* sender, int adr, int32_t oldValue, int32_t value)> OnCellChanged;
  std::function<void(THexGrid* sender, int selStart, int selEnd)> OnSelChanged;
  std::function<void(THexGrid* sender, int col, int row, bool& canSelect)> OnSelectCell;
  std::function<void(THexGrid* sender, int col, int row, int& value)> OnGetEditLimit;
  std::function<void(THexGrid* sender, int col, int row, const QRect& rect, TGridDrawState state, QPainter& painter)>
      OnDrawCell;
  // The name a screen reader gives a cell ("memory 3F"); "cell 3F" unless changed.
  std::function<void(THexGrid* sender, int adr, QString& name)> OnGetCellName;

  int Count() const { return FColCount * FRowCount; }
  int32_t GetContents(int adr) const;
  // With a model, a write goes to the model and is shown by the Refresh
  // that follows at once.
  void SetContents(int adr, int32_t value);

  // The cells shown from now on; the model must hold Count() cells and
  // outlive the grid (or be replaced by nullptr first).
  void SetModel(THexGridModel* model);
  THexGridModel* Model() const { return FModel; }
  // Shows what changed in the model since the last look: each changed cell
  // is repainted, the newest change is marked, OnCellChanged is told, and
  // a value arriving in the cell being edited replaces the digits typed.
  void Refresh();

  int32_t GetCells(int col, int row) const { return GetContents(coor2adr(col, row)); }
  void SetCells(int col, int row, int32_t value) { SetContents(coor2adr(col, row), value); }
  int coor2adr(int col, int row) const { return col + row * FColCount; }

  // Selection: FSelStart where it was started, FSelEnd the moving end; both -1 for none.
  int SelStart() const { return FSelStart; }
  int SelEnd() const { return FSelEnd; }
  int GetSelLo() const { return FSelStart < FSelEnd ? FSelStart : FSelEnd; }
  int GetSelHi() const { return FSelStart < FSelEnd ? FSelEnd : FSelStart; }
  void SetSelStart(int adr) { MoveSelBound(FSelStart, adr); }
  void SetSelEnd(int adr) { MoveSelBound(FSelEnd, adr); }

  bool Modified() const { return FModified; }
  virtual void SetModified(bool value);
  int ChangedAdr() const { return FChangedAdr; }

  virtual int GetEditLimit(int col, int row) const;
  int GetEditLimit() const { return GetEditLimit(FEditCol, FEditRow); }
  virtual bool SelectCell(int col, int row);

  // The current (keyboard) cell.
  int Col() const { return FCol; }
  int Row() const { return FRow; }
  // Moves the current cell if SelectCell allows it; returns whether it moved.
  bool MoveCurrent(int col, int row);

  // The in-place editor.
  virtual void ShowEditor();
  virtual void HideEditor();
  virtual void UpdateText();
  bool EditorOpen() const { return FEditCol >= 0; }
  int EditCol() const { return FEditCol; }
  int EditRow() const { return FEditRow; }
  QLineEdit* Editor() const { return FEditor; }
  // Focuses the grid, or its editor when that is open.
  void SetFocus();
  // After the owner has configured the grid: all cells 0, and the editor
  // opened when hgoAlwaysShowEditor is set.
  virtual void Loaded();

  // Properties.
  int ColCount() const { return FColCount; }
  int RowCount() const { return FRowCount; }
  void SetColCount(int value) { SetGridSize(value, FRowCount); }
  void SetRowCount(int value) { SetGridSize(FColCount, value); }
  QColor Color() const { return FColor; }
  void SetColor(const QColor& value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int value);
  THexGridOptions Options() const { return FOptions; }
  virtual void SetOptions(THexGridOptions value);
  // Hex digits the editor takes where OnGetEditLimit says nothing else.
  static constexpr int DefaultLimit() { return 2; }
  const TGridFont& FontChanged() const { return FFontChanged; }
  virtual void SetFontChanged(const TGridFont& value);
  const TGridFont& FontSelected() const { return FFontSelected; }
  virtual void SetFontSelected(const TGridFont& value);
  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* menu);
  // The cell the pop-up menu is about: the one right-clicked while the menu
  // it opened is showing, the current cell otherwise (a menu opened from the
  // keyboard, or an item triggered by its key).
  int MenuAddress() const;
  // What the tooltip of a cell says (an empty text: nothing of its own). A
  // cell too narrow for its value shows the whole value as well.
  using TCellToolTip = std::function<QString(int adr)>;
  void SetCellToolTip(TCellToolTip text) { FCellToolTip = std::move(text); }

  // Geometry, in widget pixels: the cell's own area (without its grid lines)
  // and the address under a point (-1 outside every cell; a grid line belongs
  // to the cell before it).
  QRect CellRect(int adr) const;
  QRect CellRect(int col, int row) const { return CellRect(coor2adr(col, row)); }
  int AddressAt(const QPoint& point) const;
  // What a cell shows: its stored value with GetEditLimit digits.
  QString CellText(int col, int row) const;
  // False when the cell's text is wider than the cell (a program file may
  // put any 32-bit value into it); its tooltip then shows the whole text.
  bool CellTextFits(int adr) const;
  QString CellName(int adr) const;
  // The colours a cell is painted in: Color and the font colours on a light
  // palette; on a dark one the window's colour and text that stands out on it.
  QColor CellBackground(int adr) const;
  QColor CellTextColor(int adr) const;
  // Whether a screen reader hears of each changed value (on by default).
  bool AnnounceChanges() const { return FAnnounceChanges; }
  void SetAnnounceChanges(bool value) { FAnnounceChanges = value; }
  // Reads editor text as hexadecimal: -1 when invalid, 0 when empty.
  static int32_t HexTextValue(const QString& text);

  QSize sizeHint() const override;
  // Scales the cells and the extra fonts from their sizes at the first zoom.
  void SetZoom(double factor) override;

 protected:
  // Called after ColCount or RowCount changed; keeps the cells by address.
  virtual void SizeChanged(int oldColCount, int oldRowCount);
  virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect);

  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  [[noreturn]] void RaiseOutOfBounds(const char* operation, int adr) const;
  void MoveSelBound(int& bound, int adr);
  void InvalidateCell(int adr);
  void InvalidateAll();
  void ClearInvalidMarks();
  // Tell a listening screen reader that a cell's value, or the current cell,
  // changed.
  void AnnounceCell(int adr);
  void AnnounceCurrentCell();
  void SetGridSize(int cols, int rows);
  // The sunken panel drawn round the cells.
  static constexpr int BorderWidth() { return 2; }
  int VertLineWidth() const { return FOptions.Contains(hgoVertLine) ? FGridLineWidth : 0; }
  int HorzLineWidth() const { return FOptions.Contains(hgoHorzLine) ? FGridLineWidth : 0; }
  QString FormatValue(int32_t value, int digits) const;
  void SetEditorText(const QString& text, int limit);
  void EditorKey(QKeyEvent* e, bool& consumed);
  void TypeIntoEditor(QChar ch);
  void EditorEnter();
  bool IsLeaving(QFocusEvent* e) const;
  void DoExit();
  bool NavigationKey(QKeyEvent* e);
  void ResetDerivedFonts();
  // Stores a value that differs from the one shown, with the marks a change gets.
  void ShowChange(int adr, int32_t value);
  void StoreShown(int adr, int32_t value);
  void MarkChanged(int adr);

  // The values shown: the cells themselves without a model, a copy of the
  // model's with one.
  std::vector<int32_t> FContents;
  THexGridModel* FModel = nullptr;
  uint64_t FSeenGeneration = 0;
  // One byte per cell: an update of the cell's area is already pending, so
  // further writes before the next paint need not ask again.
  std::vector<uint8_t> FInvalid;
  int FColCount = 5;
  int FRowCount = 5;
  int FCol = 0;
  int FRow = 0;
  int FSelStart = -1;
  int FSelEnd = -1;
  int FChangedAdr = -1;
  bool FModified = false;
  bool FAnnounceChanges = true;
  QLineEdit* FEditor = nullptr;
  int FEditCol = -1;
  int FEditRow = -1;
  bool FSelecting = false;
  QPoint FMouseOrigin;

  QColor FColor{240, 240, 245};
  int FDefaultColWidth = 24;
  int FDefaultRowHeight = 15;
  int FGridLineWidth = 1;
  THexGridOptions FOptions{hgoVertLine, hgoHorzLine};
  TGridFont FFontChanged;
  TGridFont FFontSelected;
  // Until assigned, the extra fonts follow the grid's own font.
  bool FFontChangedAssigned = false;
  bool FFontSelectedAssigned = false;
  // The sizes before any zoom; FZoomBaseCol 0 until the first zoom.
  int FZoomBaseCol = 0;
  int FZoomBaseRow = 0;
  QFont FZoomBaseChanged;
  QFont FZoomBaseSelected;
  QMenu* FPopupMenu = nullptr;
  int FMenuAdr = -1;
  TCellToolTip FCellToolTip;
};
