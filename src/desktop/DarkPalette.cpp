#include "desktop/DarkPalette.h"

QPalette DarkPalette() {
  QPalette p;
  const QColor window(45, 45, 48);
  const QColor base(30, 30, 32);
  const QColor text(230, 230, 230);
  const QColor disabled(150, 150, 150);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, disabled);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(60, 60, 64));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, QColor(255, 120, 120));
  p.setColor(QPalette::Light, QColor(80, 80, 84));
  p.setColor(QPalette::Midlight, QColor(70, 70, 74));
  p.setColor(QPalette::Mid, QColor(35, 35, 38));
  p.setColor(QPalette::Dark, QColor(20, 20, 22));
  p.setColor(QPalette::Shadow, QColor(0, 0, 0));
  p.setColor(QPalette::Highlight, QColor(38, 79, 120));
  p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  p.setColor(QPalette::Link, QColor(120, 170, 255));
  p.setColor(QPalette::LinkVisited, QColor(190, 150, 255));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, disabled);
  return p;
}
