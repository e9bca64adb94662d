#include "MainWinFixture.h"
#include "app/Program.h"
#include "desktop/SettingsStore.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"

#include <QSettings>
#include <QTimer>

#include <vector>

namespace {

// Closing the main window with two modified editors and modified memory:
// the answers given to the first round of questions, how many questions that
// round asks, and whether the program ends with it.
struct TExitCase {
  const char* Name;
  std::vector<TAnswer> Answers;
  int Questions;
  bool Ends;
};

const TExitCase ExitCases[] = {
    {"NoToEverything", {TAnswer::No, TAnswer::No, TAnswer::No}, 3, true},
    {"CancelAtTheFirstEditor", {TAnswer::Cancel}, 1, false},
    {"CancelAtTheSecondEditor", {TAnswer::No, TAnswer::Cancel}, 2, false},
    {"CancelAtMemory", {TAnswer::No, TAnswer::No, TAnswer::Cancel}, 3, false},
};

class MainWinExitTest : public ::testing::TestWithParam<TExitCase> {
 protected:
  QTemporaryDir FDir;
  TScriptedPlatform FPlatform;
};

int VisibleEditors() {
  int count = 0;
  for (TZForm* form : TZForm::AllForms())
    if (dynamic_cast<TAssemblerEditor*>(form) && form->Window()->isVisible()) ++count;
  return count;
}

TEST_P(MainWinExitTest, EachWindowIsAskedOnceAndTheProgramEndsWithTheMainWindow) {
  const TExitCase& c = GetParam();
  const QString storePath = FDir.filePath("Zavel.conf");
  TProgram program(std::make_unique<TQSettingsStore>(storePath), TVersionResource{},
                   [this](const char*) { return FDir.path(); });
  ASSERT_TRUE(program.Start());
  program.Settings().TempLstFile = QStringLiteral("changed.lst");  // as Options would
  TMainWin* main = program.MainWin();

  bool timedOut = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    timedOut = true;
    QApplication::exit(1);
  });
  QTimer::singleShot(0, main, [&] {
    for (const char* text : {"first", "second"}) {
      TAssemblerEditor* editor = main->AssemblerButtonClick();
      QTest::keyClicks(editor->TextEditor, text);
    }
    main->MainMemory()->SetContents(0, 0x20);
    ASSERT_TRUE(main->MemoryModified());
    ASSERT_EQ(VisibleEditors(), 2);

    FPlatform.Answers.assign(c.Answers.begin(), c.Answers.end());
    main->close();
    EXPECT_EQ(FPlatform.Messages.size(), c.Questions);
    if (c.Ends) {
      EXPECT_EQ(VisibleEditors(), 0);
    } else {
      // Nothing closed: the main window is still there and usable.
      EXPECT_TRUE(main->isVisible());
      EXPECT_EQ(VisibleEditors(), 2);
      EXPECT_TRUE(main->MemoryModified());
      EXPECT_TRUE(main->RunButton()->isEnabled());
      // Now the student gives up everything.
      FPlatform.Answers = {TAnswer::No, TAnswer::No, TAnswer::No};
      main->close();
      EXPECT_EQ(FPlatform.Messages.size(), c.Questions + 3);
      EXPECT_EQ(VisibleEditors(), 0);
    }
    watchdog.start(5000);
  });
  program.Run({});
  EXPECT_FALSE(timedOut) << "the event loop did not end with the main window";
  EXPECT_TRUE(FPlatform.Answers.empty());
  EXPECT_TRUE(program.Finish());
  EXPECT_EQ(QSettings(storePath, QSettings::IniFormat).value("TempLstFile").toString(), "changed.lst");
  QApplication::processEvents();
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWinExitTest, ::testing::ValuesIn(ExitCases),
                         [](const ::testing::TestParamInfo<TExitCase>& info) { return info.param.Name; });

}  // namespace
