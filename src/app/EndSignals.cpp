#include "app/EndSignals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#endif

namespace {

int SignalPipe[2] = {-1, -1};

#ifndef _WIN32
void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already says "end".
  [[maybe_unused]] const ssize_t written = ::write(SignalPipe[0], &byte, 1);
}
#endif

}  // namespace

TEndSignals::TEndSignals(std::function<void()> onEnd, QObject* parent) : QObject(parent), FOnEnd(std::move(onEnd)) {
#ifndef _WIN32
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalPipe) != 0) return;
  FNotifier = new QSocketNotifier(SignalPipe[1], QSocketNotifier::Read, this);
  connect(FNotifier, &QSocketNotifier::activated, this, &TEndSignals::Arrived);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
#endif
}

TEndSignals::~TEndSignals() {
#ifndef _WIN32
  if (SignalPipe[0] < 0) return;
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGHUP, SIG_DFL);
  ::close(SignalPipe[0]);
  ::close(SignalPipe[1]);
  SignalPipe[0] = SignalPipe[1] = -1;
#endif
}

void TEndSignals::Arrived() {
#ifndef _WIN32
  char byte = 0;
  [[maybe_unused]] const ssize_t got = ::read(SignalPipe[1], &byte, 1);
#endif
  // A second signal while the first is handled changes nothing.
  FNotifier->setEnabled(false);
  if (FOnEnd) FOnEnd();
}
