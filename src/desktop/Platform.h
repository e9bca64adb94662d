#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class QPrinter;

// The desktop services the windows use, behind one seam so that tests can
// script answers instead of blocking on modal dialogs. The program installs
// TQtPlatform at start; tests install a scripted one with SetPlatform.

enum class TAnswer { Yes, No, Cancel };
enum class TMsgIcon { Information, Warning, Error, Question };

struct TFileDialogRequest {
  QString Title;
  QStringList Filters;     // "Program Files (*.prg)", "Assembly Files (*.asm)", ...
  int FilterIndex = 0;     // filter selected when the dialog opens
  QString InitialDir;      // empty: the dialog's own choice
  QString FileName;        // proposed name, empty for none
  QString DefaultSuffix;   // without the dot, empty for none
  bool MustExist = false;  // open: the chosen file must exist
  bool ConfirmOverwrite = false;
};

struct TFileDialogResult {
  bool Accepted = false;
  QString Path;
  int FilterIndex = 0;  // the filter selected when the dialog closed
};

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  // Message box with Yes, No and Cancel.
  virtual TAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text, TMsgIcon icon) = 0;
  // Message box with an OK button.
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text, TMsgIcon icon) = 0;

  virtual TFileDialogResult OpenFileDialog(QWidget* parent, const TFileDialogRequest& request) = 0;
  virtual TFileDialogResult SaveFileDialog(QWidget* parent, const TFileDialogRequest& request) = 0;
  // The print dialog; true when the user confirmed and the printer is set up.
  virtual bool PrintDialog(QWidget* parent, QPrinter* printer) = 0;

  // The desktop's "open" action on a document or address. Returns a result
  // code in the numbering of LaunchDocument's message table: above 32 for
  // success, a table code (2, 3, 5 or 31) for a failure.
  virtual int OpenDocument(const QString& target) = 0;
  // Opens the help window on a topic (the answer to a context popup).
  virtual void ShowHelpTopic(int context) = 0;
  // Starts a plain-text editor on a file without waiting for it. False when
  // nothing could be started; onLateFailure runs when the desktop's opener
  // started but then reports that it could not open the file.
  virtual bool StartTextEditor(const QString& path, std::function<void()> onLateFailure) = 0;
};

TPlatform& Platform();
// Installs a platform (not owned); nullptr restores the Qt one.
void SetPlatform(TPlatform* platform);
