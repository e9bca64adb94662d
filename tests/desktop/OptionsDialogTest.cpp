#include "desktop/HelpHook.h"
#include "desktop/OptionsDialog.h"
#include "desktop/Settings.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FSettings.WebHelpAddress = "https://example.org/mine";
    FSettings.DefaultWebHelpAddress = "https://example.org/default";
    FSettings.TempLstFile = "/home/student/lists/prog.lst";
  }
  TSettings FSettings;
};

TEST_F(OptionsDialogTest, ShowsTheCurrentValuesInItsLayout) {
  TOptionsDialog dialog(FSettings);
  EXPECT_EQ(dialog.windowTitle(), "Options");
  EXPECT_EQ(dialog.WebHelpAdrInput()->text(), "https://example.org/mine");
  EXPECT_EQ(dialog.TempLstFileInput()->text(), "/home/student/lists/prog.lst");
  EXPECT_GE(dialog.width(), 448);
  EXPECT_GE(dialog.height(), 132);
  EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
  EXPECT_TRUE(dialog.OkButton()->isDefault());
  EXPECT_EQ(dialog.DefaultWebHelpAdrButton()->toolTip(), "Select default help address");
  EXPECT_EQ(dialog.DefaultTempLstFileButton()->toolTip(), "Select default temporary list file");

  const QList<std::pair<QWidget*, int>> contexts = {{&dialog, 9999},
                                                    {dialog.WebHelpAdrInput(), 401},
                                                    {dialog.DefaultWebHelpAdrButton(), 402},
                                                    {dialog.TempLstFileInput(), 403},
                                                    {dialog.DefaultTempLstFileButton(), 404},
                                                    {dialog.OkButton(), 9999},
                                                    {dialog.CancelButton(), 9999}};
  for (const auto& [widget, context] : contexts) EXPECT_EQ(HelpContextOf(widget), context) << context;

  // Tab order: the group's fields and buttons, then OK, then Cancel.
  const QList<QWidget*> order = {dialog.WebHelpAdrInput(),  dialog.DefaultWebHelpAdrButton(),
                                 dialog.TempLstFileInput(), dialog.DefaultTempLstFileButton(),
                                 dialog.OkButton(),         dialog.CancelButton()};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i + 1]) << i;
  }
}

TEST_F(OptionsDialogTest, DefaultsThenAnyWayOutButOkChangeNothing) {
  const QList<std::pair<const char*, std::function<void(TOptionsDialog&)>>> ways = {
      {"Cancel", [](TOptionsDialog& d) { QTest::mouseClick(d.CancelButton(), Qt::LeftButton); }},
      {"Escape", [](TOptionsDialog& d) { QTest::keyClick(d.TempLstFileInput(), Qt::Key_Escape); }},
      {"close box", [](TOptionsDialog& d) { d.close(); }},
  };
  for (const auto& [name, leave] : ways) {
    TOptionsDialog dialog(FSettings);
    dialog.show();
    QTest::mouseClick(dialog.DefaultWebHelpAdrButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.WebHelpAdrInput()->text(), "https://example.org/default") << name;
    EXPECT_EQ(dialog.focusWidget(), dialog.WebHelpAdrInput()) << name;
    QTest::mouseClick(dialog.DefaultTempLstFileButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.TempLstFileInput()->text(), "OSasm.lst") << name;
    EXPECT_EQ(dialog.focusWidget(), dialog.TempLstFileInput()) << name;
    leave(dialog);
    EXPECT_FALSE(dialog.isVisible()) << name;
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << name;
    EXPECT_EQ(FSettings.WebHelpAddress, "https://example.org/mine") << name;
    EXPECT_EQ(FSettings.TempLstFile, "/home/student/lists/prog.lst") << name;
  }
}

TEST_F(OptionsDialogTest, OkStoresBothTextsAsTyped) {
  const QList<std::pair<QString, QString>> cases = {
      {"file:///home/student/notes.html", "OSasm.lst"}, {"", ""}, {"not an address", "C:\\odd\\name.lst"}};
  for (const auto& [address, listFile] : cases) {
    TOptionsDialog dialog(FSettings);
    dialog.show();
    dialog.WebHelpAdrInput()->clear();
    QTest::keyClicks(dialog.WebHelpAdrInput(), address);
    dialog.TempLstFileInput()->clear();
    QTest::keyClicks(dialog.TempLstFileInput(), listFile);
    // Enter anywhere presses the default button, OK.
    QTest::keyClick(dialog.TempLstFileInput(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(FSettings.WebHelpAddress, address);
    EXPECT_EQ(FSettings.TempLstFile, listFile);
  }
}

TEST_F(OptionsDialogTest, EnterOnAFocusedButtonPressesThatButton) {
  {
    TOptionsDialog dialog(FSettings);
    dialog.show();
    dialog.WebHelpAdrInput()->setText("typed");
    dialog.CancelButton()->setFocus();
    QTest::keyClick(dialog.CancelButton(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(FSettings.WebHelpAddress, "https://example.org/mine");
  }
  TOptionsDialog dialog(FSettings);
  dialog.show();
  dialog.DefaultTempLstFileButton()->setFocus();
  QTest::keyClick(dialog.DefaultTempLstFileButton(), Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.TempLstFileInput()->text(), "OSasm.lst");
  EXPECT_EQ(FSettings.TempLstFile, "/home/student/lists/prog.lst");
  // Back in an edit, Enter presses OK again.
  QTest::keyClick(dialog.TempLstFileInput(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(FSettings.TempLstFile, "OSasm.lst");
}

TEST_F(OptionsDialogTest, F1AsksForThePopupOfTheFocusedField) {
  QList<std::pair<int, int>> requests;
  SetApplicationHelpHandler([&](uint16_t command, int data, bool& callHelp) {
    callHelp = false;
    requests.append({command, data});
    return true;
  });
  TOptionsDialog dialog(FSettings);
  dialog.show();
  dialog.TempLstFileInput()->setFocus();
  QTest::keyClick(dialog.TempLstFileInput(), Qt::Key_F1);
  dialog.OkButton()->setFocus();
  QTest::keyClick(dialog.OkButton(), Qt::Key_F1);
  SetApplicationHelpHandler(nullptr);
  EXPECT_EQ(requests, (QList<std::pair<int, int>>{{HELP_CONTEXTPOPUP, 403}, {HELP_CONTEXTPOPUP, 9999}}));
}

}  // namespace
