#include "mainwin/ClearDialog.h"

#include "desktop/HelpHook.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

TClearDialog::TClearDialog(QWidget* parent) : QDialog(parent), TZForm(this) {
  setWindowTitle(QStringLiteral("Clear What?"));
  SetHelpContext(this, hcDialog);
  auto* group = new QGroupBox(QStringLiteral("Clear What?"), this);
  MemChecked = new QCheckBox(QStringLiteral("Main Memory"), group);
  RegChecked = new QCheckBox(QStringLiteral("Registers"), group);
  PCChecked = new QCheckBox(QStringLiteral("Program Counter"), group);
  auto* groupLayout = new QVBoxLayout(group);
  for (QCheckBox* box : {MemChecked, RegChecked, PCChecked}) {
    box->setChecked(true);
    SetHelpContext(box, hcDialog);
    groupLayout->addWidget(box);
  }
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(Buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The dialog opens in the middle of the screen, wherever the main window
  // has been moved to; a position set before showing keeps Qt from centring
  // it over its parent instead.
  adjustSize();
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
    QRect bounds(QPoint(), size());
    bounds.moveCenter(screen->availableGeometry().center());
    move(bounds.topLeft());
  }
}
