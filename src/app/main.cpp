#include "app/Program.h"
#include "desktop/SettingsStore.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort with a message about platform plugins;
// say plainly what is missing instead.
bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_LINUX
  if (!HasDisplay()) {
    std::fputs(
        "orvik: there is no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Start it from a desktop session, or under a virtual display with:  xvfb-run -a orvik\n",
        stderr);
    return 1;
  }
#endif
  QApplication app(argc, argv);
  TProgram program(std::make_unique<TQSettingsStore>(), BuiltInVersionResource(),
                   [](const char* name) { return qEnvironmentVariable(name); });
  if (!program.Start()) return 1;
  program.EndOnSignals();
  // Every argument is a file: the desktop starts "orvik %F" with the files
  // the student double-clicked. Qt has already taken its own options out.
  program.Run(QApplication::arguments().mid(1));
  return program.Finish() ? 0 : 1;
}
