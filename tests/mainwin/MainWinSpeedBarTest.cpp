#include "app/Program.h"
#include "controls/HexGrid.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"
#include "mainwin/MainWin.h"
#include "mainwin/SpeedBar.h"
#include "mainwin/TracePane.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QAction* SpeedItem(TMainWin& main, const QString& text) {
  for (QAction* item : main.SpeedMenu()->actions())
    if (item->text() == text) return item;
  return nullptr;
}

QString CheckedSpeedItem(TMainWin& main) {
  for (QAction* item : main.SpeedMenu()->actions())
    if (item->isChecked()) return item->text();
  return {};
}

// Moves the bar's speed list with the keyboard, as a student would, until
// it shows text.
void ChooseInBar(TMainWin& main, const QString& text) {
  QComboBox* box = main.SpeedBar()->SpeedBox();
  box->setFocus();
  const int target = box->findText(text);
  ASSERT_GE(target, 0) << text.toStdString();
  while (box->currentIndex() != target) QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

class MainWinSpeedBarTest : public ::testing::Test {
 protected:
  std::unique_ptr<TProgram> Start() {
    auto program = std::make_unique<TProgram>(std::make_unique<TQSettingsStore>(StorePath()), TVersionResource{},
                                              [this](const char*) { return FDir.path(); });
    EXPECT_TRUE(program->Start());
    program->Show({});
    EXPECT_TRUE(QTest::qWaitForWindowExposed(program->MainWin()));
    return program;
  }
  void Finish(std::unique_ptr<TProgram>& program) {
    program->MainWin()->SetMemoryModified(false);  // no question at the end
    ASSERT_TRUE(program->Finish());
    program.reset();
  }
  QString StorePath() const { return FDir.filePath("Zavel.conf"); }
  QString Stored(const char* key) const { return QSettings(StorePath(), QSettings::IniFormat).value(key).toString(); }

  QTemporaryDir FDir;
  TScriptedPlatform FPlatform;
};

TEST_F(MainWinSpeedBarTest, TheBarFollowsTheMenuPacesARunAndComesBackAfterARestart) {
  auto program = Start();
  TMainWin* main = program->MainWin();
  // Unchanged for a student who never asks for it.
  EXPECT_TRUE(main->SpeedBar()->isHidden());
  EXPECT_FALSE(main->MenuSpeedBar()->isChecked());
  EXPECT_EQ(main->SpeedBar()->SpeedBox()->currentText(), "Max");
  main->MenuSpeedBar()->trigger();
  ASSERT_TRUE(main->SpeedBar()->isVisible());

  // Bar to menu and menu to bar.
  ChooseInBar(*main, "10/s");
  EXPECT_EQ(main->RunSpeed(), 10);
  EXPECT_EQ(CheckedSpeedItem(*main), "10/s");
  SpeedItem(*main, "100/s")->trigger();
  EXPECT_EQ(main->SpeedBar()->SpeedBox()->currentText(), "100/s");

  // 00: load R1,1   02: addi R2,R2,R1   04: jmp 02
  int adr = 0;
  for (int byte : {0x21, 0x01, 0x52, 0x21, 0xB0, 0x02}) main->MainMemory()->SetContents(adr++, byte);
  QTest::mouseClick(main->RunButton(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return main->Session().Executed() >= 5u; }, 20000));
  // Paced: at 100/s even a slow machine stays far below what Max does.
  EXPECT_LE(main->Session().Executed(), 2000u);
  ASSERT_TRUE(main->Running());
  // A change in the bar during the run counts at once.
  ChooseInBar(*main, "Max");
  EXPECT_EQ(CheckedSpeedItem(*main), "Max");
  ASSERT_TRUE(QTest::qWaitFor([&] { return main->Session().Executed() > 100000u; }, 20000));
  QTest::mouseClick(main->BreakButton(), Qt::LeftButton);
  ChooseInBar(*main, "5/s");
  Finish(program);
  EXPECT_EQ(Stored("RunSpeed"), "5");
  EXPECT_EQ(Stored("SpeedBar"), "1");

  // The next session starts with both, and remembers the bar hidden again.
  program = Start();
  main = program->MainWin();
  EXPECT_EQ(main->RunSpeed(), 5);
  EXPECT_EQ(CheckedSpeedItem(*main), "5/s");
  EXPECT_EQ(main->SpeedBar()->SpeedBox()->currentText(), "5/s");
  EXPECT_TRUE(main->SpeedBar()->isVisible());
  EXPECT_TRUE(main->MenuSpeedBar()->isChecked());
  main->MenuSpeedBar()->trigger();
  EXPECT_TRUE(main->SpeedBar()->isHidden());
  Finish(program);
  program = Start();
  EXPECT_TRUE(program->MainWin()->SpeedBar()->isHidden());
  EXPECT_EQ(program->MainWin()->RunSpeed(), 5);
  Finish(program);
}

TEST_F(MainWinSpeedBarTest, TheTracePaneComesBackAsTheStudentLeftIt) {
  auto program = Start();
  EXPECT_TRUE(program->MainWin()->TraceWin()->isHidden());
  Finish(program);
  // Never touched: no key.
  EXPECT_FALSE(QSettings(StorePath(), QSettings::IniFormat).contains("TracePane"));

  program = Start();
  program->MainWin()->MenuTrace()->trigger();
  Finish(program);
  EXPECT_EQ(Stored("TracePane"), "1");
  program = Start();
  TMainWin* main = program->MainWin();
  EXPECT_TRUE(main->TraceWin()->isVisible());
  EXPECT_TRUE(main->MenuTrace()->isChecked());
  // Closed with its own button, it stays closed.
  main->TraceWin()->close();
  Finish(program);
  EXPECT_EQ(Stored("TracePane"), "0");
  program = Start();
  EXPECT_TRUE(program->MainWin()->TraceWin()->isHidden());
  Finish(program);
}

TEST_F(MainWinSpeedBarTest, AStoredSpeedThatIsNoChoiceIsIgnored) {
  QSettings(StorePath(), QSettings::IniFormat).setValue("RunSpeed", "7");
  auto program = Start();
  EXPECT_EQ(program->MainWin()->RunSpeed(), 0);
  EXPECT_EQ(CheckedSpeedItem(*program->MainWin()), "Max");
  Finish(program);
}

}  // namespace
