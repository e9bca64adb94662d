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
