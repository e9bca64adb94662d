#pragma once

#include <vector>

class QObject;
class QWidget;

// The base of every program window: keeps the windows in the order in which
// they were last activated. "What's this?" help walks this list from TopForm
// down through Below to find the topmost program window under the pointer.
// A window that was never activated is not in the list.
class TZForm {
 public:
  explicit TZForm(QWidget* window);
  virtual ~TZForm();
  TZForm(const TZForm&) = delete;
  TZForm& operator=(const TZForm&) = delete;

  static TZForm* TopForm();
  // Every program window that exists, oldest first.
  static std::vector<TZForm*> AllForms();
  TZForm* Below() const { return FBelow; }
  TZForm* Above() const { return FAbove; }
  QWidget* Window() const { return FWindow; }

  // Moves this window to the top of the list; runs on every activation.
  void Activated();

  // Asked before the main window closes the program; a window with unsaved
  // work asks the user and may refuse.
  virtual bool CloseQuery() { return true; }
  // Closes the window without asking again: the main window has asked it
  // (CloseQuery) and is ending the program.
  void CloseAfterQuery();
  bool ClosingAfterQuery() const { return FClosingAfterQuery; }

 private:
  void Unlink();

  QWidget* FWindow;
  QObject* FActivationFilter;
  TZForm* FBelow = nullptr;
  TZForm* FAbove = nullptr;
  bool FClosingAfterQuery = false;
};
