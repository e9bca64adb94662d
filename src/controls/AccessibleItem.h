#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>
#include <QWindow>

// An item of a control for a screen reader that is no widget of its own (a
// grid cell, a list row): it has no children and no text to set, and it
// belongs to its control, which is its parent and gives its window. The
// control's interface deletes its items when the control goes; the guard
// covers a reader asking in between.
class TAccessibleItem : public QAccessibleInterface {
 public:
  explicit TAccessibleItem(QWidget* owner) : FOwner(owner) {}

  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return FOwner ? FOwner->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return FOwner ? QAccessible::queryAccessibleInterface(FOwner.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  QWidget* Owner() const { return FOwner.data(); }

 private:
  QPointer<QWidget> FOwner;
};
