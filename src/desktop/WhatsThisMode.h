#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QAbstractButton;
class QWidget;

// "What's this?" help of one window: after the toggle button is pressed, the
// next left click anywhere shows the help of the control under the pointer;
// any other mouse button leaves the mode without help.
class TWhatsThisMode final : public QObject {
  Q_OBJECT

 public:
  TWhatsThisMode(QWidget* window, QAbstractButton* button);
  ~TWhatsThisMode() override;

  // Enters the mode: help cursor, all mouse input to the window.
  void Start();
  bool Active() const { return FActive; }

  // The help context of the program control under a screen point: the
  // topmost program window that holds the point, then its windowed controls
  // down to the innermost one. 0 outside every program window.
  static int ContextAt(const QPoint& globalPos);
  // Labels, bevels and flat speed buttons are drawn by their parent and take
  // no part in the hit test.
  static bool IsWindowedControl(const QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Finish();
  void TrackButtonHover(const QPoint& globalPos);

  QWidget* FWindow;
  QPointer<QAbstractButton> FButton;
  QPointer<QWidget> FPreviousGrabber;
  bool FActive = false;
  bool FOverButton = false;
  bool FWasTracking = false;
};
