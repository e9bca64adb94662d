#include "MainWinFixture.h"

#include "controls/AccessEvents.h"
#include "desktop/AboutForm.h"
#include "desktop/AccessibleNames.h"
#include "desktop/HelpDialog.h"
#include "desktop/OptionsDialog.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/AssembleDialog.h"
#include "mainwin/ClearDialog.h"
#include "mainwin/ListingWindow.h"

#include <QAccessible>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Events a screen reader would get, caught instead of sent to a platform.
std::vector<std::pair<QAccessible::Event, QString>> GEvents;

void CatchEvent(QAccessibleEvent* event) {
  QAccessibleInterface* iface = event->accessibleInterface();
  GEvents.emplace_back(event->type(), iface ? iface->text(QAccessible::Name) : QString());
}

class MainWinAccessTest : public MainWinTest {
 protected:
  void SetUp() override {
    MainWinTest::SetUp();
    GEvents.clear();
    FOldSink = TAccessEvents::SetSink(&CatchEvent);
  }
  void TearDown() override {
    TAccessEvents::SetSink(FOldSink);
    MainWinTest::TearDown();
  }

  static QAccessibleInterface* Of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
  static int Count(QAccessible::Event type, const QString& name) {
    int n = 0;
    for (const auto& [t, who] : GEvents) n += t == type && who == name;
    return n;
  }

  TAccessEvents::TSink FOldSink = nullptr;
};

struct TGridCase {
  const char* Grid;
  int Address;
  int Value;
  int Rows, Cols;
  const char* Name;
  const char* Text;
};

class GridCellTest : public MainWinAccessTest, public ::testing::WithParamInterface<TGridCase> {};

TEST_P(GridCellTest, CellsAreNamedAfterWhatTheyHoldAndReadTheirValue) {
  const TGridCase& c = GetParam();
  THexGrid* grid = std::string(c.Grid) == "memory"      ? Main->MainMemory()
                   : std::string(c.Grid) == "registers" ? Main->Registers()
                                                        : Main->SysRegs();
  grid->SetContents(c.Address, c.Value);
  QAccessibleInterface* table = Of(grid);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->role(), QAccessible::Table);
  EXPECT_FALSE(table->text(QAccessible::Name).isEmpty());
  QAccessibleTableInterface* ti = table->tableInterface();
  ASSERT_NE(ti, nullptr);
  EXPECT_EQ(ti->rowCount(), c.Rows);
  EXPECT_EQ(ti->columnCount(), c.Cols);
  EXPECT_EQ(table->childCount(), c.Rows * c.Cols);
  QAccessibleInterface* cell = ti->cellAt(c.Address / c.Cols, c.Address % c.Cols);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->role(), QAccessible::Cell);
  EXPECT_EQ(cell->text(QAccessible::Name), c.Name);
  EXPECT_EQ(cell->text(QAccessible::Value), c.Text);
  EXPECT_EQ(table->child(c.Address), cell);  // the same interface each time
  EXPECT_EQ(table->indexOfChild(cell), c.Address);
  EXPECT_EQ(cell->parent(), table);
  EXPECT_EQ(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
}

INSTANTIATE_TEST_SUITE_P(Grids, GridCellTest,
                         ::testing::Values(TGridCase{"memory", 0x3F, 0xA5, 16, 16, "memory 3F", "A5"},
                                           TGridCase{"memory", 0x00, 0x07, 16, 16, "memory 00", "07"},
                                           TGridCase{"registers", 3, 0x42, 16, 1, "register R3", "42"},
                                           TGridCase{"registers", 15, 0x0A, 16, 1, "register RF", "0A"},
                                           TGridCase{"sysregs", 0, 0x12, 2, 1, "register PC", "12"},
                                           TGridCase{"sysregs", 1, 0x2F41, 2, 1, "register IR", "2F41"}));

TEST_F(MainWinAccessTest, ArrowKeysMoveTheFocusedCellAndAnnounceIt) {
  ClickCell(Main->MainMemory(), 0x10);
  QAccessibleInterface* table = Of(Main->MainMemory());
  ASSERT_NE(table->focusChild(), nullptr);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), "memory 10");
  QTest::keyClick(Main->MainMemory(), Qt::Key_Right);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), "memory 11");
  EXPECT_TRUE(table->focusChild()->state().focused);
  QTest::keyClick(Main->MainMemory(), Qt::Key_Down);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), "memory 21");
  EXPECT_EQ(Count(QAccessible::Focus, "memory 11"), 1);
  EXPECT_EQ(Count(QAccessible::Focus, "memory 21"), 1);
  // Another control has the focus: no cell of the grid has it.
  Main->StepButton()->setFocus();
  EXPECT_EQ(table->focusChild(), nullptr);
}

TEST_F(MainWinAccessTest, TheSelectionIsReportedCellByCell) {
  THexGrid* grid = Main->MainMemory();
  QTest::mousePress(grid, Qt::LeftButton, {}, grid->CellRect(0x20).center());
  for (int adr : {0x21, 0x23}) {
    const QPoint pos = grid->CellRect(adr).center();
    QMouseEvent move(QEvent::MouseMove, pos, grid->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
  }
  QTest::mouseRelease(grid, Qt::LeftButton, {}, grid->CellRect(0x23).center());
  QAccessibleTableInterface* ti = Of(Main->MainMemory())->tableInterface();
  EXPECT_EQ(ti->selectedCellCount(), 4);
  const QList<QAccessibleInterface*> cells = ti->selectedCells();
  ASSERT_EQ(cells.size(), 4);
  EXPECT_EQ(cells.front()->text(QAccessible::Name), "memory 20");
  EXPECT_EQ(cells.back()->text(QAccessible::Name), "memory 23");
  EXPECT_TRUE(cells.front()->state().selected);
  EXPECT_FALSE(ti->cellAt(2, 4)->state().selected);
  EXPECT_TRUE(ti->cellAt(2, 3)->tableCellInterface()->isSelected());
}

TEST_F(MainWinAccessTest, ValueChangesAreAnnouncedWhileSteppingButNotWhileRunning) {
  // load RF,48 ; load RF,69 ; halt
  Poke(0x00, {0x2F, 0x48, 0x2F, 0x69, 0xC0, 0x00});
  GEvents.clear();
  Click(Main->StepButton());
  EXPECT_EQ(Count(QAccessible::ValueChanged, "register RF"), 1);
  EXPECT_EQ(Count(QAccessible::ValueChanged, "register PC"), 1);
  EXPECT_EQ(Count(QAccessible::TextInserted, "Output Window"), 1);
  GEvents.clear();
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Count(QAccessible::ValueChanged, "register RF"), 0);
  EXPECT_EQ(Count(QAccessible::ValueChanged, "register PC"), 0);
  EXPECT_EQ(Count(QAccessible::TextInserted, "Output Window"), 0);
  // After the run the views speak again.
  Main->Registers()->SetContents(1, 9);
  EXPECT_EQ(Count(QAccessible::ValueChanged, "register R1"), 1);
}

TEST_F(MainWinAccessTest, TheDisassemblyListIsAListOfItsRowsWithThePcRowMarked) {
  Poke(0x00, {0x2F, 0x48, 0x2F, 0x69, 0xC0, 0x00});
  QAccessibleInterface* list = Of(Main->DisasmWin());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  EXPECT_EQ(list->text(QAccessible::Name), "Disassembler window");
  ASSERT_EQ(list->childCount(), 128);
  for (int row : {0, 1, 2, 127}) {
    QAccessibleInterface* item = list->child(row);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_EQ(item->text(QAccessible::Name), Main->DisasmWin()->RowText(row).trimmed());
    EXPECT_FALSE(item->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(list->indexOfChild(item), row);
  }
  EXPECT_TRUE(list->child(0)->state().selected);
  EXPECT_EQ(list->child(0)->text(QAccessible::Description), "program counter");
  Click(Main->StepButton());
  EXPECT_FALSE(list->child(0)->state().selected);
  EXPECT_TRUE(list->child(1)->state().selected);
  EXPECT_EQ(list->child(1)->text(QAccessible::Description), "program counter");
  EXPECT_TRUE(list->child(0)->text(QAccessible::Description).isEmpty());
}

TEST_F(MainWinAccessTest, TheTerminalIsReadOnlyTextOfItsLines) {
  Main->OutputBox()->Write("Hi\nthere");
  QAccessibleInterface* terminal = Of(Main->OutputBox());
  ASSERT_NE(terminal, nullptr);
  EXPECT_EQ(terminal->role(), QAccessible::Terminal);
  EXPECT_TRUE(terminal->state().readOnly);
  EXPECT_EQ(terminal->text(QAccessible::Name), "Output Window");
  EXPECT_EQ(terminal->text(QAccessible::Value), "Hi\nthere");
  QAccessibleTextInterface* text = terminal->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 8);
  EXPECT_EQ(text->text(3, 8), "there");
  EXPECT_EQ(text->cursorPosition(), 8);
}

// Every control of a window, its menu items included, has a name.
void ExpectAllNamed(QWidget* window) {
  SCOPED_TRACE(window->metaObject()->className());
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* widget : widgets) {
    // Pop-up menus and plain containers are not controls; their items and children are.
    if (qobject_cast<QMenu*>(widget) || widget->focusPolicy() == Qt::NoFocus) continue;
    EXPECT_FALSE(AccessibleNameOf(widget).trimmed().isEmpty())
        << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " "
        << (widget->parentWidget() ? widget->parentWidget()->metaObject()->className() : "");
  }
  for (QAction* action : window->findChildren<QAction*>()) {
    // A pop-up menu's own action is shown nowhere, nor is the menu bar's
    // overflow menu (Qt's, named qt_...) a command; their items are checked.
    const QObjectList owners = action->associatedObjects();
    if (action->isSeparator() ||
        std::all_of(owners.begin(), owners.end(), [](QObject* o) { return o->objectName().startsWith("qt_"); }))
      continue;
    EXPECT_FALSE(action->text().remove(QLatin1Char('&')).trimmed().isEmpty())
        << action->parent()->metaObject()->className() << " " << action->toolTip().toStdString();
  }
}

TEST_F(MainWinAccessTest, EveryControlOfEveryWindowHasAName) {
  ExpectAllNamed(Main.get());
  Click(Main->AssemblerButton());
  ASSERT_NE(Main->AssemblerEditor(), nullptr);
  ExpectAllNamed(Main->AssemblerEditor());
  Main->AssemblerEditor()->SetModified(false);
  {
    TClearDialog dialog(Main.get());
    ExpectAllNamed(&dialog);
  }
  {
    TOptionsDialog dialog(FSettings, Main.get());
    ExpectAllNamed(&dialog);
  }
  {
    TAboutForm about(FSettings, Main.get());
    ExpectAllNamed(&about);
  }
  {
    TAssembleDialog composer(*Main);
    ExpectAllNamed(&composer);
  }
  {
    THelpDialog help(Main.get());
    ExpectAllNamed(&help);
  }
  const QString listFile = FDir.filePath(QStringLiteral("a.lst"));
  QFile file(listFile);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("00 C000 halt\n");
  file.close();
  TListingWindow* listing = TListingWindow::ShowFile(listFile, Main.get());
  ASSERT_NE(listing, nullptr);
  ExpectAllNamed(listing);
  listing->close();
}

}  // namespace

namespace {

// Names of the controls Tab visits from the first one, once round (the
// source editor takes Tab as text; Ctrl+Tab leaves it).
QStringList TabRound(QWidget* first) {
  QStringList names;
  first->setFocus();
  QApplication::processEvents();
  QWidget* start = QApplication::focusWidget();
  for (int i = 0; i < 40; ++i) {
    QWidget* w = QApplication::focusWidget();
    if (!w) break;
    // The grids' in-place editor stands for its grid.
    QWidget* control = qobject_cast<THexGrid*>(w->parentWidget()) ? w->parentWidget() : w;
    names << AccessibleNameOf(control).remove(QLatin1Char('&'));
    QTest::keyClick(w, Qt::Key_Tab, qobject_cast<TSourceEdit*>(w) ? Qt::ControlModifier : Qt::NoModifier);
    if (QApplication::focusWidget() == start) break;
  }
  return names;
}

TEST_F(MainWinTest, TabVisitsEveryControlInTheOrderTheHelpGives) {
  EXPECT_EQ(TabRound(Main->MainMemory()).join(QStringLiteral(" | ")),
            "Main Memory | General Purpose Registers | System Registers | Disassembler window | =0 | Open... | Run | "
            "Step | Clear... | Asm | Disasm");
  // Enabled, Save and Break take their places after Open and Step.
  Main->SetMemoryModified(true);
  Main->BreakButton()->setEnabled(true);
  EXPECT_EQ(TabRound(Main->MainMemory()).join(QStringLiteral(" | ")),
            "Main Memory | General Purpose Registers | System Registers | Disassembler window | =0 | Open... | Save | "
            "Run | Step | Break | Clear... | Asm | Disasm");
  Main->BreakButton()->setEnabled(false);
  Click(Main->AssemblerButton());
  QApplication::setActiveWindow(Main->AssemblerEditor());
  EXPECT_EQ(TabRound(Main->AssemblerEditor()->TextEditor).join(QStringLiteral(" | ")),
            "Assembler source | Errors | assemble");
  // Ctrl+Shift+Tab goes back out of the source.
  Main->AssemblerEditor()->TextEditor->setFocus();
  QTest::keyClick(Main->AssemblerEditor()->TextEditor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(Main->AssemblerEditor()->AssembleButton));
  EXPECT_EQ(Main->AssemblerEditor()->Document()->toPlainText(), "");  // no tab typed
  Main->AssemblerEditor()->SetModified(false);
}

}  // namespace
