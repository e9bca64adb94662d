#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout, a shutdown, a closed terminal) turned into a
// call on the event loop: the handler only writes one byte into a pipe,
// whose reading end a socket notifier watches, so no work runs inside the
// signal handler itself.
class TEndSignals : public QObject {
  Q_OBJECT

 public:
  explicit TEndSignals(std::function<void()> onEnd, QObject* parent = nullptr);
  ~TEndSignals() override;

 private:
  void Arrived();
  std::function<void()> FOnEnd;
  QSocketNotifier* FNotifier = nullptr;
};
