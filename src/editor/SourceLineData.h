#pragma once

#include <QTextBlock>
#include <QTextBlockUserData>

// What the editor keeps beside the text of a line: the height it was last
// shown with (see TSourceLayout) and whether the student set a breakpoint
// on it. Kept in the line's block, the mark moves with the line as lines
// above it are typed or deleted, and goes with the line when it is deleted.
class TSourceLineData final : public QTextBlockUserData {
 public:
  qreal Height = -1;  // not shown yet
  bool Breakpoint = false;

  // The line's data, made on first use.
  static TSourceLineData& Of(const QTextBlock& block) {
    auto* data = static_cast<TSourceLineData*>(block.userData());
    if (data == nullptr) {
      data = new TSourceLineData;
      QTextBlock(block).setUserData(data);
    }
    return *data;
  }
  // The line's data when it has any, else nullptr.
  static const TSourceLineData* Find(const QTextBlock& block) {
    return static_cast<const TSourceLineData*>(block.userData());
  }
};
