#pragma once

#include "desktop/ZForm.h"

#include <QList>
#include <QString>
#include <QWidget>

class QTextBrowser;
class TTextSource;

// A small tool window showing one help topic. Every help request makes a new
// one; it lives until the user closes it.
class THelpDialog : public QWidget, public TZForm {
  Q_OBJECT

 public:
  static constexpr int DesignWidth = 308;
  static constexpr int DesignHeight = 120;
  static constexpr int MaxFittedHeight = 450;

  explicit THelpDialog(QWidget* parent = nullptr);
  ~THelpDialog() override;

  // The whole request: a new window showing the context's topic, centred,
  // its height fitted to the content once. Null if the window was closed
  // while it was being shown.
  static THelpDialog* ShowTopic(int context);
  // The help windows open now, oldest first.
  static QList<THelpDialog*> OpenWindows();
  static void CloseAll();

  // Where Zavel.info is looked for: the executable's folder unless set.
  static void SetInfoFolder(const QString& folder);
  static QString InfoFolder();

  // Sets the width the topic asks for and loads its text, cursor at the start.
  void SelectTopic(int context);
  // Shows the window centred with its height fitted to the text, which is
  // left alone from then on. False if the window was closed meanwhile.
  bool ShowFitted();
  // Replaces the text by the rich text that the source delivers.
  void LoadRichText(TTextSource& source);
  // The view reports the height its content needs: the client height
  // becomes that plus 1, at most MaxFittedHeight. Only until the window has
  // been shown; later re-wrapping leaves the height alone.
  void HelpTextResizeRequest(int contentHeight);
  // The height the loaded text needs at the window's present width.
  int ContentHeight() const;

  QTextBrowser* HelpText() const { return FHelpText; }
  int Context() const { return FContext; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QTextBrowser* FHelpText;
  int FContext = 0;
  bool FFitting = true;
};
