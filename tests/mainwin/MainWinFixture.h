#pragma once

#include "controls/HexGrid.h"
#include "controls/ShowText.h"
#include "desktop/Settings.h"
#include "mainwin/DisasmList.h"
#include "mainwin/LabelGrid.h"
#include "mainwin/MainWin.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <initializer_list>
#include <memory>

// A shown main window with a scripted platform and a temporary folder as
// TempDir, and the moves a student makes with mouse and keyboard.
class MainWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FSettings.TempDir = FDir.path() + QDir::separator();
    FSettings.TempLstFile = DefaultTempLstFile;
    Main = std::make_unique<TMainWin>(FSettings);
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    QApplication::setActiveWindow(Main.get());
    QApplication::processEvents();
  }

  void TearDown() override {
    if (Main) {
      Main->SetMemoryModified(false);  // no exit question
      Main->close();
    }
  }

  // Writes bytes from an address, as a file or the assembler would.
  void Poke(int adr, std::initializer_list<int> bytes) {
    for (int b : bytes) Main->MainMemory()->SetContents(adr++, b);
  }

  int Pc() const { return Main->SysRegs()->GetContents(0); }
  int Ir() const { return Main->SysRegs()->GetContents(1); }
  QString Cell(THexGrid* grid, int adr) const { return grid->CellText(adr % grid->ColCount(), adr / grid->ColCount()); }

  void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
  void ClickCell(THexGrid* grid, int adr, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(grid, Qt::LeftButton, mods, grid->CellRect(adr).center());
  }
  // Selects a cell by clicking it and types hex digits into it, then Enter.
  void TypeIntoCell(THexGrid* grid, int adr, const char* digits) {
    ClickCell(grid, adr);
    // The first digit opens the editor on the cell; the rest go to the editor.
    QTest::keyClick(grid, digits[0]);
    QWidget* editor = grid->Editor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(grid->EditorOpen());
    QTest::keyClicks(editor, digits + 1);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(grid->Editor(), Qt::Key_Escape);
  }

  // Runs the event loop until the run has ended, at most timeoutMs.
  bool WaitForRunEnd(int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (Main->Running() && clock.elapsed() < timeoutMs) QTest::qWait(5);
    return !Main->Running();
  }

  QString Status() const { return Main->StatusTextValue(); }

  QTemporaryDir FDir;
  TScriptedPlatform FPlatform;
  TSettings FSettings;
  std::unique_ptr<TMainWin> Main;
};
