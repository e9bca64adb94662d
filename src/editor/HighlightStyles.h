#pragma once

#include "assembler/AsmTokens.h"

class QFont;
class QTextCharFormat;

// The six fixed character styles of the source text, one per highlighting
// style, for the application's palette: light or dark. Built once, shared by
// every editor window, never changed. Each sets
// bold, italic, underline, strike-out, size, colour and face together, so
// applying one also removes what it does not have.
const QTextCharFormat& HighlightFormat(THighlightStyle style);

// The face of every style: a fixed-pitch font that exists on every desktop
// the program runs on ("DejaVu Sans Mono", monospace by hint elsewhere).
QFont SourceFont();
