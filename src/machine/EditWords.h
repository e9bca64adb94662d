#pragma once

#include <string>

#include "machine/Simulator.h"

// The words of the student's edits as Edit > Undo/Redo and the status bar
// say them, in the window and on the page alike.

// "Typing", "Clear", "Paste", ... as in "Undo Typing".
const char* EditActionName(TEditAction action);

// The status words of an Undo about to be done on simulator: "Undone: Clear"
// when its newest entry is a user edit, else why nothing can be undone
// ("Nothing to undo: use Step Back (Shift+F8) first" after instructions).
std::string UndoWords(const TSimulator& simulator);

// "Redone: Clear", or "Nothing to redo".
std::string RedoWords(const TSimulator& simulator);

// After going back: what was done and how far the student can still go,
// "Stepped back: 3 steps back available" (what "Stepped back") or "Back 4
// steps: 0 steps back available"; NoStepBackWords when nothing went back.
std::string StepBackWords(const std::string& what, const TSimulator& simulator);
// Back to start of run's words after undone instructions went back:
// "Back 4 steps: 0 steps back available", NoStepBackWords for none.
std::string BackToStartWords(uint64_t undone, const TSimulator& simulator);
inline constexpr const char* NoStepBackWords = "No instruction to step back";
