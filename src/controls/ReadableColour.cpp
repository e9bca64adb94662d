#include "controls/ReadableColour.h"

#include <algorithm>
#include <cmath>

namespace {

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  const QColor rgb = c.toRgb();
  return 0.2126 * Channel(rgb.red()) + 0.7152 * Channel(rgb.green()) + 0.0722 * Channel(rgb.blue());
}

}  // namespace

bool TReadableColour::IsDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

double TReadableColour::Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor TReadableColour::On(const QColor& colour, const QColor& background, const QPalette& palette) {
  if (!IsDark(palette) || Contrast(colour, background) >= MinContrast) return colour;
  // Keep the hue (red stays red, green green) and raise the lightness.
  QColor result = colour.toHsl();
  const int hue = result.hslHue();
  const int saturation = result.hslSaturation();
  for (int lightness = result.lightness(); lightness <= 255; lightness += 5) {
    result.setHsl(hue, saturation, lightness);
    if (Contrast(result, background) >= MinContrast) return result.toRgb();
  }
  return QColor(Qt::white);
}
