#pragma once

#include <QSyntaxHighlighter>

#include "assembler/AsmLexer.h"

// Colours the source line by line with the assembler's own lexer. The colours
// live in the block layouts, not in the text, so they never enter the undo
// history; Qt re-colours exactly the lines an edit touched.
class TAsmHighlighter final : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  explicit TAsmHighlighter(QTextDocument* document);

  bool Enabled() const { return FEnabled; }
  // Off leaves every line in the document's own format (the normal style);
  // the caller re-colours the text after a switch.
  void SetEnabled(bool enabled) { FEnabled = enabled; }

 protected:
  void highlightBlock(const QString& text) override;

 private:
  TAsmLexer FLexer;
  bool FEnabled = true;
};
