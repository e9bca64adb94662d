// Check in the real window: from the F6 key press to the results painted in
// the exercise pane, on the largest shipped exercise and its model answer.
#include "Bench.h"

#include "desktop/Settings.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/ExercisePane.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>

namespace {

// Notes the time of the first paint after it is armed.
class TPaintClock final : public QObject {
 public:
  explicit TPaintClock(const QElapsedTimer& clock) : FClock(clock) {}
  bool Armed = false;
  qint64 PaintedAt = -1;
  bool eventFilter(QObject*, QEvent* event) override {
    if (Armed && PaintedAt < 0 && event->type() == QEvent::Paint) PaintedAt = FClock.nsecsElapsed();
    return false;
  }

 private:
  const QElapsedTimer& FClock;
};

void MeasureCheck(TBenchContext& context) {
  // The answers the window keeps go to a scratch data folder.
  QStandardPaths::setTestModeEnabled(true);
  QFileInfoList exercises =
      QDir(QStringLiteral(ORVIK_EXAMPLES_DIR "/exercises")).entryInfoList({QStringLiteral("*.json")}, QDir::Files);
  if (exercises.isEmpty()) return;
  const QFileInfo largest = *std::max_element(
      exercises.begin(), exercises.end(), [](const QFileInfo& a, const QFileInfo& b) { return a.size() < b.size(); });
  QFile model(largest.path() + QLatin1Char('/') + largest.completeBaseName() + QStringLiteral("/model.asm"));
  if (!model.open(QIODevice::ReadOnly)) return;
  const QString answer = QString::fromLatin1(model.readAll());

  TSettings settings;
  TMainWin main(settings);
  main.show();
  if (!QTest::qWaitForWindowExposed(&main)) return;
  TAssemblerEditor* editor = main.OpenExercise(largest.absoluteFilePath());
  if (!editor) return;
  auto* pane = editor->findChild<TExercisePane*>();
  if (!pane || !QTest::qWaitForWindowExposed(editor)) return;
  editor->TextEditor->selectAll();
  editor->TextEditor->insertPlainText(answer);
  QApplication::setActiveWindow(editor);
  editor->TextEditor->setFocus();

  QElapsedTimer clock;
  TPaintClock painted(clock);
  pane->ResultList->viewport()->installEventFilter(&painted);
  const int rounds = context.Smoke() ? 2 : 20;
  double worstMs = 0;
  for (int round = 0; round < rounds; ++round) {
    QApplication::processEvents();
    painted.Armed = false;
    painted.PaintedAt = -1;
    bool done = false;
    const auto connection = QObject::connect(pane, &TExercisePane::Checked, [&] {
      done = true;
      painted.Armed = true;
    });
    clock.start();
    QTest::keyClick(editor->TextEditor, Qt::Key_F6);
    while ((!done || painted.PaintedAt < 0) && clock.elapsed() < 5000)
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    QObject::disconnect(connection);
    if (painted.PaintedAt < 0) return;
    worstMs = std::max(worstMs, static_cast<double>(painted.PaintedAt) / 1e6);
  }
  context.Report("check_latency_ms", worstMs);
  editor->SetModified(false);
  editor->close();
  main.SetMemoryModified(false);
  main.close();
}

}  // namespace

ORVIK_BENCH_CASE(check, MeasureCheck, true);
