#pragma once

#include <QObject>

class QKeyEvent;
class QPoint;
class QWidget;

// Context help of every program window on Qt's own "What's this?" mode:
// the main window's help button and the composer's title-bar button both
// enter QWhatsThis's mode; the next left click asks for the help context of
// the control under the pointer, any other mouse button leaves the mode
// without help. F1 asks for the context of the focused control in the
// windows that offer it.
class TContextHelp final : public QObject {
  Q_OBJECT

 public:
  // The application's one answerer of "What's this?" requests, installed
  // with the application's help hook on first use.
  static TContextHelp& Instance();

  // Enters the mode, as the platform does for a title-bar help button.
  static void StartWhatsThis();

  // F1 in this window asks for the nearest help context of the focused control.
  static void OfferF1(QWidget* window);

  // The help context of the program control under a screen point: the
  // topmost program window that holds the point, then its windowed controls
  // down to the innermost one. 0 outside every program window.
  static int ContextAt(const QPoint& globalPos);

  // Labels, bevels and flat speed buttons are drawn by their parent and take
  // no part in the hit test.
  static bool IsWindowedControl(const QWidget* widget);

 Q_SIGNALS:
  // The mode began or ended, whoever started it.
  void WhatsThisModeChanged(bool on);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TContextHelp() = default;
  static bool F1Pressed(QWidget* widget, QKeyEvent* key);
  void ModeChanged(bool on);

  bool FModeOn = false;
};
