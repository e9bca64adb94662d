#include "desktop/AboutForm.h"

#include "desktop/ContextHelp.h"
#include "desktop/HelpHook.h"
#include "desktop/LaunchDocument.h"
#include "desktop/Settings.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

// A pale board with copper traces and a chip: drawn once per box, stretched
// over the client area.
QPixmap BackgroundImage(const QSize& size) {
  QPixmap image(size);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(214, 232, 250));
  sky.setColorAt(1, QColor(250, 252, 255));
  painter.fillRect(image.rect(), sky);

  const QColor trace(160, 192, 220);
  painter.setPen(QPen(trace, 2));
  painter.setBrush(trace);
  // Traces leave the chip's pins for the edges of the board, away from the
  // texts in the middle.
  const int chipLeft = 22, chipTop = size.height() - 66, chipSize = 40;
  for (int pin = 0; pin < 3; ++pin) {
    const int y = chipTop + 10 + pin * 10;
    const int turn = chipLeft + chipSize + 12 + pin * 10;
    const QPoint points[] = {{chipLeft + chipSize, y}, {turn, y}, {turn, size.height()}};
    painter.drawPolyline(points, 3);
  }
  for (int pin = 0; pin < 3; ++pin) {
    const int x = chipLeft + 10 + pin * 10;
    const int turn = chipTop - 8 - pin * 8;
    const QPoint points[] = {{x, chipTop}, {x, turn}, {x - 14 - pin * 10, turn - 14 - pin * 10}};
    painter.drawPolyline(points, 3);
    painter.drawEllipse(points[2], 3, 3);
  }
  for (int line = 0; line < 3; ++line) {
    const int y = size.height() - 12 - line * 12;
    const int end = size.width() - 40 - line * 22;
    const QPoint points[] = {{size.width(), y}, {end + 12, y}, {end, y - 12}};
    painter.drawPolyline(points, 3);
    painter.drawEllipse(points[2], 3, 3);
  }
  painter.setPen(QPen(QColor(90, 110, 140), 1));
  painter.setBrush(QColor(60, 70, 90));
  painter.drawRoundedRect(chipLeft, chipTop, chipSize, chipSize, 4, 4);
  painter.setPen(QColor(200, 210, 225));
  QFont label = painter.font();
  label.setPixelSize(11);
  label.setBold(true);
  painter.setFont(label);
  painter.drawText(QRect(chipLeft, chipTop, chipSize, chipSize), Qt::AlignCenter, QStringLiteral("8bit"));
  return image;
}

QLabel* CentredLabel(const QString& text, const QRect& geometry, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->setGeometry(geometry);
  return label;
}

}  // namespace

TAboutForm::TAboutForm(const TSettings& settings, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      TZForm(this),
      FSettings(settings) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_QuitOnClose, false);
  setModal(false);
  setWindowTitle(QStringLiteral("About"));
  SetHelpContext(this, hcAboutBox);
  setFixedSize(ClientWidth, ClientHeight);

  FBackGround = new QLabel(this);
  FBackGround->setPixmap(BackgroundImage(size()));
  FBackGround->setScaledContents(true);
  FBackGround->setGeometry(rect());

  FAboutL1 = CentredLabel(QStringLiteral("Orvik Simulator and Assembler"), QRect(0, 14, ClientWidth, 35), this);
  QFont title = FAboutL1->font();
  title.setBold(true);
  title.setPointSize(16);
  FAboutL1->setFont(title);

  FVersie = CentredLabel(QString(), QRect(0, 52, ClientWidth, 18), this);
  FCRight = CentredLabel(QString(), QRect(20, 72, ClientWidth - 40, 34), this);
  FCRight->setWordWrap(true);
  FCRight->setToolTip(QStringLiteral("See information under the Info-button"));

  FEMailLabel = CentredLabel(settings.ContactAddress, QRect(), this);
  QFont link = FEMailLabel->font();
  link.setUnderline(true);
  FEMailLabel->setFont(link);
  QPalette blue = FEMailLabel->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
  FEMailLabel->setPalette(blue);
  FEMailLabel->setCursor(Qt::PointingHandCursor);
  FEMailLabel->setToolTip(QStringLiteral("e-mail me"));
  // Only the address itself is the link.
  const int linkWidth = FEMailLabel->sizeHint().width() + 4;
  FEMailLabel->setGeometry((ClientWidth - linkWidth) / 2, 110, linkWidth, 18);
  FEMailLabel->installEventFilter(this);

  FInfoAboutButton = new QPushButton(QStringLiteral("&Info"), this);
  FInfoAboutButton->setFlat(true);
  FInfoAboutButton->setGeometry(ClientWidth / 2 - 90, 146, 80, 26);
  FCloseAboutButton = new QPushButton(QStringLiteral("&Close"), this);
  FCloseAboutButton->setFlat(true);
  FCloseAboutButton->setGeometry(ClientWidth / 2 + 10, 146, 80, 26);
  FCloseAboutButton->setDefault(true);
  connect(FInfoAboutButton, &QPushButton::clicked, this, [] { RequestContextHelp(hcProgramInfo); });
  connect(FCloseAboutButton, &QPushButton::clicked, this, &QDialog::close);

  if (owner) move(CentredOver(owner->frameGeometry(), size()));
  FVersie->setText(QStringLiteral("v") + settings.VersionText);
  FCRight->setText(settings.LegalText);
  TContextHelp::OfferF1(this);
}

QPoint TAboutForm::CentredOver(const QRect& owner, const QSize& box) {
  // Integer division truncates toward zero, also for a box larger than the
  // owner, so the box sticks out evenly on both sides.
  return {owner.left() + (owner.width() - box.width()) / 2, owner.top() + (owner.height() - box.height()) / 2};
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FEMailLabel && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      FEMailLabel->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    EMailLabelClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutForm::EMailLabelClick() {
  LaunchDocument(this, QStringLiteral("Error opening Mail program.\n"),
                 QStringLiteral("mailto:") + FSettings.ContactAddress);
}
