#pragma once

#include "desktop/HelpContexts.h"

#include <cstdint>
#include <functional>

class QWidget;

// The platform's help command for a context popup; the only command the
// program answers.
constexpr uint16_t HELP_CONTEXTPOPUP = 8;

// The application's single help hook: (command, context, callHelp) -> handled.
// callHelp asks the platform's own help engine to run; the program never does.
using THelpHandler = std::function<bool(uint16_t command, int data, bool& callHelp)>;

void SetApplicationHelpHandler(THelpHandler handler);
// Passes a help command to the hook; false when there is none or it declined.
bool ApplicationHelpCommand(uint16_t command, int data);
inline bool RequestContextHelp(int context) { return ApplicationHelpCommand(HELP_CONTEXTPOPUP, context); }

// Every window and control carries a help context (hcNone for none).
void SetHelpContext(QWidget* widget, THelpContext context);
int HelpContextOf(const QWidget* widget);
