#include "editor/AsmHighlighter.h"

#include "editor/HighlightStyles.h"

#include <QByteArray>
#include <QTextDocument>

TAsmHighlighter::TAsmHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void TAsmHighlighter::highlightBlock(const QString& text) {
  if (!FEnabled || text.isEmpty()) return;
  // The document holds 8-bit text only, so one character is one byte and
  // token positions are character positions.
  const QByteArray bytes = text.toLatin1();
  FLexer.SetText(bytes.constData(), static_cast<int>(bytes.size()));
  FLexer.TokenizeLine();
  FLexer.AssignStyles();
  // The styles' sizes are for 100 %; a zoomed editor has a larger source font.
  const qreal zoom = document()->defaultFont().pointSizeF() / SourceFont().pointSizeF();
  for (const TToken& run : FLexer.Tokens()) {
    if (qFuzzyCompare(zoom, 1.0)) {
      setFormat(run.StartPos, run.EndPos - run.StartPos, HighlightFormat(run.Style));
    } else {
      QTextCharFormat format = HighlightFormat(run.Style);
      format.setFontPointSize(format.fontPointSize() * zoom);
      setFormat(run.StartPos, run.EndPos - run.StartPos, format);
    }
  }
}
