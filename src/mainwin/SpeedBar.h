#pragma once

#include <QToolBar>

class QAction;
class QComboBox;

// A strip of run controls for the main window: the run speed as a list
// (the same choices as Run > Speed, fastest first) and, given at creation,
// buttons for going back. Hidden until the student shows it (View menu).
class TSpeedBar : public QToolBar {
  Q_OBJECT

 public:
  // speeds: instructions per second, 0 for Max, in the order of the list.
  TSpeedBar(const QList<int>& speeds, const QList<QAction*>& actions, QWidget* parent = nullptr);

  QComboBox* SpeedBox() const { return FSpeedBox; }
  // Shows a speed chosen elsewhere without reporting it back.
  void ShowSpeed(int perSecond);

  static QString SpeedText(int perSecond);

 Q_SIGNALS:
  void SpeedChosen(int perSecond);

 private:
  QComboBox* FSpeedBox;
};
