#include "machine/EditWords.h"

const char* EditActionName(TEditAction action) {
  switch (action) {
    case eaCellEdit: return "Typing";
    case eaClear: return "Clear";
    case eaPaste: return "Paste";
    case eaCut: return "Cut";
    case eaComposer: return "Composer";
    case eaAssemble: return "Assemble";
    case eaLoadFile: return "Open file";
    case eaLoadCase: return "Debug case";
    case eaClearOutput: return "Clear output";
  }
  return "";
}

std::string UndoWords(const TSimulator& simulator) {
  TEditAction action{};
  if (simulator.NewestEdit(action)) return std::string("Undone: ") + EditActionName(action);
  // Instructions ran after the last edit: those go back with Step Back.
  return simulator.StepsBack() > 0 ? "Nothing to undo: use Step Back (Shift+F8) first" : "Nothing to undo";
}

std::string RedoWords(const TSimulator& simulator) {
  if (!simulator.CanRedo()) return "Nothing to redo";
  return std::string("Redone: ") + EditActionName(simulator.RedoEdits().back().Action);
}

std::string StepBackWords(const std::string& what, const TSimulator& simulator) {
  const uint64_t left = simulator.StepsBack();
  return what + ": " + std::to_string(left) + (left == 1 ? " step" : " steps") + " back available";
}

std::string BackToStartWords(uint64_t undone, const TSimulator& simulator) {
  if (undone == 0) return NoStepBackWords;
  return StepBackWords("Back " + std::to_string(undone) + (undone == 1 ? " step" : " steps"), simulator);
}
