#pragma once

#include <QString>
#include <QStringList>

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
  QString Zoom;         // percent, "100".."300"; empty is 100
  QString DarkColours;  // "1" for View > Dark Colours
  QString RunSpeed;     // Run > Speed in instructions per second, "0" for Max; empty is Max
  QString SpeedBar;     // "1" when the main window shows its speed bar
  QString TracePane;    // "1" when the main window shows its Trace pane
  QString LineNumbers;  // "1" when the editors show line numbers
};

inline const QString DefaultTempLstFile = QStringLiteral("OSasm.lst");
inline const QString BuiltInWebHelpAddress = QStringLiteral("https://orvik-simulator.org/help/");
inline const QString BuiltInContactAddress = QStringLiteral("orvik.simulator@orvik-simulator.org");
inline const QString ProductDescription =
    QStringLiteral("Orvik Simulator - a simulated 8-bit computer with its assembler");
inline const QString AuthorName = QStringLiteral("The Orvik Simulator developers");
