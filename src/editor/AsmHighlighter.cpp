#include "editor/AsmHighlighter.h"

#include "assembler/AsmParser.h"
#include "editor/HighlightStyles.h"

#include <QByteArray>

TAsmHighlighter::TAsmHighlighter(TAsmParser& parser, QTextDocument* document)
    : QSyntaxHighlighter(document), FParser(parser) {}

void TAsmHighlighter::highlightBlock(const QString& text) {
  if (!FEnabled || text.isEmpty()) return;
  // The document holds 8-bit text only, so one character is one byte and
  // token positions are character positions.
  const QByteArray bytes = text.toLatin1();
  FParser.SetText(bytes.constData(), static_cast<int>(bytes.size()));
  FParser.TokenizeLine();
  FParser.AssignStyles();
  for (const TToken& run : FParser.Tokens())
    setFormat(run.StartPos, run.EndPos - run.StartPos, HighlightFormat(run.Style));
}
