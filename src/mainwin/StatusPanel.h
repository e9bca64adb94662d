#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// The owner-drawn third panel of the main window's status bar: one text in
// one colour, drawn at the panel's top-left corner.
class TStatusPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TStatusPanel(QWidget* parent = nullptr);

  QString Text() const { return FText; }
  QColor Color() const { return FColor; }
  void SetText(const QString& text, const QColor& color);
  // The colour the text is drawn in: Color, readable on the palette.
  QColor PaintedColor() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString FText;
  QColor FColor;
};
