#pragma once

#include <QWidget>

class QPlainTextEdit;

// A read-only window showing a listing file, for when the desktop cannot
// start a text editor on it: monospaced, scrollable, selectable, and Ctrl+C
// copies the selection. Freed when closed.
class TListingWindow : public QWidget {
  Q_OBJECT

 public:
  // Shows the file's text; nullptr (and no window) when it cannot be read.
  static TListingWindow* ShowFile(const QString& path, QWidget* owner);

  QPlainTextEdit* ListingText() const { return FListingText; }

 private:
  explicit TListingWindow(QWidget* owner);

  QPlainTextEdit* FListingText;
};
