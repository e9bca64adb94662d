#pragma once

#include <QColor>
#include <QPalette>

// A dark palette for View > Dark Colours, and the desktop's own to go back to.
QPalette DarkPalette();
QPalette DesktopPalette();

// Whether a palette is dark: its window colour darker than its text.
bool IsDarkPalette(const QPalette& palette);

// WCAG 2 contrast ratio of two colours (1 .. 21); text needs 4.5.
double ContrastRatio(const QColor& a, const QColor& b);
