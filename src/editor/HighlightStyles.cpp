#include "editor/HighlightStyles.h"

#include "controls/ReadableColour.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QTextCharFormat>

#include <array>

namespace {

constexpr int StyleCount = hsError + 1;

QTextCharFormat MakeFormat(bool bold, bool italic, bool underline, qreal points, const QColor& color) {
  QTextCharFormat format;
  const QFont face = SourceFont();
  format.setFontFamilies(face.families());
  format.setFontStyleHint(QFont::Monospace);
  format.setFontFixedPitch(true);
  format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(italic);
  format.setFontUnderline(underline);
  format.setFontStrikeOut(false);
  format.setFontPointSize(points);
  format.setForeground(QBrush(color));
  return format;
}

// On a dark palette the same styles are light: the text light grey, comments
// a light slate blue, numbers and strings a light blue, each readable on a
// dark ground.
std::array<QTextCharFormat, StyleCount> MakeFormats(bool dark) {
  const QColor black = dark ? QColor(230, 230, 230) : QColor(0, 0, 0);
  const QColor navy = dark ? QColor(160, 170, 255) : QColor(0, 0, 128);
  const QColor blue = dark ? QColor(110, 180, 255) : QColor(0, 0, 255);
  std::array<QTextCharFormat, StyleCount> formats;
  formats[hsNormal] = MakeFormat(false, false, false, 10, black);
  formats[hsKeyword] = MakeFormat(true, false, false, 10, black);
  formats[hsComment] = MakeFormat(false, true, false, 9, navy);
  formats[hsNumeric] = MakeFormat(false, false, false, 10, blue);
  formats[hsString] = MakeFormat(false, false, false, 10, blue);
  formats[hsError] = MakeFormat(false, false, true, 10, black);
  return formats;
}

}  // namespace

QFont SourceFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSize(10);
  return font;
}

const QTextCharFormat& HighlightFormat(THighlightStyle style) {
  static const std::array<QTextCharFormat, StyleCount> light = MakeFormats(false);
  static const std::array<QTextCharFormat, StyleCount> dark = MakeFormats(true);
  const auto& formats = TReadableColour::IsDark(QGuiApplication::palette()) ? dark : light;
  return formats[style < StyleCount ? style : hsNormal];
}
