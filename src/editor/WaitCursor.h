#pragma once

#include <QApplication>
#include <QCursor>

// Shows the hourglass for the lifetime of the object; the normal cursor comes
// back however the scope is left.
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~TWaitCursor() { Release(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

  void Release() {
    if (FActive) QApplication::restoreOverrideCursor();
    FActive = false;
  }

 private:
  bool FActive = true;
};
