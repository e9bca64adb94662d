// Exercises through the real window: File > Open Exercise..., the pane
// beside the editor, Check (F6) on the shipped exercises' model and wrong
// answers, and Debug this case.
#include "MainWinFixture.h"

#include "assembler/AsmParser.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "grading/CaseCheck.h"
#include "grading/CaseFile.h"
#include "mainwin/ExercisePane.h"

#include <QFile>

#include <QLabel>
#include <QListWidget>
#include <QStandardPaths>
#include <QTextBrowser>
#include <algorithm>

namespace {

const QString ExercisesDir = QStringLiteral(ORVIK_EXAMPLES_DIR "/exercises/");

QString ReadLatin1(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromLatin1(file.readAll());
}

QStringList Rows(const QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows.append(list->item(i)->text());
  return rows;
}

class ExercisePaneTest : public MainWinTest {
 protected:
  void SetUp() override {
    // The answers are kept in the user's data folder, the test process's
    // own (GuiTestMain): a folder shared by tests running side by side
    // would lose one's answer to another's clean-up.
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/exercises"))
        .removeRecursively();
    MainWinTest::SetUp();
  }

  // Opens the exercise as File > Open Exercise... does and returns its pane.
  TExercisePane* Open(const QString& name) {
    FPlatform.OpenResults.push_back(TScriptedPlatform::Picked(ExercisesDir + name + QStringLiteral(".json")));
    Main->MenuOpenExercise()->trigger();
    Editor = Main->AssemblerEditor();
    return Editor ? Editor->findChild<TExercisePane*>() : nullptr;
  }

  void TearDown() override {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* editor = qobject_cast<TAssemblerEditor*>(window)) editor->SetModified(false);
    MainWinTest::TearDown();
  }

  // Puts the answer's text into the editor and presses F6 in it.
  bool Check(TExercisePane* pane, const QString& text) {
    Type(text);
    QApplication::setActiveWindow(Editor);
    Editor->TextEditor->setFocus();
    QTest::keyClick(Editor->TextEditor, Qt::Key_F6);
    return QTest::qWaitFor([pane] { return !pane->Checking(); }, 10000);
  }

  // The whole text replaced, as a student's select-all and typing does.
  void Type(const QString& text) {
    Editor->TextEditor->selectAll();
    Editor->TextEditor->insertPlainText(text);
  }

  QPointer<TAssemblerEditor> Editor;
};

TEST_F(ExercisePaneTest, OpensOnTheStarterThenOnTheSavedAnswer) {
  TExercisePane* pane = Open(QStringLiteral("03-multiply"));
  ASSERT_NE(pane, nullptr);
  TCaseFile exercise;
  std::string problem;
  ASSERT_TRUE(ReadCaseFile((ExercisesDir + QStringLiteral("03-multiply.json")).toStdString(), exercise, problem));
  EXPECT_EQ(pane->TitleLabel->text().toStdString(), exercise.Title);
  EXPECT_FALSE(pane->StatementView->toPlainText().isEmpty());
  EXPECT_EQ(Editor->Document()->toPlainText().trimmed().toStdString(),
            QString::fromStdString(exercise.Starter).trimmed().toStdString());
  const QString saved = TMainWin::ExerciseSourcePath(ExercisesDir + QStringLiteral("03-multiply.json"));
  EXPECT_EQ(Editor->FileName(), saved);
  // Hidden cases are counted in the list, never named.
  for (const TGradeCase& gradeCase : exercise.Cases)
    EXPECT_EQ(Rows(pane->CaseList).join(QLatin1Char('|')).contains(QString::fromStdString(gradeCase.Name)),
              !gradeCase.Hidden)
        << gradeCase.Name;

  Type(QStringLiteral("; my answer\n        halt"));
  Editor->SaveFile();
  Editor->close();
  pane = Open(QStringLiteral("03-multiply"));
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(Editor->Document()->toPlainText().trimmed().toStdString(), "; my answer\n        halt");
}

// A case file is UTF-8: its words show as written, not byte by byte.
TEST_F(ExercisePaneTest, WordsWithAccentsShowAsWritten) {
  const QString path = QDir::temp().filePath(QStringLiteral("orvik-accents.json"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      R"({"title": "Übung", "statement": "Zähle.", "starter": "; Zähler\n        halt",
                  "cases": [{"name": "fünf", "expect": {"registers": {"R1": 0}}}]})");
  file.close();
  FPlatform.OpenResults.push_back(TScriptedPlatform::Picked(path));
  Main->MenuOpenExercise()->trigger();
  Editor = Main->AssemblerEditor();
  auto* pane = Editor ? Editor->findChild<TExercisePane*>() : nullptr;
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->TitleLabel->text(), QStringLiteral("Übung"));
  EXPECT_EQ(pane->StatementView->toPlainText().trimmed(), QStringLiteral("Zähle."));
  EXPECT_TRUE(Rows(pane->CaseList).join(QLatin1Char('|')).contains(QStringLiteral("fünf")));
  EXPECT_EQ(Editor->Document()->toPlainText().section(QLatin1Char('\n'), 0, 0), QStringLiteral("; Zähler"));
  QFile::remove(path);
}

// Every shipped exercise: the model answer passes every case, each wrong
// answer fails the case its first line names, with the words beside it.
TEST_F(ExercisePaneTest, ChecksEveryShippedAnswer) {
  const QStringList names =
      QDir(ExercisesDir).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name).replaceInStrings(".json", "");
  ASSERT_GE(names.size(), 12);
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    TExercisePane* pane = Open(name);
    ASSERT_NE(pane, nullptr);
    double maxPoints = 0;
    int hidden = 0;
    for (const TGradeCase& gradeCase : pane->Exercise().Cases) {
      maxPoints += gradeCase.Points;
      hidden += gradeCase.Hidden ? 1 : 0;
    }
    const QString all = QString::fromStdString(PointsText(maxPoints));

    ASSERT_TRUE(Check(pane, ReadLatin1(ExercisesDir + name + QStringLiteral("/model.asm"))));
    for (const QString& row : Rows(pane->ResultList))
      EXPECT_TRUE(row.startsWith(QStringLiteral("PASS "))) << row.toStdString();
    EXPECT_EQ(pane->ResultList->count(), static_cast<int>(pane->Exercise().Cases.size()) - hidden);
    EXPECT_EQ(pane->TotalLabel->text(), all + QLatin1Char('/') + all + QStringLiteral(" points"));
    if (hidden > 0) {
      EXPECT_EQ(pane->HiddenLabel->text(),
                QStringLiteral("%1 of %1 hidden %2 pass").arg(hidden).arg(hidden == 1 ? "case" : "cases"));
    }
    EXPECT_FALSE(pane->DebugButton->isEnabled());

    const QString wrong = ReadLatin1(ExercisesDir + name + QStringLiteral("/wrong.asm"));
    const QString failing = wrong.section(QLatin1Char('\n'), 0, 0).mid(9).trimmed();  // "; fails: NAME"
    ASSERT_TRUE(Check(pane, wrong));
    const auto named = std::find_if(pane->Exercise().Cases.begin(), pane->Exercise().Cases.end(),
                                    [&](const TGradeCase& c) { return QString::fromStdString(c.Name) == failing; });
    ASSERT_NE(named, pane->Exercise().Cases.end());
    const QString shown = Rows(pane->ResultList).join(QLatin1Char('\n'));
    if (named->Hidden) {
      // Only counted: neither its name nor its words are shown.
      EXPECT_FALSE(shown.contains(failing)) << shown.toStdString();
      EXPECT_FALSE(pane->HiddenLabel->text().startsWith(QString::number(hidden) + QStringLiteral(" of ")))
          << pane->HiddenLabel->text().toStdString();
    } else {
      const QStringList rows = Rows(pane->ResultList).filter(QStringLiteral("FAIL ") + failing + QStringLiteral(" ("));
      ASSERT_EQ(rows.size(), 1) << shown.toStdString();
      EXPECT_TRUE(rows.front().contains(QStringLiteral("): "))) << rows.front().toStdString();
      EXPECT_TRUE(pane->DebugButton->isEnabled());
    }
    EXPECT_NE(pane->TotalLabel->text(), all + QLatin1Char('/') + all + QStringLiteral(" points"));
    Editor->SetModified(false);
    Editor->close();
  }
}

TEST_F(ExercisePaneTest, ASourceWithAnErrorGoesToTheErrorBox) {
  TExercisePane* pane = Open(QStringLiteral("02-add-cells"));
  ASSERT_NE(pane, nullptr);
  ASSERT_TRUE(Check(pane, QStringLiteral("        load R1,[80h]\n        lod R2,1\n        halt")));
  ASSERT_GE(Editor->ErrorBox->count(), 1);
  EXPECT_TRUE(Editor->ErrorBox->item(0)->text().startsWith(QStringLiteral("line 2: ")))
      << Editor->ErrorBox->item(0)->text().toStdString();
  EXPECT_EQ(pane->ResultList->count(), 0);
  EXPECT_TRUE(pane->TotalLabel->text().contains(QStringLiteral("does not assemble")));
  // Memory is left as it was: Check never assembles into it.
  EXPECT_EQ(Main->Session().Memory(0), 0);
}

TEST_F(ExercisePaneTest, DebugThisCaseLoadsTheCaseStart) {
  TExercisePane* pane = Open(QStringLiteral("04-larger"));
  ASSERT_NE(pane, nullptr);
  const QString wrong = ReadLatin1(ExercisesDir + QStringLiteral("04-larger/wrong.asm"));
  ASSERT_TRUE(Check(pane, wrong));
  const TGradeCase* gradeCase = pane->SelectedFailingCase();
  ASSERT_NE(gradeCase, nullptr);
  EXPECT_TRUE(pane->ResultList->currentItem()->text().startsWith(QStringLiteral("FAIL ") +
                                                                 QString::fromStdString(gradeCase->Name)));
  Click(pane->DebugButton);

  std::vector<int32_t> image(256);
  for (int a = 0; a < 256; ++a) image[static_cast<size_t>(a)] = Editor->Parser().GetByte(a);
  const TRunSetup setup = CaseSetup(*gradeCase, image);
  for (int a = 0; a < 256; ++a) ASSERT_EQ(Main->Session().Memory(a), setup.Memory[static_cast<size_t>(a)]) << a;
  for (int r = 0; r < 16; ++r) EXPECT_EQ(Main->Session().Register(r), setup.Registers[static_cast<size_t>(r)]) << r;
  EXPECT_EQ(Pc(), setup.PC);
  // The source line of PC is shown in the editor, as after Assemble.
  EXPECT_GE(Editor->TextEditor->CurrentLine(), 0);
  // One edit: a single Undo gives the machine back as it was.
  Main->Session().Undo();
  for (int r = 0; r < 16; ++r) EXPECT_EQ(Main->Session().Register(r), 0) << r;
}

}  // namespace
