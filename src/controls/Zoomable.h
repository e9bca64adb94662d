#pragma once

// A control whose cell or row sizes are its own, not its font's or its
// geometry's: it scales them itself when the window is zoomed. Factor 1 is
// the size it was configured with.
class TZoomable {
 public:
  virtual ~TZoomable() = default;
  virtual void SetZoom(double factor) = 0;
};
