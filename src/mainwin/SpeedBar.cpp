#include "mainwin/SpeedBar.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

TSpeedBar::TSpeedBar(const QList<int>& speeds, const QList<QAction*>& actions, QWidget* parent)
    : QToolBar(QStringLiteral("Speed Bar"), parent), FSpeedBox(new QComboBox(this)) {
  // Found again by QMainWindow::restoreState and by the accessibility tree.
  setObjectName(QStringLiteral("SpeedBar"));
  auto* label = new QLabel(QStringLiteral("Speed "), this);
  label->setBuddy(FSpeedBox);
  // The actions that hold the widgets are named as well, for the tools
  // that list a window's commands.
  addWidget(label)->setText(QStringLiteral("Speed"));
  for (int speed : speeds) FSpeedBox->addItem(SpeedText(speed), speed);
  FSpeedBox->setToolTip(QStringLiteral("Instructions per second while running"));
  FSpeedBox->setStatusTip(FSpeedBox->toolTip());
  FSpeedBox->setAccessibleName(QStringLiteral("Run speed"));
  FSpeedBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  FSpeedBox->view()->setAccessibleName(QStringLiteral("Run speeds"));
  addWidget(FSpeedBox)->setText(FSpeedBox->accessibleName());
  if (!actions.isEmpty()) addSeparator();
  for (QAction* action : actions) addAction(action);
  connect(FSpeedBox, &QComboBox::activated, this,
          [this](int index) { Q_EMIT SpeedChosen(FSpeedBox->itemData(index).toInt()); });
}

void TSpeedBar::ShowSpeed(int perSecond) {
  const QSignalBlocker quiet(FSpeedBox);
  const int index = FSpeedBox->findData(perSecond);
  if (index >= 0) FSpeedBox->setCurrentIndex(index);
}

QString TSpeedBar::SpeedText(int perSecond) {
  return perSecond == 0 ? QStringLiteral("Max") : QStringLiteral("%1/s").arg(perSecond);
}
