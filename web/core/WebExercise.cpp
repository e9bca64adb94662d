// The page's exercise pane: an exercise read from the page's bytes, and
// Check, which grades the last assembled image with the engine of orvik-cli
// test and hands out the rows in the window's words.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "WebCore.h"
#include "grading/CaseCheck.h"
#include "grading/CaseFile.h"
#include "grading/ExerciseWords.h"
#include "grading/GradeRunner.h"

namespace {

struct TExerciseState {
  std::shared_ptr<const TCaseFile> Exercise;
  std::vector<std::string> CaseLines;  // the visible cases, then "and n hidden cases"
  // The last check: its outcome points into Exercise, which it keeps; the
  // image and map it ran, for Debug this case.
  std::shared_ptr<const TCaseFile> Checked;
  TSubmissionOutcome Outcome;
  std::vector<const TCaseOutcome*> Rows;  // the visible cases' results
  std::vector<int32_t> Image;
  TProgramMap Map;
};

TExerciseState& Exercise() {
  static auto* state = new TExerciseState();
  return *state;
}

const TCaseOutcome* Row(int i) {
  const std::vector<const TCaseOutcome*>& rows = Exercise().Rows;
  return i >= 0 && static_cast<size_t>(i) < rows.size() ? rows[static_cast<size_t>(i)] : nullptr;
}

}  // namespace

extern "C" {

// The input holds the file's name (nameLength bytes) and then its text.
// Returns "" or every mistake of the file, one a line; the exercise open
// before stays open on failure.
EMSCRIPTEN_KEEPALIVE const char* orvik_exercise_open(int nameLength, int length) {
  const std::string_view input = WebInput(length);
  const std::string name(input.substr(0, static_cast<size_t>(std::max(nameLength, 0))));
  const std::string text(input.substr(name.size()));
  auto exercise = std::make_shared<TCaseFile>();
  std::string problem;
  if (!ParseCaseFile(text, name, *exercise, problem)) return HandText(problem);
  TExerciseState& state = Exercise();
  state = TExerciseState();
  int hidden = 0;
  for (const TGradeCase& gradeCase : exercise->Cases)
    if (gradeCase.Hidden)
      ++hidden;
    else
      state.CaseLines.push_back(CaseListText(gradeCase));
  if (hidden > 0) state.CaseLines.push_back(HiddenCasesText(hidden));
  state.Exercise = std::move(exercise);
  return HandText("");
}

// 0 the title, 1 the statement, 2 the starter.
EMSCRIPTEN_KEEPALIVE const char* orvik_exercise_text(int which) {
  const TCaseFile* exercise = Exercise().Exercise.get();
  if (!exercise) return HandText("");
  return HandText(which == 0 ? exercise->Title : which == 1 ? exercise->Statement : exercise->Starter);
}
EMSCRIPTEN_KEEPALIVE int orvik_exercise_case_count() { return static_cast<int>(Exercise().CaseLines.size()); }
EMSCRIPTEN_KEEPALIVE const char* orvik_exercise_case(int i) {
  return HandText(Exercise().CaseLines.at(static_cast<size_t>(i)));
}

// Runs the last assembled image (the page assembled the editor's text
// without errors just before) against every case; returns the number of
// result rows, one per visible case.
EMSCRIPTEN_KEEPALIVE int orvik_exercise_check() {
  TExerciseState& state = Exercise();
  if (!state.Exercise) return 0;
  state.Checked = state.Exercise;
  state.Image = AssembledImage();
  state.Map = AssembledMap();
  state.Outcome = GradeImage(state.Image, &state.Map, {state.Checked.get()});
  state.Rows.clear();
  for (const TCaseOutcome& result : state.Outcome.Cases)
    if (!result.Case->Hidden) state.Rows.push_back(&result);
  return static_cast<int>(state.Rows.size());
}
EMSCRIPTEN_KEEPALIVE const char* orvik_check_row(int i) {
  const TCaseOutcome* row = Row(i);
  return HandText(row ? ResultRowText(*row) : std::string());
}
EMSCRIPTEN_KEEPALIVE int orvik_check_row_passed(int i) {
  const TCaseOutcome* row = Row(i);
  return row && row->Passed ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE const char* orvik_check_hidden() { return HandText(HiddenResultText(Exercise().Outcome)); }
EMSCRIPTEN_KEEPALIVE const char* orvik_check_total() { return HandText(TotalPointsText(Exercise().Outcome)); }
EMSCRIPTEN_KEEPALIVE const char* orvik_check_no_assembly() { return HandText(DoesNotAssembleText); }

// Debug this case: the failing visible case of row i starts in the machine
// (one undoable edit) with the checked source's map, so the line band shows.
// Returns 0 for a row that is no failing case.
EMSCRIPTEN_KEEPALIVE int orvik_exercise_debug(int i) {
  const TExerciseState& state = Exercise();
  const TCaseOutcome* row = Row(i);
  if (!row || row->Passed) return 0;
  const TRunSetup setup = CaseSetup(*row->Case, state.Image, state.Checked->MaxOutput);
  WebSession().LoadCaseStart(setup.Memory, setup.Registers, setup.PC);
  WebSession().Debug().SetMap(state.Map);
  return 1;
}
}
