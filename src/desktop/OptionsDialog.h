#pragma once

#include "desktop/ZForm.h"

#include <QDialog>

struct TSettings;
class QLineEdit;
class QPushButton;
class QGroupBox;

// Edits the web help address and the temporary listing file. The values go
// into the settings when the user presses OK; nothing is checked.
class TOptionsDialog : public QDialog, public TZForm {
  Q_OBJECT

 public:
  TOptionsDialog(TSettings& settings, QWidget* owner = nullptr);

  QLineEdit* WebHelpAdrInput() const { return FWebHelpAdrInput; }
  QLineEdit* TempLstFileInput() const { return FTempLstFileInput; }
  QPushButton* DefaultWebHelpAdrButton() const { return FDefaultWebHelpAdrButton; }
  QPushButton* DefaultTempLstFileButton() const { return FDefaultTempLstFileButton; }
  QPushButton* OkButton() const { return FOkButton; }
  QPushButton* CancelButton() const { return FCancelButton; }

 private:
  void DefaultWebHelpAdrButtonClick();
  void DefaultTempLstFileButtonClick();
  void OkButtonClick();

  TSettings& FSettings;
  QGroupBox* FPathsOptionsGroup;
  QLineEdit* FWebHelpAdrInput;
  QLineEdit* FTempLstFileInput;
  QPushButton* FDefaultWebHelpAdrButton;
  QPushButton* FDefaultTempLstFileButton;
  QPushButton* FOkButton;
  QPushButton* FCancelButton;
};
