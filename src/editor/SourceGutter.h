#pragma once

#include <QWidget>

class TSourceEdit;

// The margin left of the source: line numbers when the student turned them
// on (View > Line Numbers), and a column of breakpoint dots. The dot column
// takes room only while line numbers are shown or a line is marked, so that
// the editor looks as always until a student asks for either. It paints the
// lines its editor shows and hands clicks back to it by line.
class TSourceGutter final : public QWidget {
  Q_OBJECT

 public:
  explicit TSourceGutter(TSourceEdit& editor);

  // The width the margin needs now (0: none).
  int NeededWidth() const;
  // The width of the dot column, left of the numbers.
  int DotColumnWidth() const;
  QSize sizeHint() const override { return {NeededWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int DigitsWidth() const;

  TSourceEdit& FEditor;
};
