#pragma once

#include <QObject>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
struct TSettings;

// The View menu of the main window and the editors: zoom for projectors
// (100 % to 300 %) and dark colours. The choice is the program's, not one
// window's: every window with this menu follows it, and it is kept in the
// settings ("Zoom", "DarkColours").
class TViewMenu : public QObject {
  Q_OBJECT

 public:
  // Inserts the menu into the window's menu bar before the given title.
  TViewMenu(QWidget* window, QMenuBar* bar, QAction* before, TSettings& settings);
  ~TViewMenu() override;

  QMenu* Menu() const { return FMenu; }
  QAction* ZoomIn() const { return FZoomIn; }
  QAction* ZoomOut() const { return FZoomOut; }
  QAction* ActualSize() const { return FActualSize; }
  QAction* DarkColours() const { return FDarkColours; }

  // Sets the zoom of every window with a View menu.
  static void SetZoom(TSettings& settings, int percent);
  static int Zoom(const TSettings& settings);
  // Switches the program's palette between the desktop's and a dark one.
  static void SetDark(TSettings& settings, bool dark);
  static bool Dark(const TSettings& settings);
  // Applies zoom and colours as the settings hold them (a window built
  // before the program read its settings asks for this afterwards).
  void ApplyStored();

 private:
  void Refresh();
  static std::vector<TViewMenu*>& Instances();

  QWidget* FWindow;
  TSettings& FSettings;
  QMenu* FMenu;
  QAction* FZoomIn;
  QAction* FZoomOut;
  QAction* FActualSize;
  QAction* FDarkColours;
};
