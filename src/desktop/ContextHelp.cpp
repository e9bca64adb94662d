#include "desktop/ContextHelp.h"

#include "desktop/HelpHook.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>
#include <QWhatsThis>

namespace {

const char* const ContextProperty = "orvikHelpContext";
const char* const F1Property = "orvikF1Help";

// Qt builds controls out of inner widgets (viewports, scroll bars, the
// central widget of a main window) that carry no context of their own: they
// count as part of the control around them.
bool CarriesContext(const QWidget* widget) { return widget->property(ContextProperty).isValid(); }

int NearestContext(const QWidget* widget) {
  for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
    if (const int context = HelpContextOf(widget)) return context;
  return hcNone;
}

bool IsMouseButtonEvent(QEvent::Type type) {
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
}

}  // namespace

TContextHelp& TContextHelp::Instance() {
  static QPointer<TContextHelp> help;
  if (!help) {
    help = new TContextHelp;
    help->setParent(qApp);
    qApp->installEventFilter(help);
  }
  return *help;
}

void TContextHelp::ModeChanged(bool on) {
  // Qt tells every window; the mode changed once.
  if (on == FModeOn) return;
  FModeOn = on;
  Q_EMIT WhatsThisModeChanged(on);
}

bool TContextHelp::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::EnterWhatsThisMode:
      // A window told of the title-bar button enters the mode itself.
      if (!QWhatsThis::inWhatsThisMode()) QWhatsThis::enterWhatsThisMode();
      // Qt's mode puts its own filter ahead of this one; this one moves
      // ahead again, because Qt's mode turns a middle press into a help
      // request, lets a right click through to the control and swallows a
      // lone release, where each of them should end the mode.
      qApp->removeEventFilter(this);
      qApp->installEventFilter(this);
      ModeChanged(true);
      return false;
    case QEvent::LeaveWhatsThisMode: ModeChanged(false); return false;
    case QEvent::QueryWhatsThis: event->accept(); return true;
    case QEvent::WhatsThis: {
      // Qt asks the control under the pointer, or the window that holds the
      // mouse; the hit test starts from the screen point either way.
      const int context = ContextAt(static_cast<QHelpEvent*>(event)->globalPos());
      // The mode ends before the help window opens, so that the window
      // comes up with the normal pointer.
      QWhatsThis::leaveWhatsThisMode();
      RequestContextHelp(context);
      event->accept();
      return true;
    }
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: return F1Pressed(widget, static_cast<QKeyEvent*>(event));
    default: break;
  }
  if (IsMouseButtonEvent(event->type()) && QWhatsThis::inWhatsThisMode()) {
    // Only a left press goes on to become Qt's help request.
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) return false;
    QWhatsThis::leaveWhatsThisMode();
    return true;
  }
  return false;
}

bool TContextHelp::F1Pressed(QWidget* widget, QKeyEvent* key) {
  if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
  QWidget* window = widget->window();
  if (!window->property(F1Property).toBool()) return false;
  key->accept();
  // Students press F1 for help on what they are working in: the topic
  // "What's this?" shows for the focused control, whatever else claims the
  // key.
  if (key->type() == QEvent::KeyPress) {
    const QWidget* focus = window->focusWidget() ? window->focusWidget() : window;
    RequestContextHelp(NearestContext(focus));
  }
  return true;
}

void TContextHelp::StartWhatsThis() {
  Instance();
  QWhatsThis::enterWhatsThisMode();
}

void TContextHelp::OfferF1(QWidget* window) {
  Instance();
  window->setProperty(F1Property, true);
}

bool TContextHelp::IsWindowedControl(const QWidget* widget) {
  if (widget->isWindow() || !widget->isVisible()) return false;
  if (qobject_cast<const QLabel*>(widget)) return false;
  // A bare frame is a bevel or a line.
  if (widget->metaObject() == &QFrame::staticMetaObject) return false;
  if (const auto* tool = qobject_cast<const QToolButton*>(widget); tool && tool->autoRaise()) return false;
  return true;
}

int TContextHelp::ContextAt(const QPoint& globalPos) {
  // The platform knows which window is on top at the point; a hidden window
  // cannot be clicked on.
  const QWidget* window = QApplication::topLevelAt(globalPos);
  if (!window || !window->isVisible()) return hcNone;

  int context = HelpContextOf(window);
  const QWidget* current = window;
  for (bool descended = true; descended;) {
    descended = false;
    const QObjectList& children = current->children();
    for (auto child = children.crbegin(); child != children.crend(); ++child) {
      const auto* widget = qobject_cast<const QWidget*>(*child);
      if (!widget || !IsWindowedControl(widget)) continue;
      if (!widget->geometry().contains(current->mapFromGlobal(globalPos))) continue;
      if (CarriesContext(widget)) context = HelpContextOf(widget);
      current = widget;
      descended = true;
      break;
    }
  }
  return context;
}
