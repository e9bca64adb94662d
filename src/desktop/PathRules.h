#pragma once

#include <QString>

// File names from the settings and the dialogs may use either separator:
// stored values written on Windows use backslashes.

// Index of the last '/' or '\', or -1.
int LastSeparator(const QString& path);
inline bool HasSeparator(const QString& path) { return LastSeparator(path) >= 0; }
// The text before the last separator; empty when there is none.
QString DirectoryPart(const QString& path);
// The name between the last separator and the last full stop after it, or
// empty when the last component has no full stop ("C:\src\prog" gives "").
QString BareFileName(const QString& path);
