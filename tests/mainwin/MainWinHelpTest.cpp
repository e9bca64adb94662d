#include "app/Program.h"
#include "desktop/AboutForm.h"
#include "desktop/ContextHelp.h"
#include "desktop/HelpDialog.h"
#include "desktop/HelpHook.h"
#include "desktop/OptionsDialog.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"
#include "desktop/ZForm.h"
#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "controls/ShowText.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/DisasmList.h"
#include "mainwin/LabelGrid.h"
#include "mainwin/StatusPanel.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWhatsThis>

#include <memory>

namespace {

void Activate(QWidget* window) {
  QEvent event(QEvent::WindowActivate);
  QApplication::sendEvent(window, &event);
}

class MainWinHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FSettings.WebHelpAddress = "https://example.org/help";
    FMainWin = std::make_unique<TMainWin>(FSettings);
    // Whole on the test platform's 800 x 600 screen: the platform finds the
    // window under a point only on a screen.
    FMainWin->move(100, 60);
    FMainWin->show();
    Activate(FMainWin.get());
  }

  void TearDown() override { FMainWin.reset(); }

  QWindow* Window() const { return FMainWin->windowHandle(); }
  QPoint InWindow(QWidget* widget, QPoint at = {5, 5}) const { return widget->mapTo(FMainWin.get(), at); }

  void StartWhatsThis() {
    QTest::mouseClick(Window(), Qt::LeftButton, {}, InWindow(FMainWin->HelpButton()));
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    ASSERT_TRUE(FMainWin->HelpButton()->isChecked());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
  }

  void ExpectModeEnded() {
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_FALSE(FMainWin->HelpButton()->isChecked());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(FMainWin->HelpButton()->testAttribute(Qt::WA_SetCursor));
  }

  TScriptedPlatform FPlatform;
  TSettings FSettings;
  std::unique_ptr<TMainWin> FMainWin;
};

TEST_F(MainWinHelpTest, WhatsThisClickShowsTheContextOfTheControlUnderThePointer) {
  struct TCase {
    const char* Where;
    std::function<QPoint()> Point;  // in main window coordinates
    int Context;
    const char* FirstLine;
  };
  const TCase cases[] = {
      {"caption label",
       [&] {
         return InWindow(FMainWin->LabelMem(), {20, 8});
       },
       20, "Orvik Simulator - Main Window"},
      {"row addresses",
       [&] {
         return InWindow(FMainWin->LabelsMem2(), {10, 100});
       },
       14, "Memory address"},
      {"column addresses",
       [&] {
         return InWindow(FMainWin->LabelsMem1(), {30, 5});
       },
       15, "Memory address"},
      {"memory grid",
       [&] {
         return InWindow(FMainWin->MainMemory(), {60, 60});
       },
       1, "Main memory"},
      {"system registers", [&] { return InWindow(FMainWin->SysRegs()); }, 3, "System registers"},
      {"run button", [&] { return InWindow(FMainWin->RunButton()); }, 7, "Run program button"},
      {"disassembly rows",
       [&] {
         return InWindow(FMainWin->DisasmWin(), {40, 30});
       },
       13, "Disasseble window"},
      {"output window",
       [&] {
         return InWindow(FMainWin->OutputBox(), {40, 30});
       },
       11, "Output window"},
      {"status bar",
       [&] {
         return InWindow(FMainWin->StatusText(), {40, 5});
       },
       18, "Status bar (simulator)"},
      {"outside every window", [&] { return QPoint(-70, -50); }, 0, "No help available"},
      {"the help button itself", [&] { return InWindow(FMainWin->HelpButton()); }, 20, "Orvik Simulator - Main Window"},
  };
  for (const TCase& c : cases) {
    THelpDialog::CloseAll();
    StartWhatsThis();
    const qsizetype before = FPlatform.HelpTopics.size();
    QTest::mouseClick(Window(), Qt::LeftButton, {}, c.Point());
    ExpectModeEnded();
    ASSERT_EQ(FPlatform.HelpTopics.size(), before + 1) << c.Where;
    EXPECT_EQ(FPlatform.HelpTopics.back(), c.Context) << c.Where;
    ASSERT_EQ(THelpDialog::OpenWindows().size(), 1) << c.Where;
    EXPECT_TRUE(THelpDialog::OpenWindows()[0]->HelpText()->toPlainText().startsWith(c.FirstLine)) << c.Where;
  }
}

TEST_F(MainWinHelpTest, WhatsThisFindsTheTopmostProgramWindowAndItsInnerParts) {
  THelpDialog* help = THelpDialog::ShowTopic(4);
  ASSERT_NE(help, nullptr);
  help->move(0, 0);
  Activate(help);
  StartWhatsThis();
  // A point over the help window's text, given as the main window sees it.
  const QPoint overHelp = FMainWin->mapFromGlobal(help->HelpText()->viewport()->mapToGlobal(QPoint(10, 10)));
  QTest::mouseClick(Window(), Qt::LeftButton, {}, overHelp);
  ExpectModeEnded();
  EXPECT_EQ(FPlatform.HelpTopics.back(), 801);
}

TEST_F(MainWinHelpTest, AnyOtherButtonEndsTheModeWithoutHelp) {
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    StartWhatsThis();
    QTest::mouseClick(Window(), button, {}, InWindow(FMainWin->LabelMem()));
    ExpectModeEnded();
  }
  StartWhatsThis();
  // The platform hands a release without a press to no widget; one that
  // reaches a control still ends the mode.
  QTest::mouseRelease(FMainWin->LabelMem(), Qt::LeftButton);
  ExpectModeEnded();
  EXPECT_TRUE(FPlatform.HelpTopics.isEmpty());
  EXPECT_TRUE(THelpDialog::OpenWindows().isEmpty());
}

TEST_F(MainWinHelpTest, WhatsThisPassesHoverToTheButtonOnly) {
  StartWhatsThis();
  QToolButton* button = FMainWin->HelpButton();
  QTest::mouseMove(Window(), InWindow(FMainWin->LabelMem()));
  EXPECT_FALSE(button->underMouse());
  QTest::mouseMove(Window(), InWindow(button, {10, 10}));
  EXPECT_TRUE(button->underMouse());
  QTest::mouseMove(Window(), InWindow(FMainWin->LabelsMem2()));
  EXPECT_FALSE(button->underMouse());
  EXPECT_TRUE(QWhatsThis::inWhatsThisMode()) << "moves do not end the mode";
  QTest::mouseClick(Window(), Qt::RightButton, {}, InWindow(FMainWin->LabelMem()));
}

TEST_F(MainWinHelpTest, LabelsBevelsAndSpeedButtonsAreNotWindowedControls) {
  QWidget parent;
  QLabel label(&parent);
  QFrame bevel(&parent);
  QToolButton speed(&parent);
  speed.setAutoRaise(true);
  QToolButton tool(&parent);
  QTextBrowser text(&parent);
  parent.show();
  const struct {
    QWidget* Widget;
    bool Windowed;
  } cases[] = {{&label, false}, {&bevel, false}, {&speed, false}, {&tool, true}, {&text, true}, {&parent, false}};
  for (const auto& c : cases)
    EXPECT_EQ(TContextHelp::IsWindowedControl(c.Widget), c.Windowed) << c.Widget->metaObject()->className();
}

TEST_F(MainWinHelpTest, HelpMenuItemsAskForTheirContexts) {
  QStringList captions;
  for (QAction* action : FMainWin->HelpMenu()->actions()) captions << action->text();
  EXPECT_EQ(captions, (QStringList{"&Instructions", "Assembler &Syntax", "&Examples", "&Web help", "", "&Options...",
                                   "", "&About..."}));
  QAction* instructions = FMainWin->HelpMenu()->actions()[0];
  QAction* syntax = FMainWin->HelpMenu()->actions()[1];
  EXPECT_EQ(instructions->statusTip(), "Help about the instructions of the Orvik Simulator");
  EXPECT_EQ(syntax->statusTip(), "Help about the syntax of the Orvik Assembler");
  EXPECT_EQ(FMainWin->HelpButton()->toolTip(), "\"What's this?\" help");
  EXPECT_EQ(FMainWin->HelpButton()->geometry(), QRect(612, 1, 20, 20));

  instructions->trigger();
  syntax->trigger();
  EXPECT_EQ(FPlatform.HelpTopics, (QList<int>{202, 203}));
  ASSERT_EQ(THelpDialog::OpenWindows().size(), 2);
  EXPECT_TRUE(THelpDialog::OpenWindows()[0]->HelpText()->toPlainText().startsWith("Orvik Simulator instructions:"));
  EXPECT_TRUE(THelpDialog::OpenWindows()[1]->HelpText()->toPlainText().startsWith("Orvik Assembler syntax"));
}

TEST_F(MainWinHelpTest, OnlyTheContextPopupCommandIsAnswered) {
  bool callHelp = true;
  EXPECT_FALSE(FMainWin->FormHelp(1, 202, callHelp));
  EXPECT_FALSE(callHelp);
  callHelp = true;
  EXPECT_TRUE(FMainWin->FormHelp(HELP_CONTEXTPOPUP, 13, callHelp));
  EXPECT_FALSE(callHelp);
  EXPECT_EQ(THelpDialog::OpenWindows().size(), 1);
}

// Students press F1 for help: in every window it opens the topic that
// "What's this?" shows for the focused control.
TEST_F(MainWinHelpTest, F1OpensTheTopicOfTheFocusedControlInEveryWindow) {
  TAssemblerEditor* editor = FMainWin->AssemblerButtonClick();
  FMainWin->MenuAboutClick();
  TAboutForm* about = FMainWin->findChildren<TAboutForm*>().value(0);
  ASSERT_NE(about, nullptr);
  struct TRow {
    const char* Name;
    QWidget* Control;
    int Context;
  };
  const TRow rows[] = {
      {"memory", FMainWin->MainMemory(), 1},        {"registers", FMainWin->Registers(), 2},
      {"system registers", FMainWin->SysRegs(), 3}, {"editor text", editor->TextEditor, 901},
      {"error box", editor->ErrorBox, 902},         {"about box", about, 501},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    QApplication::setActiveWindow(row.Control->window());
    row.Control->setFocus();
    const qsizetype windows = THelpDialog::OpenWindows().size();
    QTest::keyClick(row.Control, Qt::Key_F1);
    ASSERT_FALSE(FPlatform.HelpTopics.isEmpty());
    EXPECT_EQ(FPlatform.HelpTopics.last(), row.Context);
    EXPECT_EQ(THelpDialog::OpenWindows().size(), windows + 1);
  }
  EXPECT_EQ(FPlatform.HelpTopics.size(), std::size(rows));
}

TEST_F(MainWinHelpTest, AHelpWindowOpenedByTheUserTakesTheFocusAndEscapeClosesIt) {
  for (int round = 0; round < 2; ++round) {
    FMainWin->HelpMenu()->actions().value(0)->trigger();
    ASSERT_EQ(THelpDialog::OpenWindows().size(), 1);
    QPointer<THelpDialog> help = THelpDialog::OpenWindows()[0];
    ASSERT_TRUE(QTest::qWaitForWindowActive(help.data()));
    // "What's this?" knows the window at once.
    EXPECT_EQ(TZForm::TopForm(), static_cast<TZForm*>(help.data()));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->window(), help.data());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(help.isNull());
  }
}

// Opened from the main window, in its font: the default address shows whole
// in the dialog's described width.
TEST_F(MainWinHelpTest, OptionsShowTheWholeDefaultAddressInTheDescribedWidth) {
  FSettings.DefaultWebHelpAddress = BuiltInWebHelpAddress;
  TOptionsDialog dialog(FSettings, FMainWin.get());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::mouseClick(dialog.DefaultWebHelpAdrButton(), Qt::LeftButton);
  QLineEdit* field = dialog.WebHelpAdrInput();
  ASSERT_EQ(field->text(), BuiltInWebHelpAddress);
  QTest::keyClick(field, Qt::Key_Home);
  // The caret at the end still shows the first character: nothing scrolled out.
  const QRect start = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  QTest::keyClick(field, Qt::Key_End);
  EXPECT_EQ(field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() - start.left(),
            field->fontMetrics().horizontalAdvance(BuiltInWebHelpAddress));
  EXPECT_LE(field->inputMethodQuery(Qt::ImCursorRectangle).toRect().right(), field->contentsRect().right());
  EXPECT_EQ(dialog.width(), 448);
  for (QPushButton* button : {dialog.DefaultWebHelpAdrButton(), dialog.DefaultTempLstFileButton()})
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width() - 8);
}

TEST_F(MainWinHelpTest, WebHelpOpensTheConfiguredAddressAndReportsAFailure) {
  FMainWin->MenuWWWHelpClick();
  EXPECT_EQ(FPlatform.OpenedDocuments, QStringList{"https://example.org/help"});
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
  FPlatform.OpenDocumentResult = 2;
  FSettings.WebHelpAddress = "/no/such/page.html";
  FMainWin->MenuWWWHelpClick();
  EXPECT_EQ(FPlatform.OpenedDocuments.back(), "/no/such/page.html");
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, "Cannot open Web help.\nThe specified file was not found.");
}

// Runs the modal options dialog that the main window opens: types an
// address and presses a button.
void AnswerOptions(const QString& address, bool ok) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<TOptionsDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->WebHelpAdrInput()->setText(address);
    QTest::mouseClick(ok ? dialog->OkButton() : dialog->CancelButton(), Qt::LeftButton);
  });
}

TEST_F(MainWinHelpTest, ChangedWebHelpAddressIsUsedAtOnce) {
  AnswerOptions("https://example.org/cancelled", false);
  FMainWin->MenuOptionsClick();
  AnswerOptions("https://example.org/changed", true);
  FMainWin->MenuOptionsClick();
  FMainWin->MenuWWWHelpClick();
  EXPECT_EQ(FPlatform.OpenedDocuments, QStringList{"https://example.org/changed"});
}

TEST(MainWinOptions, ChangedWebHelpAddressIsFoundAgainAfterARestart) {
  TScriptedPlatform platform;
  QTemporaryDir folder;
  const auto makeProgram = [&] {
    return std::make_unique<TProgram>(std::make_unique<TQSettingsStore>(folder.filePath("Zavel.conf")),
                                      TVersionResource{}, [&](const char*) { return folder.path(); });
  };
  {
    auto program = makeProgram();
    ASSERT_TRUE(program->Start());
    AnswerOptions("file:///home/student/course/help.html", true);
    program->MainWin()->MenuOptionsClick();
    ASSERT_TRUE(program->Finish());
  }
  auto program = makeProgram();
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->Settings().WebHelpAddress, "file:///home/student/course/help.html");
  program->MainWin()->MenuWWWHelpClick();
  EXPECT_EQ(platform.OpenedDocuments, QStringList{"file:///home/student/course/help.html"});
  ASSERT_TRUE(program->Finish());
}

TEST_F(MainWinHelpTest, AboutOpensANewBoxEachTimeWhoseInfoShowsTheProgramInformation) {
  FMainWin->MenuAboutClick();
  FMainWin->MenuAboutClick();
  const QList<TAboutForm*> boxes = FMainWin->findChildren<TAboutForm*>();
  ASSERT_EQ(boxes.size(), 2);
  EXPECT_TRUE(boxes[0]->isVisible());
  EXPECT_TRUE(boxes[1]->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  QTest::mouseClick(boxes[1]->InfoAboutButton(), Qt::LeftButton);
  EXPECT_EQ(FPlatform.HelpTopics, QList<int>{301});
  ASSERT_EQ(THelpDialog::OpenWindows().size(), 1);
  EXPECT_EQ(THelpDialog::OpenWindows()[0]->Context(), 301);
  EXPECT_EQ(THelpDialog::OpenWindows()[0]->width(), 500);
}

}  // namespace
