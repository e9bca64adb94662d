#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

#include <cstdlib>

// A key typed as the user types it: press and release, then the event loop
// gets its turn, so the time includes colouring, layout and painting
// (NOPAINT=1 in the environment leaves the event loop out, to tell the two
// apart).
inline void TypeKey(QWidget* target, char c) {
  const QString text(QLatin1Char(static_cast<char>(c)));
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
  if (!std::getenv("NOPAINT")) QApplication::processEvents();
}
