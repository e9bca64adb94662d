#pragma once

#include <QString>

class QWidget;

// The message for a result code of the desktop's "open" action (the codes
// TPlatform::OpenDocument returns); empty for success.
QString LaunchErrorMessage(int resultCode);

// Opens an address or document with the desktop and reports a failure in a
// message box: the prefix followed by the reason.
void LaunchDocument(QWidget* owner, const QString& prefix, const QString& target);
