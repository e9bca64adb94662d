#pragma once

#include <QColor>
#include <QPalette>

// Colours that follow the desktop. On a light palette the program's own
// colours are shown as they are; on a dark one each is lightened until it
// stands out from its background with a contrast of at least MinContrast.
class TReadableColour {
 public:
  static constexpr double MinContrast = 4.5;

  // Whether a palette is dark: its window colour darker than its text.
  static bool IsDark(const QPalette& palette);
  // WCAG 2 contrast ratio of two colours (1 .. 21).
  static double Contrast(const QColor& a, const QColor& b);
  // The colour to paint text of the given colour on the background with.
  static QColor On(const QColor& colour, const QColor& background, const QPalette& palette);
};
