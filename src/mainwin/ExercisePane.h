#pragma once

#include "grading/GradeRunner.h"
#include "machine/ProgramMap.h"

#include <QDockWidget>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QPushButton;
class QTextBrowser;
class TAssemblerEditor;

// An exercise beside the editor that holds the student's answer: its title,
// statement and visible cases, and Check, which assembles the editor's text
// and runs it against every case with the engine of orvik-cli test. The run
// happens on a worker thread so that the window stays responsive even for a
// case that spins up to its step limit.
class TExercisePane : public QDockWidget {
  Q_OBJECT

 public:
  // Loads a failing case's start into the machine: the case, the case
  // file's output cap, and the image and map that Check ran.
  using TDebugCase = std::function<void(const TGradeCase& gradeCase, size_t maxOutput,
                                        const std::vector<int32_t>& image, const TProgramMap& map)>;

  TExercisePane(TAssemblerEditor& editor, std::shared_ptr<const TCaseFile> exercise, TDebugCase onDebug);

  // Controls, named as the student knows them.
  QLabel* TitleLabel;
  QTextBrowser* StatementView;
  QListWidget* CaseList;  // the visible cases
  QPushButton* CheckButton;
  QAction* CheckAction;  // F6 anywhere in the editor's window
  QListWidget* ResultList;
  QLabel* HiddenLabel;  // "n of m hidden cases pass"
  QLabel* TotalLabel;   // "4/6 points"
  QPushButton* DebugButton;

  const TCaseFile& Exercise() const { return *FExercise; }
  bool Checking() const { return FChecking; }
  // Starts a check; nothing happens while one runs.
  void Check();
  // The failing visible case of the selected result row, if any.
  const TGradeCase* SelectedFailingCase() const;
  void DebugClick();

 Q_SIGNALS:
  // The results of a check are shown (also when the source did not assemble).
  void Checked();

 private:
  void ShowOutcome(const TSubmissionOutcome& outcome);
  void UpdateDebugButton();

  TAssemblerEditor& FEditor;
  std::shared_ptr<const TCaseFile> FExercise;
  TDebugCase FOnDebug;
  bool FChecking = false;
  // What the last check ran, for Debug this case.
  std::vector<int32_t> FImage;
  TProgramMap FMap;
  // Per result row: the failing case it shows, or none.
  std::vector<const TGradeCase*> FRowCases;
};
