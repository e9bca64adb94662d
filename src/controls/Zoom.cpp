#include "controls/Zoom.h"

#include "controls/Zoomable.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

struct TZoomBase {
  bool OwnFont = false;
  QFont Font;
  QRect Geometry;
  QSize MinSize;
  QSize MaxSize;
};

// What a widget had before any zoom is kept on the widget itself, in
// properties of these names.
const char* const BaseFont = "orvikZoomFont";  // invalid: the font is inherited
const char* const BaseGeometry = "orvikZoomGeometry";
const char* const BaseMinSize = "orvikZoomMinSize";
const char* const BaseMaxSize = "orvikZoomMaxSize";

int Scale(int value, double factor) { return static_cast<int>(std::lround(value * factor)); }

QSize ScaleLimit(const QSize& size, const QSize& base, double factor) {
  // QWIDGETSIZE_MAX stands for "no limit" and stays so.
  return QSize(base.width() >= QWIDGETSIZE_MAX ? size.width() : Scale(base.width(), factor),
               base.height() >= QWIDGETSIZE_MAX ? size.height() : Scale(base.height(), factor));
}

bool InLayout(QWidget* widget) {
  QWidget* parent = widget->parentWidget();
  return parent && parent->layout() && parent->layout()->indexOf(widget) >= 0;
}

void ZoomWidget(QWidget* widget, double factor, bool isRoot) {
  if (!widget->property(BaseGeometry).isValid()) {
    // A placed child never resized takes its size hint when first shown;
    // zoomed before that, its configured size is that hint, not the size
    // it has until then.
    if (!isRoot && !widget->testAttribute(Qt::WA_Resized) && !InLayout(widget)) widget->adjustSize();
    widget->setProperty(BaseFont, widget->testAttribute(Qt::WA_SetFont) ? QVariant(widget->font()) : QVariant());
    widget->setProperty(BaseGeometry, widget->geometry());
    widget->setProperty(BaseMinSize, widget->minimumSize());
    widget->setProperty(BaseMaxSize, widget->maximumSize());
  }
  TZoomBase base;
  base.OwnFont = widget->property(BaseFont).isValid();
  if (base.OwnFont) base.Font = widget->property(BaseFont).value<QFont>();
  base.Geometry = widget->property(BaseGeometry).toRect();
  base.MinSize = widget->property(BaseMinSize).toSize();
  base.MaxSize = widget->property(BaseMaxSize).toSize();
  if (base.OwnFont) {
    QFont font = base.Font;
    if (font.pixelSize() > 0)
      font.setPixelSize(std::max(1, Scale(font.pixelSize(), factor)));
    else
      font.setPointSizeF(font.pointSizeF() * factor);
    widget->setFont(font);
  }
  if (!isRoot) {
    const bool fixedWidth = base.MinSize.width() > 0 && base.MinSize.width() == base.MaxSize.width();
    const bool fixedHeight = base.MinSize.height() > 0 && base.MinSize.height() == base.MaxSize.height();
    if (fixedWidth || fixedHeight) {
      widget->setMinimumSize(ScaleLimit(widget->minimumSize(), base.MinSize, factor));
      widget->setMaximumSize(ScaleLimit(widget->maximumSize(), base.MaxSize, factor));
    }
    if (!InLayout(widget) && !widget->isWindow())
      widget->setGeometry(QRect(Scale(base.Geometry.x(), factor), Scale(base.Geometry.y(), factor),
                                Scale(base.Geometry.width(), factor), Scale(base.Geometry.height(), factor)));
  }
  if (auto* zoomable = dynamic_cast<TZoomable*>(widget)) zoomable->SetZoom(factor);
}

void ZoomTree(QWidget* widget, double factor, bool isRoot) {
  ZoomWidget(widget, factor, isRoot);
  // A scroll area places its own viewport and bars; windows of their own
  // (dialogs, pop-up menus) are zoomed, if at all, by themselves.
  if (qobject_cast<QAbstractScrollArea*>(widget)) return;
  for (QObject* child : widget->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow() || qobject_cast<QMenu*>(w) || w->objectName().startsWith(QLatin1String("qt_"))) continue;
    ZoomTree(w, factor, false);
  }
}

}  // namespace

int TZoom::Clamp(int percent) { return std::clamp(percent, MinPercent, MaxPercent); }

void TZoom::Apply(QWidget* window, int percent) {
  const double factor = Clamp(percent) / 100.0;
  ZoomTree(window, factor, true);
  QLayout* layout = window->layout();
  if (layout) layout->activate();
  // A window of fixed size takes the size of its scaled contents; one the
  // user can resize grows from the size it had before the first zoom.
  if (layout && layout->sizeConstraint() == QLayout::SetFixedSize) {
    window->adjustSize();
  } else {
    const QSize base = window->property(BaseGeometry).toRect().size();
    window->resize(Scale(base.width(), factor), Scale(base.height(), factor));
  }
  KeepOnScreen(window);
}

void TZoom::KeepOnScreen(QWidget* window) {
  if (QScreen* screen = window->screen()) {
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveRight(std::min(frame.right(), area.right()));
    frame.moveBottom(std::min(frame.bottom(), area.bottom()));
    frame.moveLeft(std::max(frame.left(), area.left()));
    frame.moveTop(std::max(frame.top(), area.top()));
    if (frame.topLeft() != window->frameGeometry().topLeft()) window->move(frame.topLeft());
  }
}
