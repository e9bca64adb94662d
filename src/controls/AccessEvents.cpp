#include "controls/AccessEvents.h"

#include <QAccessible>

namespace {
TAccessEvents::TSink GSink = nullptr;
}  // namespace

bool TAccessEvents::Listening() { return GSink || QAccessible::isActive(); }

void TAccessEvents::Send(QAccessibleEvent* event) {
  if (GSink)
    GSink(event);
  else
    QAccessible::updateAccessibility(event);
}

TAccessEvents::TSink TAccessEvents::SetSink(TSink sink) {
  const TSink old = GSink;
  GSink = sink;
  return old;
}
