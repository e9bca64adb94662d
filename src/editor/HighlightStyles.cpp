#include "editor/HighlightStyles.h"

#include <QBrush>
#include <QFont>
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

std::array<QTextCharFormat, StyleCount> MakeFormats() {
  const QColor black(0, 0, 0);
  const QColor navy(0, 0, 128);
  const QColor blue(0, 0, 255);
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
  static const std::array<QTextCharFormat, StyleCount> formats = MakeFormats();
  return formats[style < StyleCount ? style : hsNormal];
}
