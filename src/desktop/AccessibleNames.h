#pragma once

class QString;
class QWidget;

// Gives every control of a window that a screen reader would find nameless
// (no caption, no label) its hint text as accessible name. Call once the
// window's controls exist; controls named already keep their names.
void NameUnnamedControls(QWidget* window);

// The name a screen reader gives a widget ("" when it has none).
QString AccessibleNameOf(QWidget* widget);
