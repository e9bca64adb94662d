#pragma once

#include "desktop/Platform.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

// A TPlatform whose dialogs answer from a script and record what they were
// asked. Installed for the lifetime of the object.
class TScriptedPlatform final : public TPlatform {
 public:
  struct TMessage {
    QString Caption;
    QString Text;
    TMsgIcon Icon;
    bool Question;                 // Yes/No/Cancel rather than OK
    bool UnderWaitCursor = false;  // the hourglass was showing over the box
    QString ActiveTitle;           // the title of the window in front when asked
  };

  TScriptedPlatform();
  ~TScriptedPlatform() override;

  // Scripted answers, used in order. An unscripted question fails the test
  // and answers Cancel; an unscripted file dialog is cancelled.
  std::deque<TAnswer> Answers;
  std::deque<TFileDialogResult> OpenResults;
  std::deque<TFileDialogResult> SaveResults;
  bool PrintAccepted = false;
  int OpenDocumentResult = 42;
  bool TextEditorStarts = true;
  // The opener starts, then reports (on the next turn of the event loop)
  // that it could not open the file.
  bool TextEditorFailsLater = false;

  // What was asked.
  QList<TMessage> Messages;
  QList<TFileDialogRequest> OpenRequests;
  QList<TFileDialogRequest> SaveRequests;
  QStringList OpenedDocuments;
  QStringList EditedFiles;
  QList<int> HelpTopics;  // context popups asked for, in order
  int PrintDialogs = 0;

  TAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text, TMsgIcon icon) override;
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text, TMsgIcon icon) override;
  TFileDialogResult OpenFileDialog(QWidget* parent, const TFileDialogRequest& request) override;
  TFileDialogResult SaveFileDialog(QWidget* parent, const TFileDialogRequest& request) override;
  bool PrintDialog(QWidget* parent, QPrinter* printer) override;
  int OpenDocument(const QString& target) override;
  bool StartTextEditor(const QString& path, std::function<void()> onLateFailure) override;
  // Records the topic and opens the real help window, which tests look at.
  void ShowHelpTopic(int context) override;

  static TFileDialogResult Picked(const QString& path, int filterIndex = 0) { return {true, path, filterIndex}; }
  static TFileDialogResult Cancelled() { return {}; }
};
