#pragma once

#include "assembler/LineSource.h"

class QTextDocument;

// The editor's document as the assembler's line source: one block is one
// line. Positions count every line break as two characters, as the
// assembler's line model has it.
class TDocumentLineSource final : public TLineSource {
 public:
  explicit TDocumentLineSource(const QTextDocument& document) : FDocument(document) {}

  int LineCount() const override;
  int LineStart(int i) const override;
  int LineLength(int i) const override;
  void CopyLine(int i, char* dest) const override;

 private:
  const QTextDocument& FDocument;
};
