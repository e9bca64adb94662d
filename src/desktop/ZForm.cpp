#include "desktop/ZForm.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace {

TZForm* Top = nullptr;

std::vector<TZForm*>& Forms() {
  static std::vector<TZForm*> forms;
  return forms;
}

class TActivationFilter final : public QObject {
 public:
  TActivationFilter(TZForm* form, QObject* parent) : QObject(parent), FForm(form) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate && watched == FForm->Window()) FForm->Activated();
    return false;
  }

 private:
  TZForm* FForm;
};

}  // namespace

TZForm::TZForm(QWidget* window) : FWindow(window), FActivationFilter(new TActivationFilter(this, window)) {
  window->installEventFilter(FActivationFilter);
  Forms().push_back(this);
}

TZForm::~TZForm() {
  std::erase(Forms(), this);
  if (Top == this) Top = FBelow;
  Unlink();
  FWindow->removeEventFilter(FActivationFilter);
  delete FActivationFilter;
}

TZForm* TZForm::TopForm() { return Top; }

std::vector<TZForm*> TZForm::AllForms() { return Forms(); }

void TZForm::Unlink() {
  if (FAbove) FAbove->FBelow = FBelow;
  if (FBelow) FBelow->FAbove = FAbove;
  FAbove = nullptr;
  FBelow = nullptr;
}

void TZForm::Activated() {
  if (Top == this) return;
  Unlink();
  if (Top) {
    FBelow = Top;
    Top->FAbove = this;
  }
  Top = this;
}

void TZForm::CloseAfterQuery() {
  FClosingAfterQuery = true;
  FWindow->close();
}
