#include "desktop/PlatformHelp.h"

#include "desktop/HelpHook.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QWidget>

namespace {

int NearestContext(const QWidget* widget) {
  for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
    if (const int context = HelpContextOf(widget)) return context;
  return 0;
}

class TPlatformHelpFilter final : public QObject {
 public:
  explicit TPlatformHelpFilter(QWidget* window) : QObject(window), FWindow(window) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != FWindow) return false;
    switch (event->type()) {
      case QEvent::ShortcutOverride:
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
        event->accept();
        // Students press F1 for help on what they are working in: it asks
        // for the popup of the focused control, the topic "What's this?"
        // shows for it, in every window.
        if (event->type() == QEvent::KeyPress) {
          const QWidget* focus = FWindow->focusWidget() ? FWindow->focusWidget() : FWindow;
          RequestContextHelp(NearestContext(focus));
        }
        return true;
      }
      case QEvent::QueryWhatsThis: event->accept(); return true;
      case QEvent::WhatsThis: {
        // The event has climbed from the control clicked to the window.
        auto* help = static_cast<QHelpEvent*>(event);
        const QWidget* clicked = FWindow->childAt(help->pos());
        RequestContextHelp(NearestContext(clicked ? clicked : FWindow));
        return true;
      }
      default: return false;
    }
  }

 private:
  QWidget* FWindow;
};

}  // namespace

void InstallPlatformHelp(QWidget* window) { window->installEventFilter(new TPlatformHelpFilter(window)); }
