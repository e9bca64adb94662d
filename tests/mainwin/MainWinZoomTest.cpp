#include "MainWinFixture.h"

#include "app/Program.h"
#include "controls/ReadableColour.h"
#include "desktop/AccessibleNames.h"
#include "desktop/SettingsStore.h"
#include "desktop/ViewMenu.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

QStringList MenuTitles(QMenuBar* bar) {
  QStringList titles;
  for (QAction* action : bar->actions()) titles << action->text();
  return titles;
}

// Every text a control shows lies within its rectangle.
void ExpectNothingCutOff(QWidget* window) {
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow()) continue;
    SCOPED_TRACE(w->metaObject()->className() + (" " + AccessibleNameOf(w).toStdString()));
    const QFontMetrics metrics(w->font());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      QString text = button->text();
      text.remove(QLatin1Char('&'));
      EXPECT_LE(metrics.horizontalAdvance(text) + 4, button->width());
      EXPECT_LE(metrics.height(), button->height());
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      if (label->text().isEmpty()) continue;
      EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
      EXPECT_LE(metrics.height(), label->contentsRect().height());
    } else if (auto* grid = qobject_cast<THexGrid*>(w)) {
      for (int adr = 0; adr < grid->Count(); ++adr) EXPECT_TRUE(grid->CellTextFits(adr)) << adr;
      EXPECT_LE(metrics.height(), grid->DefaultRowHeight());
      EXPECT_LE(grid->CellRect(grid->Count() - 1).bottom(), grid->height());
    } else if (auto* labels = qobject_cast<TLabelGrid*>(w)) {
      for (int adr = 0; adr < labels->ColCount() * labels->RowCount(); ++adr)
        EXPECT_LE(metrics.horizontalAdvance(labels->Caption(adr)), labels->width() / labels->ColCount());
      EXPECT_LE(metrics.height(), labels->height() / labels->RowCount());
    } else if (auto* list = qobject_cast<TDisasmList*>(w)) {
      EXPECT_LE(metrics.height(), list->CurrentRowHeight());
      for (int row = 0; row < 4; ++row)
        EXPECT_LE(metrics.horizontalAdvance(list->RowText(row).trimmed()), list->viewport()->width());
    }
    // Every control lies inside its parent.
    if (w->parentWidget() && !w->parentWidget()->isWindow()) {
      EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << w->parentWidget()->metaObject()->className();
    }
  }
}

TEST_F(MainWinTest, TheViewMenuSitsBetweenEditAndRun) {
  EXPECT_EQ(MenuTitles(Main->menuBar()), (QStringList{"&File", "&Edit", "&View", "&Run", "&Help"}));
  Click(Main->AssemblerButton());
  ASSERT_NE(Main->AssemblerEditor(), nullptr);
  EXPECT_EQ(MenuTitles(Main->AssemblerEditor()->menuBar()),
            (QStringList{"&File", "&Edit", "&View", "&Assemble!", "E&rrors", "&Help"}));
  Main->AssemblerEditor()->SetModified(false);
}

TEST_F(MainWinTest, ZoomInAnEditorZoomsItsSourceAndTheMainWindowToo) {
  Click(Main->AssemblerButton());
  TAssemblerEditor* editor = Main->AssemblerEditor();
  ASSERT_NE(editor, nullptr);
  const QSize client = Main->centralWidget()->size();
  const QFont source = editor->TextEditor->font();
  const QSize size = editor->size();
  editor->TextEditor->setPlainText(QStringLiteral("; note"));
  const auto commentPoints = [&] {
    const QTextLayout* layout = editor->TextEditor->document()->firstBlock().layout();
    return layout->formats().isEmpty() ? 0.0 : layout->formats().first().format.fontPointSize();
  };
  const qreal comment = commentPoints();
  editor->ViewMenu->ZoomIn()->trigger();
  editor->ViewMenu->ZoomIn()->trigger();
  EXPECT_DOUBLE_EQ(commentPoints(), comment * 1.5);
  EXPECT_EQ(FSettings.Zoom, 150);
  EXPECT_DOUBLE_EQ(editor->TextEditor->font().pointSizeF(), source.pointSizeF() * 1.5);
  EXPECT_EQ(editor->size(), size * 1.5);
  EXPECT_EQ(Main->centralWidget()->size(), client * 1.5);
  editor->ViewMenu->ActualSize()->trigger();
  EXPECT_EQ(editor->TextEditor->font(), source);
  editor->SetModified(false);
}

TEST_F(MainWinTest, ZoomScalesTheWholeWindowAndActualSizeRestoresIt) {
  const QSize client = Main->centralWidget()->size();
  const QRect run = Main->RunButton()->geometry();
  const QRect cell = Main->MainMemory()->CellRect(0x11);
  const qreal points = Main->font().pointSizeF();
  const int terminalRows = Main->OutputBox()->Rows();
  // Ctrl+= four times: 125, 150, 175, 200 %.
  for (int i = 0; i < 4; ++i) QTest::keyClick(Main.get(), Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(FSettings.Zoom, 200);
  EXPECT_EQ(Main->centralWidget()->size(), client * 2);
  EXPECT_EQ(Main->RunButton()->geometry(), QRect(run.topLeft() * 2, run.size() * 2));
  EXPECT_EQ(Main->MainMemory()->CellRect(0x11).size(), cell.size() * 2);
  EXPECT_DOUBLE_EQ(Main->font().pointSizeF(), points * 2);
  Main->OutputBox()->Write("x");
  EXPECT_GE(Main->OutputBox()->Rows(), terminalRows);
  ExpectNothingCutOff(Main.get());
  // Not past 300 %.
  for (int i = 0; i < 8; ++i) QTest::keyClick(Main.get(), Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(FSettings.Zoom, 300);
  EXPECT_FALSE(Main->ViewMenu()->ZoomIn()->isEnabled());
  QTest::keyClick(Main.get(), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(FSettings.Zoom, 275);
  QTest::keyClick(Main.get(), Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(FSettings.Zoom, 100);
  EXPECT_EQ(Main->centralWidget()->size(), client);
  EXPECT_EQ(Main->RunButton()->geometry(), run);
  EXPECT_EQ(Main->MainMemory()->CellRect(0x11), cell);
  EXPECT_DOUBLE_EQ(Main->font().pointSizeF(), points);
  EXPECT_FALSE(Main->ViewMenu()->ZoomOut()->isEnabled());
}

TEST_F(MainWinTest, AtActualSizeNothingIsCutOffEither) { ExpectNothingCutOff(Main.get()); }

// As the program starts: the window is built first, the stored settings
// are read after it, and the window is shown last.
TEST(MainWinZoomStart, TheProgramOpensAtTheZoomAndColoursAnEarlierSessionChose) {
  TScriptedPlatform platform;
  QTemporaryDir dir;
  const QString store = dir.filePath("Zavel.conf");
  {
    QSettings stored(store, QSettings::IniFormat);
    stored.setValue("Zoom", "150");
    stored.setValue("DarkColours", "1");
  }
  const QPalette desktop = QApplication::palette();
  TProgram program(std::make_unique<TQSettingsStore>(store), TVersionResource{},
                   [&dir](const char*) { return dir.path(); });
  ASSERT_TRUE(program.Start());
  program.Show({});
  TMainWin* main = program.MainWin();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
  TSettings plain;
  TMainWin reference(plain);
  EXPECT_EQ(main->centralWidget()->size(), reference.centralWidget()->size() * 1.5);
  ExpectNothingCutOff(main);
  EXPECT_TRUE(main->ViewMenu()->ActualSize()->isEnabled());
  EXPECT_TRUE(main->ViewMenu()->DarkColours()->isChecked());
  EXPECT_TRUE(TReadableColour::IsDark(QApplication::palette()));
  TViewMenu::SetDark(plain, false);
  QApplication::setPalette(desktop);
  reference.SetMemoryModified(false);
  main->SetMemoryModified(false);
  EXPECT_TRUE(program.Finish());
}

TEST(MainWinZoomStart, AWindowOpensAtTheZoomOfTheSettings) {
  TScriptedPlatform platform;
  TSettings settings;
  settings.Zoom = 150;
  TMainWin main(settings);
  TSettings plain;
  TMainWin reference(plain);
  EXPECT_EQ(main.centralWidget()->size(), reference.centralWidget()->size() * 1.5);
  main.SetMemoryModified(false);
  reference.SetMemoryModified(false);
}

}  // namespace
