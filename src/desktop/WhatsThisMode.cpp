#include "desktop/WhatsThisMode.h"

#include "desktop/HelpHook.h"
#include "desktop/ZForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace {

const char* const ContextProperty = "orvikHelpContext";

// Qt builds controls out of inner widgets (viewports, scroll bars, the
// central widget of a main window) that carry no context of their own: they
// count as part of the control around them.
bool CarriesContext(const QWidget* widget) { return widget->property(ContextProperty).isValid(); }

}  // namespace

TWhatsThisMode::TWhatsThisMode(QWidget* window, QAbstractButton* button)
    : QObject(window), FWindow(window), FButton(button) {}

TWhatsThisMode::~TWhatsThisMode() {
  if (FActive) Finish();
}

bool TWhatsThisMode::IsWindowedControl(const QWidget* widget) {
  if (widget->isWindow() || !widget->isVisible()) return false;
  if (qobject_cast<const QLabel*>(widget)) return false;
  // A bare frame is a bevel or a line.
  if (widget->metaObject() == &QFrame::staticMetaObject) return false;
  if (const auto* tool = qobject_cast<const QToolButton*>(widget); tool && tool->autoRaise()) return false;
  return true;
}

int TWhatsThisMode::ContextAt(const QPoint& globalPos) {
  const QWidget* window = nullptr;
  for (const TZForm* form = TZForm::TopForm(); form; form = form->Below()) {
    // A hidden window cannot be clicked on.
    if (form->Window()->isVisible() && form->Window()->frameGeometry().contains(globalPos)) {
      window = form->Window();
      break;
    }
  }
  if (!window) return 0;

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

void TWhatsThisMode::Start() {
  if (FActive || !FButton) return;
  FActive = true;
  FButton->setChecked(true);
  FButton->setCursor(Qt::WhatsThisCursor);
  QApplication::setOverrideCursor(Qt::WhatsThisCursor);
  FPreviousGrabber = QWidget::mouseGrabber();
  FWindow->installEventFilter(this);
  // Qt hands moves without a button only to widgets that track the mouse.
  FWasTracking = FWindow->hasMouseTracking();
  FWindow->setMouseTracking(true);
  FWindow->grabMouse();
}

void TWhatsThisMode::Finish() {
  FActive = false;
  FWindow->releaseMouse();
  if (FPreviousGrabber && FPreviousGrabber != FWindow) FPreviousGrabber->grabMouse();
  FPreviousGrabber = nullptr;
  FWindow->removeEventFilter(this);
  FWindow->setMouseTracking(FWasTracking);
  QApplication::restoreOverrideCursor();
  if (!FButton) return;
  if (FOverButton) {
    FOverButton = false;
    FButton->setAttribute(Qt::WA_UnderMouse, false);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(FButton, &leave);
  }
  FButton->unsetCursor();
  FButton->setChecked(false);
  FButton->update();
}

// The window holds the mouse, so the button sees no moves of its own; it gets
// them passed on while the pointer is over it, and one more when it leaves,
// so that it can show and take away its hover look.
void TWhatsThisMode::TrackButtonHover(const QPoint& globalPos) {
  if (!FButton) return;
  const QPoint local = FButton->mapFromGlobal(globalPos);
  const bool over = FButton->isVisible() && FButton->rect().contains(local);
  if (!over && !FOverButton) return;
  if (over != FOverButton) {
    FOverButton = over;
    FButton->setAttribute(Qt::WA_UnderMouse, over);
    if (over) {
      QEnterEvent enter(local, FButton->mapTo(FButton->window(), local), globalPos);
      QCoreApplication::sendEvent(FButton, &enter);
    } else {
      QEvent leave(QEvent::Leave);
      QCoreApplication::sendEvent(FButton, &leave);
    }
  }
  QMouseEvent move(QEvent::MouseMove, local, globalPos, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(FButton, &move);
  FButton->update();
}

bool TWhatsThisMode::eventFilter(QObject* watched, QEvent* event) {
  if (watched != FWindow || !FActive) return false;
  switch (event->type()) {
    case QEvent::MouseMove: TrackButtonHover(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()); return true;
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) {
        Finish();
        return true;
      }
      const int context = ContextAt(mouse->globalPosition().toPoint());
      // The mode ends before the help window opens, so that the window comes
      // up with the normal pointer and the mouse free.
      Finish();
      RequestContextHelp(context);
      return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: Finish(); return true;
    default: return false;
  }
}
