#include "desktop/FileDrop.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

TFileDrop::TFileDrop(QWidget* target, TOpen open) : QObject(target), FOpen(std::move(open)) {
  QWidget* watched = target;
  if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) watched = area->viewport();
  watched->setAcceptDrops(true);
  watched->installEventFilter(this);
}

QStringList TFileDrop::LocalFiles(const QMimeData* data) {
  QStringList paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  return paths;
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (LocalFiles(drag->mimeData()).isEmpty()) break;
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList paths = LocalFiles(drop->mimeData());
      if (paths.isEmpty()) break;
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      // Opened after the drop has ended: the file manager waits for the
      // drop to finish, and a "Save?" question or an error box in between
      // would hold it.
      QTimer::singleShot(0, this, [this, paths] { FOpen(paths); });
      return true;
    }
    default: break;
  }
  return QObject::eventFilter(watched, event);
}
