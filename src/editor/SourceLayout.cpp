#include "editor/SourceLayout.h"

#include "editor/SourceLineData.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

// Stores the new height and tells whether it is the one the line had.
bool SameHeight(const QTextBlock& block, qreal height) {
  const TSourceLineData* known = TSourceLineData::Find(block);
  const bool same = known != nullptr && known->Height == height;
  TSourceLayout::RememberHeight(block, height);
  return same;
}

}  // namespace

void TSourceLayout::RememberHeight(const QTextBlock& block, qreal height) {
  TSourceLineData::Of(block).Height = height;
}

void TSourceLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
  if (charsRemoved > 0 && charsAdded > 0) {
    // The new text is [from, from + charsAdded): when one line holds all of
    // it, that line is the whole change. (A change of the line count is
    // still laid out in full by the base class.)
    const QTextBlock block = document()->findBlock(from);
    if (block.isValid() && from + charsAdded <= block.position() + block.length() &&
        SameHeight(block, blockBoundingRect(block).height())) {
      QPlainTextDocumentLayout::documentChanged(from, 0, charsAdded);
      return;
    }
  }
  QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}
