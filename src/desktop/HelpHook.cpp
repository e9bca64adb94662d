#include "desktop/HelpHook.h"

#include <QVariant>
#include <QWidget>

namespace {
THelpHandler& Handler() {
  static THelpHandler handler;
  return handler;
}
constexpr const char* HelpContextProperty = "orvikHelpContext";
}  // namespace

void SetApplicationHelpHandler(THelpHandler handler) { Handler() = std::move(handler); }

bool ApplicationHelpCommand(uint16_t command, int data) {
  if (!Handler()) return false;
  bool callHelp = false;
  return Handler()(command, data, callHelp);
}

void SetHelpContext(QWidget* widget, THelpContext context) { widget->setProperty(HelpContextProperty, context); }

int HelpContextOf(const QWidget* widget) { return widget->property(HelpContextProperty).toInt(); }
