#pragma once

#include <QPlainTextDocumentLayout>

class QTextBlock;

// The editor's document layout. A keystroke and the re-colouring of its line
// reach the layout as one change of the whole line, which Qt's plain-text
// layout reads as reaching into the next line: it lays out both and repaints
// the whole view. Here a change that stays within one line repaints only that
// line's band, unless the line's height changed (a line of nothing but a
// comment is smaller), when everything below it is painted again.
class TSourceLayout final : public QPlainTextDocumentLayout {
  Q_OBJECT

 public:
  explicit TSourceLayout(QTextDocument* document) : QPlainTextDocumentLayout(document) {}

  // Notes the height a line is shown with; a line whose height is not known
  // yet is repainted with everything below it.
  static void RememberHeight(const QTextBlock& block, qreal height);

 protected:
  void documentChanged(int from, int charsRemoved, int charsAdded) override;
};
