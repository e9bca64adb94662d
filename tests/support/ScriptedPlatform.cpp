#include "support/ScriptedPlatform.h"

#include "desktop/HelpDialog.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace {

bool WaitCursorShown() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

}  // namespace

TScriptedPlatform::TScriptedPlatform() { SetPlatform(this); }

TScriptedPlatform::~TScriptedPlatform() { SetPlatform(nullptr); }

TAnswer TScriptedPlatform::AskYesNoCancel(QWidget*, const QString& caption, const QString& text, TMsgIcon icon) {
  const QWidget* active = QApplication::activeWindow();
  Messages.append({caption, text, icon, true, WaitCursorShown(), active ? active->windowTitle() : QString()});
  if (Answers.empty()) {
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return TAnswer::Cancel;
  }
  const TAnswer answer = Answers.front();
  Answers.pop_front();
  return answer;
}

void TScriptedPlatform::ShowMessage(QWidget*, const QString& caption, const QString& text, TMsgIcon icon) {
  Messages.append({caption, text, icon, false, WaitCursorShown(), QString()});
}

TFileDialogResult TScriptedPlatform::OpenFileDialog(QWidget*, const TFileDialogRequest& request) {
  OpenRequests.append(request);
  if (OpenResults.empty()) return Cancelled();
  const TFileDialogResult result = OpenResults.front();
  OpenResults.pop_front();
  return result;
}

TFileDialogResult TScriptedPlatform::SaveFileDialog(QWidget*, const TFileDialogRequest& request) {
  SaveRequests.append(request);
  if (SaveResults.empty()) return Cancelled();
  const TFileDialogResult result = SaveResults.front();
  SaveResults.pop_front();
  return result;
}

bool TScriptedPlatform::PrintDialog(QWidget*, QPrinter*) {
  ++PrintDialogs;
  return PrintAccepted;
}

int TScriptedPlatform::OpenDocument(const QString& target) {
  OpenedDocuments.append(target);
  return OpenDocumentResult;
}

bool TScriptedPlatform::StartTextEditor(const QString& path, std::function<void()> onLateFailure) {
  EditedFiles.append(path);
  if (TextEditorStarts && TextEditorFailsLater && onLateFailure) QTimer::singleShot(0, onLateFailure);
  return TextEditorStarts;
}

void TScriptedPlatform::ShowHelpTopic(int context) {
  HelpTopics.append(context);
  THelpDialog::ShowTopic(context);
}
