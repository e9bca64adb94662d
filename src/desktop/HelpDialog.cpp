#include "desktop/HelpDialog.h"

#include <QApplication>

#include "desktop/HelpHook.h"
#include "desktop/HelpTopics.h"
#include "desktop/Platform.h"
#include "desktop/TextSource.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cmath>

namespace {

QList<THelpDialog*>& Windows() {
  static QList<THelpDialog*> windows;
  return windows;
}

QString& InfoFolderOverride() {
  static QString folder;
  return folder;
}

// The lines of the information file. A file that cannot be opened adds
// nothing and says nothing; a failure while reading it is reported, and the
// topic is shown without it. The file is UTF-8, or Latin-1 when it is not.
QStringList ReadInfoLines() {
  QFile file(QDir(THelpDialog::InfoFolder()).filePath(QStringLiteral("Zavel.info")));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    Platform().ShowMessage(nullptr, QStringLiteral("Error"), file.errorString(), TMsgIcon::Error);
    return {};
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QStringList lines = text.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
  return lines;
}

}  // namespace

THelpDialog::THelpDialog(QWidget* parent) : QWidget(parent, Qt::Tool), TZForm(this), FHelpText(new QTextBrowser(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  // A help window left open must not keep the program alive.
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(QStringLiteral("Help"));
  SetHelpContext(this, hcHelpWindow);
  FHelpText->setAccessibleName(QStringLiteral("Help text"));

  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Text, colours.color(QPalette::ToolTipText));
  colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
  setPalette(colours);

  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(13);
  FHelpText->setFont(font);
  FHelpText->setPalette(colours);
  FHelpText->setFrameShape(QFrame::NoFrame);
  FHelpText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  FHelpText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Without keyboard selection the view shows no caret, focused or not.
  FHelpText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FHelpText->setOpenLinks(false);
  SetHelpContext(FHelpText, hcHelpWindow);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FHelpText);
  resize(DesignWidth, DesignHeight);

  connect(FHelpText->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
          [this](const QSizeF& size) { HelpTextResizeRequest(static_cast<int>(std::ceil(size.height()))); });

  // Help windows are read and put away; Escape closes them as it would a
  // message box, so that they do not pile up.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

  Windows().append(this);
}

THelpDialog::~THelpDialog() { Windows().removeOne(this); }

QList<THelpDialog*> THelpDialog::OpenWindows() { return Windows(); }

void THelpDialog::CloseAll() {
  // Deleted at once: the program may be on its way out of the event loop.
  const QList<THelpDialog*> windows = Windows();
  for (THelpDialog* window : windows) delete window;
}

void THelpDialog::SetInfoFolder(const QString& folder) { InfoFolderOverride() = folder; }

QString THelpDialog::InfoFolder() {
  return InfoFolderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : InfoFolderOverride();
}

THelpDialog* THelpDialog::ShowTopic(int context) {
  // Help asked for from a modal dialog belongs to that dialog; otherwise the
  // dialog's modality would block the help window until it closed.
  QWidget* modal = QApplication::activeModalWidget();
  QPointer<THelpDialog> dialog = new THelpDialog(modal);
  // The dialog is closed and freed long before the reader is done.
  if (modal) modal->installEventFilter(dialog);
  dialog->SelectTopic(context);
  if (!dialog->ShowFitted()) return nullptr;
  if (context == hcNewVersion) {
    dialog->move(0, 0);
    dialog->resize(540, 90);
  } else {
    // Asked for by the user, who reads it next: it takes the focus, so that
    // Escape closes it and "What's this?" knows it without a click first.
    dialog->raise();
    dialog->activateWindow();
    dialog->FHelpText->setFocus();
  }
  return dialog;
}

bool THelpDialog::ShowFitted() {
  const QPointer<THelpDialog> self = this;
  HelpTextResizeRequest(ContentHeight());
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  // Pending events run once; the view may still report its height here.
  QCoreApplication::processEvents();
  if (!self) return false;
  FFitting = false;
  return true;
}

void THelpDialog::SelectTopic(int context) {
  FContext = context;
  QStringList extraLines;
  if (context == hcProgramInfo) extraLines = QStringList{InfoSeparatorLine} + ReadInfoLines();
  if (const THelpTopic* topic = FindHelpTopic(context); topic && topic->Width > 0) resize(topic->Width, height());
  TTextSource source(HelpTopicRichText(context, extraLines));
  LoadRichText(source);
}

void THelpDialog::LoadRichText(TTextSource& source) {
  QByteArray text;
  char buffer[4096];
  for (int64_t count; (count = source.Read(buffer, sizeof buffer)) > 0;) text.append(buffer, count);
  FHelpText->setHtml(QString::fromUtf8(text));
  QTextCursor start = FHelpText->textCursor();
  start.movePosition(QTextCursor::Start);
  FHelpText->setTextCursor(start);
}

int THelpDialog::ContentHeight() const {
  QTextDocument* document = FHelpText->document();
  document->setTextWidth(width() - 2 * FHelpText->frameWidth());
  return static_cast<int>(std::ceil(document->size().height()));
}

bool THelpDialog::eventFilter(QObject* watched, QEvent* e) {
  // When the dialog that owns this window goes, the window stays open on
  // its own, where it was, until the user closes it.
  if (e->type() == QEvent::Hide && watched == parentWidget()) {
    watched->removeEventFilter(this);
    const QRect place = geometry();
    const bool shown = isVisible();
    setParent(nullptr, windowFlags());
    setGeometry(place);
    if (shown) show();
  }
  return QWidget::eventFilter(watched, e);
}

void THelpDialog::HelpTextResizeRequest(int contentHeight) {
  if (!FFitting) return;
  resize(width(), std::min(contentHeight + 1, MaxFittedHeight));
}
