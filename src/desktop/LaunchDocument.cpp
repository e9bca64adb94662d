#include "desktop/LaunchDocument.h"

#include "desktop/Platform.h"

QString LaunchErrorMessage(int resultCode) {
  // Only the failures a desktop opener can still tell apart have a message:
  // the platform sees a missing file or folder, an unreadable file, or that
  // nothing on the desktop handles the target. Any other code is a success.
  switch (resultCode) {
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied access to the specified file.");
    case 31: return QStringLiteral("There is no application associated with the given filename extension.");
    default: return QString();
  }
}

void LaunchDocument(QWidget* owner, const QString& prefix, const QString& target) {
  const QString message = LaunchErrorMessage(Platform().OpenDocument(target));
  if (!message.isEmpty()) Platform().ShowMessage(owner, QStringLiteral("Error"), prefix + message, TMsgIcon::Error);
}
