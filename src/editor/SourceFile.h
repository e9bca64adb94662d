#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextDocument;

// Assembly sources are 8-bit text: one byte is one character (Latin-1), so
// every byte of a file survives a load and a save unchanged.

// Every line costs the editor's document a few hundred bytes and its load
// a few microseconds: 16 MB of empty lines would take gigabytes and
// minutes. A source for 256 cells has a few hundred lines.
constexpr qsizetype MaxSourceLines = 1000000;

// Reads a source file into lines (a line ends at CR LF, a lone CR or a lone
// LF). On failure returns false with the message to show; a file of more
// than MaxSourceLines lines is refused ("File too large: PATH has more than
// 1000000 lines").
bool ReadSourceFile(const QString& path, QStringList& lines, QString& error);

// The lines of a document as a file: each line followed by CR LF. The last
// block of a document is the text after its final line break, so it is a
// line only when it holds something.
QByteArray EncodeSource(const QTextDocument& document);

// Writes a whole file atomically: the old file is replaced only once the new
// one is complete. On failure returns false with the message to show.
bool WriteSourceFile(const QString& path, const QByteArray& bytes, QString& error);

// Replaces every character without an 8-bit code (an empty replacement drops
// it) and returns how many there were.
int ReplaceNonEightBit(QString& text, const QString& replacement = QStringLiteral("?"));
// The characters of text that have no 8-bit code, each once, in order.
QString NonEightBitCharacters(const QString& text);
