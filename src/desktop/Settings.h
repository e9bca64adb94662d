#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The program-wide settings record: filled at start, read and changed
// directly by the windows, written back when the program ends.
struct TSettings {
  QString TempDir;  // always ends in a path separator; never stored
  QString CurrentMemFile;
  QString CurrentAsmFile;
  QString WebHelpAddress;
  QString DefaultWebHelpAddress;
  QString TempLstFile;
  QString VersionText;     // stored as "Version"
  QString LegalText;       // stored as "Copyright"
  QString ContactAddress;  // stored as "EMail"
  // Newest first, at most eight; stored as "RecentFile1".."RecentFile8".
  QStringList RecentFiles;
  // The view's choices, unset until the user first makes them (and then
  // only stored); flags are stored as "1" and "0", numbers in decimal.
  std::optional<int> Zoom;          // percent, 100..300; unset is 100
  std::optional<bool> DarkColours;  // View > Dark Colours
  std::optional<int> RunSpeed;      // Run > Speed in instructions per second, 0 for Max; unset is Max
  std::optional<bool> SpeedBar;     // the main window shows its speed bar
  std::optional<bool> TracePane;    // the main window shows its Trace pane
  std::optional<bool> LineNumbers;  // the editors show line numbers
};

inline const QString DefaultTempLstFile = QStringLiteral("OSasm.lst");
inline const QString BuiltInWebHelpAddress = QStringLiteral("https://orvik-simulator.org/help/");
inline const QString BuiltInContactAddress = QStringLiteral("orvik.simulator@orvik-simulator.org");
inline const QString ProductDescription =
    QStringLiteral("Orvik Simulator - a simulated 8-bit computer with its assembler");
inline const QString AuthorName = QStringLiteral("The Orvik Simulator developers");
