#pragma once

#include "controls/HexGrid.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A shown 16 x 16 grid beside a second widget that can take the focus, with
// every event of the grid written down as text in the order it fired.
class HexGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FWindow = std::make_unique<QWidget>();
    FWindow->resize(600, 400);
    Grid = new THexGrid(FWindow.get());
    Grid->SetColCount(16);
    Grid->SetRowCount(16);
    Grid->resize(Grid->sizeHint());
    Other = new QLineEdit(FWindow.get());
    Other->move(500, 10);
    Grid->OnCellChanged = [this](THexGrid*, int adr, int32_t old, int32_t value) {
      Log.push_back("changed " + Hex(adr) + " " + Hex(old) + " " + Hex(value));
    };
    Grid->OnSelChanged = [this](THexGrid*, int start, int end) { Log.push_back("sel " + Hex(start) + " " + Hex(end)); };
    Grid->OnDrawCell = [this](THexGrid* g, int col, int row, const QRect&, TGridDrawState state, QPainter&) {
      Drawn.insert(g->coor2adr(col, row));
      States[g->coor2adr(col, row)] = state;
    };
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    FWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
    Grid->setFocus();
    Settle();
  }

  static std::string Hex(int v) {
    if (v < 0) return std::to_string(v);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(v));
    return buffer;
  }
  // Lets every pending paint happen, then forgets what was drawn.
  void Settle() {
    QApplication::processEvents();
    Drawn.clear();
    Log.clear();
  }
  std::set<int> PaintNow() {
    Drawn.clear();
    QApplication::processEvents();
    return Drawn;
  }
  QPoint Center(int adr) const { return Grid->CellRect(adr).center(); }
  void Move(QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, Grid->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Grid, &move);
  }
  // What a user's double click delivers to a widget: press, release, double click, release.
  void DoubleClick(QPoint pos) {
    QTest::mouseClick(Grid, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(Grid, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(Grid, Qt::LeftButton, {}, pos);
  }
  QString EditorText() const { return Grid->Editor() ? Grid->Editor()->text() : QString(); }

  std::unique_ptr<QWidget> FWindow;
  THexGrid* Grid = nullptr;
  QLineEdit* Other = nullptr;
  std::vector<std::string> Log;
  std::set<int> Drawn;
  std::map<int, TGridDrawState> States;
};
