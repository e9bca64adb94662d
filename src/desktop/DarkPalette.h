#pragma once

#include <QColor>
#include <QPalette>

// The palette of View > Dark Colours.
QPalette DarkPalette();
