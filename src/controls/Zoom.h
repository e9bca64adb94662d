#pragma once

class QString;
class QWidget;

// Zoom for projectors: scales a window's fonts, fixed sizes, placed
// geometries and TZoomable controls together by a percentage of their
// configured size. The configured values are taken the first time, so
// zooming back to 100 % restores them exactly.
class TZoom {
 public:
  static constexpr int MinPercent = 100;
  static constexpr int MaxPercent = 300;
  static constexpr int StepPercent = 25;

  static void Apply(QWidget* window, int percent);
  // Moves a window that grew past its screen's edge back onto the screen,
  // top-left corner first.
  static void KeepOnScreen(QWidget* window);
  static int Clamp(int percent);
};
