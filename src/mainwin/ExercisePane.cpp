#include "mainwin/ExercisePane.h"

#include "assembler/AsmParser.h"
#include "desktop/HelpHook.h"
#include "editor/AssemblerEditor.h"
#include "grading/ExerciseWords.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QThreadPool>
#include <QVBoxLayout>

namespace {

// Case files are UTF-8 (JSON): a title or a case name with an accent shows
// as written.
QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TExercisePane::TExercisePane(TAssemblerEditor& editor, std::shared_ptr<const TCaseFile> exercise, TDebugCase onDebug)
    : QDockWidget(QStringLiteral("Exercise"), &editor),
      FEditor(editor),
      FExercise(std::move(exercise)),
      FOnDebug(std::move(onDebug)) {
  setObjectName(QStringLiteral("ExercisePane"));
  setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);

  TitleLabel = new QLabel(Text(FExercise->Title), body);
  QFont bold = TitleLabel->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  TitleLabel->setFont(bold);
  TitleLabel->setWordWrap(true);
  layout->addWidget(TitleLabel);

  // Plain paragraphs are Markdown too, so one reader serves both.
  StatementView = new QTextBrowser(body);
  StatementView->setOpenLinks(false);
  StatementView->document()->setMarkdown(Text(FExercise->Statement));
  layout->addWidget(StatementView, 2);

  layout->addWidget(new QLabel(QStringLiteral("Cases:"), body));
  CaseList = new QListWidget(body);
  int hidden = 0;
  for (const TGradeCase& gradeCase : FExercise->Cases) {
    if (gradeCase.Hidden) {
      ++hidden;
      continue;
    }
    CaseList->addItem(Text(CaseListText(gradeCase)));
  }
  if (hidden > 0) CaseList->addItem(Text(HiddenCasesText(hidden)));
  layout->addWidget(CaseList, 1);

  auto* buttons = new QHBoxLayout;
  CheckButton = new QPushButton(QStringLiteral("C&heck"), body);
  CheckButton->setToolTip(QStringLiteral("Assemble the source and run it against every case (F6)"));
  DebugButton = new QPushButton(QStringLiteral("&Debug this case"), body);
  DebugButton->setToolTip(
      QStringLiteral("Load the selected failing case's memory, registers and PC into the machine to step through it"));
  DebugButton->setEnabled(false);
  buttons->addWidget(CheckButton);
  buttons->addWidget(DebugButton);
  buttons->addStretch();
  layout->addLayout(buttons);

  ResultList = new QListWidget(body);
  ResultList->setWordWrap(true);
  layout->addWidget(ResultList, 2);
  HiddenLabel = new QLabel(body);
  layout->addWidget(HiddenLabel);
  TotalLabel = new QLabel(body);
  TotalLabel->setFont(bold);
  layout->addWidget(TotalLabel);
  setWidget(body);
  SetHelpContext(this, hcExercisePane);

  // On the editor's window, so that F6 checks wherever the caret is.
  CheckAction = new QAction(QStringLiteral("Check"), &editor);
  CheckAction->setShortcut(QKeySequence(Qt::Key_F6));
  CheckAction->setShortcutContext(Qt::WindowShortcut);
  editor.addAction(CheckAction);
  connect(CheckAction, &QAction::triggered, this, &TExercisePane::Check);
  connect(CheckButton, &QPushButton::clicked, this, &TExercisePane::Check);
  connect(DebugButton, &QPushButton::clicked, this, &TExercisePane::DebugClick);
  connect(ResultList, &QListWidget::currentRowChanged, this, &TExercisePane::UpdateDebugButton);
}

void TExercisePane::Check() {
  if (FChecking) return;
  ResultList->clear();
  FRowCases.clear();
  HiddenLabel->clear();
  DebugButton->setEnabled(false);
  if (!FEditor.AssembleText()) {
    // The errors are in the editor's error box, as after Assemble.
    TotalLabel->setText(QString::fromLatin1(DoesNotAssembleText));
    Q_EMIT Checked();
    return;
  }
  FImage = FEditor.AssembledImage();
  FMap = FEditor.Parser().Map();
  FChecking = true;
  CheckButton->setEnabled(false);
  TotalLabel->setText(QStringLiteral("Checking..."));
  // The worker holds its own copies and the case file, so that closing the
  // editor while it runs loses nothing and frees nothing in use.
  QPointer<TExercisePane> pane(this);
  std::shared_ptr<const TCaseFile> exercise = FExercise;
  std::vector<int32_t> image = FImage;
  TProgramMap map = FMap;
  QThreadPool::globalInstance()->start([pane, exercise, image, map] {
    auto outcome = std::make_shared<TSubmissionOutcome>(GradeImage(image, &map, {exercise.get()}));
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [pane, exercise, outcome] {
          if (pane) pane->ShowOutcome(*outcome);
        },
        Qt::QueuedConnection);
  });
}

void TExercisePane::ShowOutcome(const TSubmissionOutcome& outcome) {
  FChecking = false;
  CheckButton->setEnabled(true);
  for (const TCaseOutcome& result : outcome.Cases) {
    const TGradeCase& gradeCase = *result.Case;
    if (gradeCase.Hidden) continue;
    auto* item = new QListWidgetItem(Text(ResultRowText(result)));
    item->setForeground(result.Passed ? QColor(0, 128, 0) : QColor(192, 0, 0));
    ResultList->addItem(item);
    FRowCases.push_back(result.Passed ? nullptr : &gradeCase);
  }
  HiddenLabel->setText(Text(HiddenResultText(outcome)));
  TotalLabel->setText(Text(TotalPointsText(outcome)));
  // The first failing visible case is selected, ready for Debug this case.
  for (size_t row = 0; row < FRowCases.size(); ++row)
    if (FRowCases[row]) {
      ResultList->setCurrentRow(static_cast<int>(row));
      break;
    }
  UpdateDebugButton();
  Q_EMIT Checked();
}

const TGradeCase* TExercisePane::SelectedFailingCase() const {
  const int row = ResultList->currentRow();
  if (row < 0 || row >= static_cast<int>(FRowCases.size())) return nullptr;
  return FRowCases[static_cast<size_t>(row)];
}

void TExercisePane::UpdateDebugButton() { DebugButton->setEnabled(!FChecking && SelectedFailingCase() != nullptr); }

void TExercisePane::DebugClick() {
  const TGradeCase* gradeCase = SelectedFailingCase();
  if (gradeCase && FOnDebug) FOnDebug(*gradeCase, FExercise->MaxOutput, FImage, FMap);
}
