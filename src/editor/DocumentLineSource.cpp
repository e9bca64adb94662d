#include "editor/DocumentLineSource.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

int TDocumentLineSource::LineCount() const { return FDocument.blockCount(); }

int TDocumentLineSource::LineStart(int i) const {
  // A block position counts each earlier break once; add the second half.
  return FDocument.findBlockByNumber(i).position() + i;
}

int TDocumentLineSource::LineLength(int i) const {
  return static_cast<int>(FDocument.findBlockByNumber(i).text().size());
}

void TDocumentLineSource::CopyLine(int i, char* dest) const {
  const QByteArray bytes = FDocument.findBlockByNumber(i).text().toLatin1();
  std::copy(bytes.cbegin(), bytes.cend(), dest);
}
