#pragma once

#include "machine/TerminalModel.h"

#include <QColor>
#include <QFrame>
#include <QStringList>

#include <string_view>

// The output terminal: a read-only, fixed-pitch character terminal into which
// bytes are written one at a time. A write only changes the text model and
// asks for a repaint; painting draws the model, mapping every byte through
// Windows-1252 (control codes included) and interpreting nothing else.
class QMenu;

class TShowText : public QFrame {
  Q_OBJECT

 public:
  explicit TShowText(QWidget* parent = nullptr);

  void Write(char ch);
  void Write(const char* text);
  // Shows base with the bytes written after it: the terminal as it was at
  // an earlier point of the output (a step back takes printed bytes away).
  void Restore(const TTerminalModel& base, std::string_view bytes);

  // Empties the terminal; the next byte is written at the top left.
  void Clear() { Restore(TTerminalModel(), {}); }

  // Shows and writes model, which the caller keeps (a session's terminal
  // with its history writes the output into it); nullptr: a model of its own.
  void SetModel(TTerminalModel* model);
  // Fits the model to a new size or font before bytes are written into it
  // from outside, as Write does before each byte.
  void Fit();
  // Bytes were written into the model from outside: repaint, and tell a
  // screen reader what came.
  void Wrote(std::string_view bytes);
  // The model was drawn again from outside (a step back, a clearing).
  void Redrawn();
  // The text shown, a line each, without the blanks at the ends of lines.
  QString VisibleText() const;
  // The menu the right mouse button (or the menu key) opens; none by default.
  void SetContextMenu(QMenu* menu);
  QMenu* ContextMenu() const { return FContextMenu; }

  // Measures "x" in the current font, sets the size in character cells and
  // fits the lines to it.
  virtual void CalcWinSize();
  // After the owner has configured the control.
  virtual void Loaded() { CalcWinSize(); }

  const TTerminalModel& Model() const { return *FModel; }
  int Cols() const { return FCols; }
  int Rows() const { return FRows; }
  int CurLine() const { return FModel->CurLine(); }
  // The lines as they are shown.
  QStringList Lines() const;
  // What a screen reader gets: the lines joined by line breaks, trailing
  // blanks of a line left out (they are only the terminal's empty cells).
  QString ReadableText() const;
  // The character a byte is shown as.
  static QChar DisplayChar(unsigned char ch);
  // The pixel size at which the font's line height comes nearest to the
  // given height (the larger size when two are equally near). Terminal sizes
  // are given in lines of a height; the em size of a face says little about
  // how many of its lines fit.
  static int PixelSizeForLineHeight(const QFont& font, int lineHeight);

  // Whether a screen reader hears of each byte written (on by default; off
  // while a program runs at full speed).
  void SetAnnounceWrites(bool value) { FAnnounceWrites = value; }
  bool AnnounceWrites() const { return FAnnounceWrites; }

  QColor Color() const { return FColor; }
  void SetColor(const QColor& value);
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& value);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void RequestRepaint();

  TTerminalModel FOwnModel;
  TTerminalModel* FModel = &FOwnModel;
  QMenu* FContextMenu = nullptr;
  int FCols = 0;
  int FRows = 0;
  int FLastFontHeight = 0;
  int FLastHeight = 0;
  int FLastWidth = 0;
  // Set by a font change, so that a new font of the same height is measured too.
  bool FFontDirty = true;
  int FCharWidth = 1;
  int FCharHeight = 1;
  int FAscent = 0;
  // An update of the whole control is pending; further writes need not ask again.
  bool FRepaintPending = false;
  bool FForcingFixedPitch = false;
  bool FAnnounceWrites = true;
  QColor FColor{64, 64, 64};
  QColor FFontColor{255, 255, 255};
};
