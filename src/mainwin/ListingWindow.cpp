#include "mainwin/ListingWindow.h"

#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

TListingWindow::TListingWindow(QWidget* owner) : QWidget(owner, Qt::Window), FListingText(new QPlainTextEdit(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  // A listing left open must not keep the program alive.
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(9);
  FListingText->setFont(font);
  FListingText->setReadOnly(true);
  FListingText->setAccessibleName(QStringLiteral("Listing"));
  // Selectable by keyboard too, so that Ctrl+A and Ctrl+C work without the mouse.
  FListingText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  FListingText->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FListingText);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
  const QFontMetrics metrics(font);
  // Wide enough for a listing line, high enough for a screenful of them.
  resize(metrics.horizontalAdvance(QString(48, QLatin1Char('x'))), 30 * metrics.height());
}

TListingWindow* TListingWindow::ShowFile(const QString& path, QWidget* owner) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  QString text = QString::fromLatin1(file.readAll());
  if (file.error() != QFileDevice::NoError) return nullptr;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  auto* window = new TListingWindow(owner);
  window->setWindowTitle(path);
  window->FListingText->setPlainText(text);
  window->show();
  window->raise();
  window->activateWindow();
  window->FListingText->setFocus();
  return window;
}
