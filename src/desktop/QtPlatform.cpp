#include "desktop/Platform.h"

#include "desktop/HelpDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

QMessageBox::Icon ToQtIcon(TMsgIcon icon) {
  switch (icon) {
    case TMsgIcon::Information: return QMessageBox::Information;
    case TMsgIcon::Warning: return QMessageBox::Warning;
    case TMsgIcon::Error: return QMessageBox::Critical;
    case TMsgIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// A Qt file dialog that reports which filter was selected when it closed:
// the main window's Open treats a file picked under the assembly filter as a
// source, whatever its name.
TFileDialogResult RunFileDialog(QWidget* parent, const TFileDialogRequest& request, bool save) {
  QFileDialog dialog(parent, request.Title, request.InitialDir);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile
                          : (request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
  // "*.*" means every file where the filters come from; on Linux it would
  // hide the files whose names have no dot.
  QStringList filters = request.Filters;
  for (QString& filter : filters) filter.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
  dialog.setNameFilters(filters);
  if (request.FilterIndex >= 0 && request.FilterIndex < filters.size())
    dialog.selectNameFilter(filters.at(request.FilterIndex));
  if (!request.DefaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.DefaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
  if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
  TFileDialogResult result;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
  result.Accepted = true;
  result.Path = dialog.selectedFiles().constFirst();
  result.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  if (result.FilterIndex < 0) result.FilterIndex = 0;
  return result;
}

class TQtPlatform final : public TPlatform {
 public:
  TAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text, TMsgIcon icon) override {
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
      case QMessageBox::Yes: return TAnswer::Yes;
      case QMessageBox::No: return TAnswer::No;
      default: return TAnswer::Cancel;
    }
  }

  void ShowMessage(QWidget* parent, const QString& caption, const QString& text, TMsgIcon icon) override {
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
  }

  TFileDialogResult OpenFileDialog(QWidget* parent, const TFileDialogRequest& request) override {
    return RunFileDialog(parent, request, false);
  }

  TFileDialogResult SaveFileDialog(QWidget* parent, const TFileDialogRequest& request) override {
    return RunFileDialog(parent, request, true);
  }

  bool PrintDialog(QWidget* parent, QPrinter* printer) override {
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }

  // Qt only says whether the open worked. A failure is mapped onto the codes
  // of the message table by what can still be seen of the target: a local
  // file that is missing (2), a missing folder (3), an unreadable file (5);
  // anything else means that nothing on the desktop handles it (31).
  int OpenDocument(const QString& target) override {
    const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (url.isLocalFile()) {
      const QFileInfo info(url.toLocalFile());
      if (!info.exists()) return info.dir().exists() ? 2 : 3;
      if (!info.isReadable()) return 5;
    }
    return QDesktopServices::openUrl(url) ? 42 : 31;
  }

  void ShowHelpTopic(int context) override { THelpDialog::ShowTopic(context); }

  bool StartTextEditor(const QString& path, std::function<void()> onLateFailure) override {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt hands a file to xdg-open and reports success once it has started;
    // xdg-open may still fail (no editor for text, no terminal for one).
    // Run it ourselves to hear how it ends.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
      auto* process = new QProcess(qApp);
      process->setProcessChannelMode(QProcess::ForwardedChannels);
      QObject::connect(process, &QProcess::finished, process,
                       [process, onLateFailure](int code, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || code != 0) && onLateFailure) onLateFailure();
                         process->deleteLater();
                       });
      process->start(opener, {path});
      if (process->waitForStarted()) return true;
      delete process;
      return false;
    }
#endif
    (void)onLateFailure;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  }
};

TQtPlatform& QtPlatform() {
  static TQtPlatform platform;
  return platform;
}

TPlatform* CurrentPlatform = nullptr;

}  // namespace

TPlatform& Platform() { return CurrentPlatform ? *CurrentPlatform : QtPlatform(); }

void SetPlatform(TPlatform* platform) { CurrentPlatform = platform; }
