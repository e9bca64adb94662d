// Exercises: an exercise file opens an editor on the student's own answer
// with the exercise's pane beside it; Check runs in the pane, Debug this
// case comes back here to load a case into the machine.
#include "mainwin/MainWin.h"

#include "desktop/Platform.h"
#include "desktop/RecentFiles.h"
#include "desktop/Settings.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "grading/ByteText.h"
#include "grading/CaseCheck.h"
#include "grading/CaseFile.h"
#include "machine/FileWriter.h"
#include "mainwin/ExercisePane.h"
#include "mainwin/TracePane.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString ExerciseFilter = QStringLiteral("Exercises (*.json)");

// Sources are 8-bit files, read one character a byte; the case file's
// starter is UTF-8. Kept as it is when it has a character no byte holds, so
// nothing of it is lost.
std::string StarterBytes(const std::string& starter) {
  std::string bytes;
  std::string problem;
  return Utf8ToLatin1(starter, bytes, problem) ? bytes : starter;
}

}  // namespace

QString TMainWin::ExerciseSourcePath(const QString& exercisePath) {
  // Beside the other exercises' answers in the user's data folder, not
  // beside the exercise: a course's exercises are often in a folder the
  // student cannot write, and the answer survives a new copy of them.
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/exercises/") +
         QFileInfo(exercisePath).completeBaseName() + QStringLiteral(".asm");
}

void TMainWin::OpenExerciseClick() {
  TFileDialogRequest request;
  request.Title = QStringLiteral("Open Exercise");
  request.Filters = {ExerciseFilter};
  request.MustExist = true;
  const TFileDialogResult chosen = Platform().OpenFileDialog(this, request);
  if (chosen.Accepted) OpenExercise(chosen.Path);
}

TAssemblerEditor* TMainWin::OpenExercise(const QString& path) {
  auto exercise = std::make_shared<TCaseFile>();
  std::string problem;
  if (!ReadCaseFile(QFile::encodeName(path).toStdString(), *exercise, problem)) {
    Platform().ShowMessage(this, QStringLiteral("Open Exercise"), QString::fromLocal8Bit(problem), TMsgIcon::Error);
    return nullptr;
  }
  RecentFiles::Add(FSettings.RecentFiles, path);
  // The answer starts as the starter, written once where Save keeps it, so
  // that the student's work on the exercise is found again next time.
  const QString source = ExerciseSourcePath(path);
  QString sourceProblem;
  if (!QFileInfo::exists(source)) {
    if (!QDir().mkpath(QFileInfo(source).path()))
      sourceProblem = QStringLiteral("Cannot create the folder ") + QFileInfo(source).path();
    else
      sourceProblem = QString::fromLocal8Bit(
          WriteFileAtomically(QFile::encodeName(source).toStdString(), StarterBytes(exercise->Starter)));
  }
  TAssemblerEditor* editor = AssemblerButtonClick();
  if (!sourceProblem.isEmpty() || !editor->LoadAsmFile(source)) {
    // The exercise still opens on the starter; Save then asks for a name.
    if (!sourceProblem.isEmpty())
      Platform().ShowMessage(this, QStringLiteral("Open Exercise"), sourceProblem, TMsgIcon::Warning);
    editor->LoadLines(QString::fromUtf8(exercise->Starter.data(), static_cast<qsizetype>(exercise->Starter.size()))
                          .split(QLatin1Char('\n')));
  }
  QPointer<TAssemblerEditor> owner(editor);
  auto* pane = new TExercisePane(*editor, exercise,
                                 [this, owner](const TGradeCase& gradeCase, size_t maxOutput,
                                               const std::vector<int32_t>& image, const TProgramMap& map) {
                                   if (owner) DebugExerciseCase(*owner, gradeCase, maxOutput, image, map);
                                 });
  editor->addDockWidget(Qt::RightDockWidgetArea, pane);
  editor->resize(editor->width() + 320, editor->height());
  return editor;
}

void TMainWin::DebugExerciseCase(TAssemblerEditor& editor, const TGradeCase& gradeCase, size_t maxOutput,
                                 const std::vector<int32_t>& image, const TProgramMap& map) {
  if (!AskSaveMemory(QStringLiteral("Memory Changed.\nDo you want to save before you load the case?"))) return;
  if (FRunning) BreakSimulator();
  // The very start the grader used, so that the student's steps are the
  // ones that went wrong.
  const TRunSetup setup = CaseSetup(gradeCase, image, maxOutput);
  std::vector<TCellEdit> edits;
  for (size_t adr = 0; adr < setup.Memory.size() && adr < static_cast<size_t>(MemorySize); ++adr)
    edits.push_back({csMemory, static_cast<int>(adr), setup.Memory[adr]});
  for (int r = 0; r < RegisterCount; ++r) edits.push_back({csRegister, r, setup.Registers[static_cast<size_t>(r)]});
  edits.push_back({csSysReg, PCIndex, setup.PC});
  UserEdit(eaLoadCase, edits);
  SetMemoryModified(false);
  FTraceWin->StartSection(QStringLiteral("Case ") + QString::fromStdString(gradeCase.Name), FSession->Executed());
  AssembledFrom(editor, map, editor.TextEditor->MarkedLines());
  SetStatus(QStringLiteral("Ready"), Qt::black);
  raise();
  activateWindow();
}
