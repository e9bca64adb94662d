#pragma once

class QAccessibleEvent;

// Where the views' screen-reader events go: to Qt's bridge when a reader
// listens, or to a recorder that takes its place. The views ask Listening()
// before building an event, so without a reader a write costs one test.
class TAccessEvents {
 public:
  using TSink = void (*)(QAccessibleEvent* event);

  static bool Listening();
  static void Send(QAccessibleEvent* event);
  // Sends every event to the sink instead (nullptr: back to Qt's bridge);
  // returns the sink replaced.
  static TSink SetSink(TSink sink);
};
