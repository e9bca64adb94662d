#include "desktop/OptionsDialog.h"

#include "desktop/ContextHelp.h"
#include "desktop/HelpHook.h"
#include "desktop/Settings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

namespace {

QPushButton* HelpedButton(const QString& caption, THelpContext context, const QString& hint, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  // Enter presses the button that has the focus, as Space does; from the
  // edits it presses OK.
  button->setAutoDefault(true);
  SetHelpContext(button, context);
  if (!hint.isEmpty()) button->setToolTip(hint);
  return button;
}

// The width a one-line edit needs to show the text whole.
int LineEditWidthFor(const QLineEdit* edit, const QString& text) {
  const QMargins margins = edit->textMargins();
  // QLineEdit keeps two pixels free on either side of its text, and one for the caret.
  const int inner = edit->fontMetrics().horizontalAdvance(text) + 2 * 2 + 1 + margins.left() + margins.right();
  QStyleOptionFrame option;
  option.initFrom(edit);
  option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
  return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, edit->height()), edit).width();
}

}  // namespace

TOptionsDialog::TOptionsDialog(TSettings& settings, QWidget* owner)
    : QDialog(owner), TZForm(this), FSettings(settings) {
  setWindowTitle(QStringLiteral("Options"));
  setWindowFlags((windowFlags() | Qt::WindowContextHelpButtonHint | Qt::WindowSystemMenuHint) &
                 ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  SetHelpContext(this, hcDialog);

  FPathsOptionsGroup = new QGroupBox(QStringLiteral("Paths"), this);
  FWebHelpAdrInput = new QLineEdit(settings.WebHelpAddress, FPathsOptionsGroup);
  SetHelpContext(FWebHelpAdrInput, hcWebHelpAddress);
  FDefaultWebHelpAdrButton = HelpedButton(QStringLiteral("Default"), hcDefaultWebHelp,
                                          QStringLiteral("Select default help address"), FPathsOptionsGroup);
  FTempLstFileInput = new QLineEdit(settings.TempLstFile, FPathsOptionsGroup);
  SetHelpContext(FTempLstFileInput, hcListFile);
  FDefaultTempLstFileButton = HelpedButton(QStringLiteral("Default"), hcDefaultListFile,
                                           QStringLiteral("Select default temporary list file"), FPathsOptionsGroup);
  auto* webHelpAdrLabel = new QLabel(QStringLiteral("Additional Help Address:"), FPathsOptionsGroup);
  webHelpAdrLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  webHelpAdrLabel->setBuddy(FWebHelpAdrInput);
  auto* tempLstFileLabel = new QLabel(QStringLiteral("Temporary List File:"), FPathsOptionsGroup);
  tempLstFileLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  tempLstFileLabel->setBuddy(FTempLstFileInput);

  auto* paths = new QGridLayout(FPathsOptionsGroup);
  paths->addWidget(webHelpAdrLabel, 0, 0);
  paths->addWidget(FWebHelpAdrInput, 0, 1);
  paths->addWidget(FDefaultWebHelpAdrButton, 0, 2);
  paths->addWidget(tempLstFileLabel, 1, 0);
  paths->addWidget(FTempLstFileInput, 1, 1);
  paths->addWidget(FDefaultTempLstFileButton, 1, 2);
  paths->setColumnStretch(1, 1);
  // The address field shows the whole default address within the dialog's
  // 448 pixels: the "Default" buttons are as wide as their caption needs
  // and the margins are narrow.
  paths->setHorizontalSpacing(4);
  paths->setContentsMargins(6, 6, 6, 6);
  for (QPushButton* button : {FDefaultWebHelpAdrButton, FDefaultTempLstFileButton})
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
  FWebHelpAdrInput->setMinimumWidth(LineEditWidthFor(FWebHelpAdrInput, settings.DefaultWebHelpAddress));

  FOkButton = HelpedButton(QStringLiteral("OK"), hcDialog, QString(), this);
  FOkButton->setDefault(true);
  FCancelButton = HelpedButton(QStringLiteral("Cancel"), hcDialog, QString(), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FOkButton);
  buttons->addWidget(FCancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(FPathsOptionsGroup);
  layout->addLayout(buttons);

  setTabOrder(FWebHelpAdrInput, FDefaultWebHelpAdrButton);
  setTabOrder(FDefaultWebHelpAdrButton, FTempLstFileInput);
  setTabOrder(FTempLstFileInput, FDefaultTempLstFileButton);
  setTabOrder(FDefaultTempLstFileButton, FOkButton);
  setTabOrder(FOkButton, FCancelButton);
  FWebHelpAdrInput->setFocus();

  connect(FDefaultWebHelpAdrButton, &QPushButton::clicked, this, &TOptionsDialog::DefaultWebHelpAdrButtonClick);
  connect(FDefaultTempLstFileButton, &QPushButton::clicked, this, &TOptionsDialog::DefaultTempLstFileButtonClick);
  connect(FOkButton, &QPushButton::clicked, this, &TOptionsDialog::OkButtonClick);
  // Escape and the close box reject the dialog the same way.
  connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);

  const QSize hint = sizeHint();
  setFixedSize(std::max(hint.width(), 448), std::max(hint.height(), 132));
  if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
    QRect bounds(QPoint(), size());
    bounds.moveCenter(screen->availableGeometry().center());
    move(bounds.topLeft());
  }
  TContextHelp::OfferF1(this);
}

void TOptionsDialog::DefaultWebHelpAdrButtonClick() {
  FWebHelpAdrInput->setText(FSettings.DefaultWebHelpAddress);
  FWebHelpAdrInput->setFocus();
}

void TOptionsDialog::DefaultTempLstFileButtonClick() {
  FTempLstFileInput->setText(DefaultTempLstFile);
  FTempLstFileInput->setFocus();
}

void TOptionsDialog::OkButtonClick() {
  FSettings.WebHelpAddress = FWebHelpAdrInput->text();
  FSettings.TempLstFile = FTempLstFileInput->text();
  accept();
}
