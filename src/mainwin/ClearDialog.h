#pragma once

#include "desktop/ZForm.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;

// "Clear What?": which of memory, registers and PC the Clear command resets.
// A new dialog is made for every use, so all three boxes start checked.
class TClearDialog : public QDialog, public TZForm {
  Q_OBJECT

 public:
  explicit TClearDialog(QWidget* parent = nullptr);

  QCheckBox* MemChecked;
  QCheckBox* RegChecked;
  QCheckBox* PCChecked;
  QDialogButtonBox* Buttons;
};
