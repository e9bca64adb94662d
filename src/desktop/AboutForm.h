#pragma once

#include "desktop/ZForm.h"

#include <QDialog>

struct TSettings;
class QLabel;
class QPushButton;

// The program's name, version, legal notice and contact address. Modeless;
// every request makes a new box, which frees itself when it closes.
class TAboutForm : public QDialog, public TZForm {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 427;
  static constexpr int ClientHeight = 187;

  // Builds the box over the centre of the owner (the main window).
  TAboutForm(const TSettings& settings, QWidget* owner);

  // Where a box of the given size goes over the owner's rectangle: centred,
  // each half-difference truncated toward zero.
  static QPoint CentredOver(const QRect& owner, const QSize& box);

  QLabel* Versie() const { return FVersie; }
  QLabel* CRight() const { return FCRight; }
  QLabel* EMailLabel() const { return FEMailLabel; }
  QPushButton* CloseAboutButton() const { return FCloseAboutButton; }
  QPushButton* InfoAboutButton() const { return FInfoAboutButton; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EMailLabelClick();

  const TSettings& FSettings;
  QLabel* FBackGround;
  QLabel* FAboutL1;
  QLabel* FVersie;
  QLabel* FCRight;
  QLabel* FEMailLabel;
  QPushButton* FCloseAboutButton;
  QPushButton* FInfoAboutButton;
};
