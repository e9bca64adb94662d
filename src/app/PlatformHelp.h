#pragma once

class QWidget;

// The platform's own ways of asking for help inside a window: F1 asks for the
// context of the focused control (or of the nearest parent that has one),
// and, in a window with a title-bar help button, a click in the platform's
// "What's this?" mode asks for the context of the control clicked. Only a
// window with that button asks for a popup; elsewhere F1 asks for plain
// help, which the program declines.
void InstallPlatformHelp(QWidget* window);
