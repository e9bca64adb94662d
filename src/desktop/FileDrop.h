#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

// Lets files from the desktop's file manager be dropped on a widget: a drag
// that carries local files is accepted, and the drop hands over their paths.
// Anything else (text dragged within the editor) goes on to the widget.
class TFileDrop : public QObject {
  Q_OBJECT

 public:
  using TOpen = std::function<void(const QStringList& paths)>;

  // Watches target (owned by it); a text view is watched on its viewport,
  // where Qt delivers the drag.
  TFileDrop(QWidget* target, TOpen open);

  // The local files a drag carries, in order; empty when it carries none.
  static QStringList LocalFiles(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TOpen FOpen;
};
