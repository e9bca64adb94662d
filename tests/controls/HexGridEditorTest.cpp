// The in-place editor: typing, committing, refusing and leaving.
#include "HexGridFixture.h"

namespace {

TEST_F(HexGridTest, TypedDigitOpensTheEditorAndEnterStoresAndMovesOn) {
  Grid->SetContents(0x21, 0x3C);
  Grid->SetContents(0x22, 0x0A);
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(0x21));
  Log.clear();
  QTest::keyClick(Grid, Qt::Key_7);
  ASSERT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(EditorText(), "7");
  EXPECT_TRUE(Grid->Editor()->hasFocus());
  // Opening the editor cleared the selection.
  EXPECT_EQ(Log, (std::vector<std::string>{"sel -1 -1"}));
  EXPECT_EQ(Grid->GetContents(0x21), 7);
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Log.back(), "changed 21 3C 7");
  EXPECT_EQ(Grid->EditCol(), 2);
  EXPECT_EQ(Grid->EditRow(), 2);
  EXPECT_EQ(EditorText(), "0A");
  EXPECT_TRUE(Grid->Editor()->hasFocus());
}

TEST_F(HexGridTest, EditorAcceptsOnlyHexDigitsInUpperCaseUpToTheLimit) {
  QTest::keyClick(Grid, Qt::Key_Return);
  ASSERT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(EditorText(), "00");
  QTest::keyClicks(Grid->Editor(), "g -b");
  EXPECT_EQ(EditorText(), "B");
  QTest::keyClicks(Grid->Editor(), "ef");
  EXPECT_EQ(EditorText(), "BE");
  QTest::keyClick(Grid->Editor(), Qt::Key_Backspace);
  QTest::keyClick(Grid->Editor(), 'c');
  EXPECT_EQ(EditorText(), "BC");
  QTest::keyClick(Grid->Editor(), Qt::Key_Enter);
  EXPECT_EQ(Grid->GetContents(0), 0xBC);
}

TEST_F(HexGridTest, EnterOnTheLastCellWrapsToAddressZero) {
  ASSERT_TRUE(Grid->MoveCurrent(15, 15));
  QTest::keyClick(Grid, Qt::Key_Return);
  QTest::keyClicks(Grid->Editor(), "5");
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Grid->GetContents(0xFF), 5);
  EXPECT_EQ(Grid->EditCol(), 0);
  EXPECT_EQ(Grid->EditRow(), 0);
}

TEST_F(HexGridTest, EscapeKeepsTheValueAndFiresNothing) {
  Grid->SetContents(0, 0x3C);
  Log.clear();
  QTest::keyClick(Grid, Qt::Key_9);
  QTest::keyClick(Grid->Editor(), Qt::Key_Escape);
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_TRUE(Grid->Editor()->isHidden());
  EXPECT_EQ(Grid->GetContents(0), 0x3C);
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(Grid->hasFocus());
}

TEST_F(HexGridTest, EmptyTextStoresZeroAndReadsAsZeroWhileOpen) {
  Grid->SetContents(0, 0x3C);
  QTest::keyClick(Grid, Qt::Key_Return);
  QTest::keyClick(Grid->Editor(), Qt::Key_Backspace);
  EXPECT_EQ(EditorText(), "");
  EXPECT_EQ(Grid->GetContents(0), 0);
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Log.back(), "changed 0 3C 0");
}

TEST_F(HexGridTest, PastedInvalidTextReadsAsMinusOneAndIsDroppedOnCommit) {
  Grid->SetContents(0, 0x3C);
  QTest::keyClick(Grid, Qt::Key_Return);
  Grid->Editor()->setText("G1");
  Grid->Editor()->setModified(true);
  EXPECT_EQ(Grid->GetContents(0), -1);
  EXPECT_EQ(Grid->GetContents(1), 0);
  Log.clear();
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Grid->GetContents(0), 0x3C);
  EXPECT_TRUE(Log.empty());
}

TEST_F(HexGridTest, AWriteToTheEditedCellReplacesWhatWasTyped) {
  QTest::keyClick(Grid, Qt::Key_4);
  Grid->SetContents(0, 0x1D);
  EXPECT_EQ(EditorText(), "1D");
  EXPECT_FALSE(Grid->Editor()->isModified());
  Log.clear();
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(Grid->GetContents(0), 0x1D);
}

TEST_F(HexGridTest, DoubleClickOnARefusedCellEditsThePreviousCurrentCell) {
  Grid->OnSelectCell = [](THexGrid*, int col, int row, bool& canSelect) { canSelect = !(col == 5 && row == 5); };
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(0x13));
  DoubleClick(Center(0x55));
  ASSERT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(Grid->EditCol(), 3);
  EXPECT_EQ(Grid->EditRow(), 1);
  EXPECT_EQ(Grid->SelStart(), -1);
  DoubleClick(Center(0x24));
  EXPECT_EQ(Grid->EditCol(), 4);
  EXPECT_EQ(Grid->EditRow(), 2);
}

TEST_F(HexGridTest, EnterRefusedByOnSelectCellReopensOnTheSameCell) {
  int limitCalls = 0;
  Grid->SetColCount(1);
  Grid->SetRowCount(2);
  Grid->OnSelectCell = [](THexGrid*, int, int row, bool& canSelect) { canSelect = row != 1; };
  Grid->OnGetEditLimit = [&](THexGrid*, int, int row, int& value) {
    ++limitCalls;
    if (row == 1) value = 4;
  };
  Grid->SetContents(1, 755);
  EXPECT_EQ(Grid->CellText(0, 1), "02F3");
  QTest::keyClick(Grid, Qt::Key_Return);
  QTest::keyClicks(Grid->Editor(), "A");
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Grid->GetContents(0), 0xA);
  EXPECT_EQ(Grid->EditRow(), 0);
  EXPECT_EQ(Grid->Editor()->maxLength(), 2);
  EXPECT_GT(limitCalls, 0);
}

TEST_F(HexGridTest, LeavingTheGridCommitsAndCloses) {
  QTest::keyClick(Grid, Qt::Key_B);
  Other->setFocus();
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_TRUE(Grid->Editor()->isHidden());
  EXPECT_EQ(Grid->GetContents(0), 0xB);
  EXPECT_TRUE(Other->hasFocus());
}

TEST_F(HexGridTest, AlwaysShowEditorSurvivesLeaving) {
  Grid->SetOptions({hgoVertLine, hgoHorzLine, hgoAlwaysShowEditor});
  Grid->Loaded();
  ASSERT_TRUE(Grid->EditorOpen());
  QTest::keyClicks(Grid->Editor(), "C");
  Other->setFocus();
  EXPECT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(Grid->GetContents(0), 0xC);
}

TEST_F(HexGridTest, MousePressesCommitTheEditor) {
  QTest::keyClick(Grid, Qt::Key_1);
  QTest::mouseClick(Grid, Qt::RightButton, {}, Center(0x40));
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_EQ(Grid->GetContents(0), 1);
  EXPECT_EQ(Grid->SelStart(), -1);
  EXPECT_EQ(Grid->Col(), 0);

  QTest::keyClick(Grid, Qt::Key_2);
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(0x40));
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_EQ(Grid->GetContents(0), 2);
  EXPECT_EQ(Grid->GetSelLo(), 0x40);
  EXPECT_TRUE(Grid->hasFocus());
}

}  // namespace
