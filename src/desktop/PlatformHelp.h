#pragma once

class QWidget;

// The platform's own ways of asking for help inside a window: F1 asks for the
// popup of the focused control (or of the nearest parent that has a
// context), in every window; and, in a window with a title-bar help button,
// a click in the platform's "What's this?" mode asks for the context of the
// control clicked.
void InstallPlatformHelp(QWidget* window);
