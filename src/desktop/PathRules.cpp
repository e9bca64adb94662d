#include "desktop/PathRules.h"

#include <algorithm>

int LastSeparator(const QString& path) {
  return static_cast<int>(std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))));
}

QString DirectoryPart(const QString& path) {
  const int separator = LastSeparator(path);
  return separator < 0 ? QString() : path.left(separator);
}

QString BareFileName(const QString& path) {
  const int separator = LastSeparator(path);
  const int dot = static_cast<int>(path.lastIndexOf(QLatin1Char('.')));
  if (dot <= separator) return QString();
  return path.mid(separator + 1, dot - separator - 1);
}
