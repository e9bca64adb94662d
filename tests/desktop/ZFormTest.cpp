#include "desktop/ZForm.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <memory>

namespace {

class TTestForm : public QWidget, public TZForm {
 public:
  TTestForm() : TZForm(this) {}
};

void Activate(TTestForm& form) {
  QEvent event(QEvent::WindowActivate);
  QApplication::sendEvent(&form, &event);
}

TEST(ZForm, ActivationKeepsTheMostRecentOnTop) {
  auto a = std::make_unique<TTestForm>();
  auto b = std::make_unique<TTestForm>();
  auto never = std::make_unique<TTestForm>();
  Activate(*a);
  Activate(*b);
  Activate(*a);
  EXPECT_EQ(TZForm::TopForm(), a.get());
  EXPECT_EQ(a->Below(), b.get());
  EXPECT_EQ(a->Above(), nullptr);
  EXPECT_EQ(b->Above(), a.get());
  EXPECT_EQ(b->Below(), nullptr);
  EXPECT_EQ(never->Below(), nullptr);
  EXPECT_EQ(never->Above(), nullptr);

  a.reset();
  EXPECT_EQ(TZForm::TopForm(), b.get());
  EXPECT_EQ(b->Above(), nullptr);
  b.reset();
  EXPECT_EQ(TZForm::TopForm(), nullptr);
}

TEST(ZForm, DestroyingAMiddleWindowLinksItsNeighbours) {
  auto a = std::make_unique<TTestForm>();
  auto b = std::make_unique<TTestForm>();
  auto c = std::make_unique<TTestForm>();
  Activate(*a);
  Activate(*b);
  Activate(*c);
  b.reset();
  EXPECT_EQ(TZForm::TopForm(), c.get());
  EXPECT_EQ(c->Below(), a.get());
  EXPECT_EQ(a->Above(), c.get());
}

}  // namespace
