#include "mainwin/ClearDialog.h"

#include "app/HelpHook.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

TClearDialog::TClearDialog(QWidget* parent) : QDialog(parent), TZForm(this) {
  setWindowTitle(QStringLiteral("Clear What?"));
  SetHelpContext(this, 9999);
  auto* group = new QGroupBox(QStringLiteral("Clear What?"), this);
  MemChecked = new QCheckBox(QStringLiteral("Main Memory"), group);
  RegChecked = new QCheckBox(QStringLiteral("Registers"), group);
  PCChecked = new QCheckBox(QStringLiteral("Program Counter"), group);
  auto* groupLayout = new QVBoxLayout(group);
  for (QCheckBox* box : {MemChecked, RegChecked, PCChecked}) {
    box->setChecked(true);
    SetHelpContext(box, 9999);
    groupLayout->addWidget(box);
  }
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(Buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}
