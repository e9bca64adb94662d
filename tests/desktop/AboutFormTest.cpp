#include "desktop/AboutForm.h"
#include "desktop/HelpHook.h"
#include "desktop/Settings.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

TEST(AboutForm, CentresOverTheOwnerTruncatingTowardZero) {
  const struct {
    QRect Owner;
    QSize Box;
    QPoint Expected;
  } cases[] = {
      {{100, 100, 600, 400}, {427, 187}, {186, 206}},  // 173/2 = 86, 213/2 = 106
      {{0, 0, 400, 100}, {427, 187}, {-13, -43}},      // -27/2 = -13, -87/2 = -43
      {{10, 20, 427, 187}, {427, 187}, {10, 20}},
      {{-50, -30, 500, 300}, {400, 200}, {0, 20}},
  };
  for (const auto& c : cases) EXPECT_EQ(TAboutForm::CentredOver(c.Owner, c.Box), c.Expected);
}

class AboutFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FSettings.VersionText = "2.3";
    FSettings.LegalText = "(c) 2026 The Orvik Simulator developers";
    FSettings.ContactAddress = "teacher@example.org";
    FOwner.setGeometry(100, 100, 632, 426);
  }
  TScriptedPlatform FPlatform;
  TSettings FSettings;
  QWidget FOwner;
};

TEST_F(AboutFormTest, ShowsVersionNoticeAndContact) {
  const struct {
    QString Version;
    QString Legal;
    QString Shown;
  } cases[] = {{"2.3", "(c) 2026 Orvik", "v2.3"}, {"", "", "v"}, {"2.3b", "", "v2.3b"}};
  for (const auto& c : cases) {
    FSettings.VersionText = c.Version;
    FSettings.LegalText = c.Legal;
    TAboutForm* box = new TAboutForm(FSettings, &FOwner);
    EXPECT_EQ(box->Versie()->text(), c.Shown);
    EXPECT_EQ(box->CRight()->text(), c.Legal);
    EXPECT_EQ(box->EMailLabel()->text(), "teacher@example.org");
    EXPECT_EQ(box->windowTitle(), "About");
    EXPECT_EQ(box->size(), QSize(427, 187));
    // Centred over the owner at (100, 100), 632 x 426; the odd pixel goes left.
    EXPECT_EQ(box->pos(), QPoint(202, 219));
    EXPECT_EQ(HelpContextOf(box), 501);
    EXPECT_EQ(box->CRight()->toolTip(), "See information under the Info-button");
    EXPECT_EQ(box->EMailLabel()->toolTip(), "e-mail me");
    EXPECT_FALSE(box->isModal());
    delete box;
  }
}

TEST_F(AboutFormTest, MailLinkOpensANewMessageAndReportsAFailure) {
  TAboutForm* box = new TAboutForm(FSettings, &FOwner);
  box->show();
  QTest::mouseClick(box->EMailLabel(), Qt::LeftButton);
  EXPECT_EQ(FPlatform.OpenedDocuments, QStringList{"mailto:teacher@example.org"});
  EXPECT_TRUE(FPlatform.Messages.isEmpty());

  FPlatform.OpenDocumentResult = 31;
  QTest::mouseClick(box->EMailLabel(), Qt::LeftButton);
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Caption, "Error");
  EXPECT_EQ(FPlatform.Messages[0].Text,
            "Error opening Mail program.\nThere is no application associated with the given filename extension.");
  delete box;
}

TEST_F(AboutFormTest, InfoAsksForTheProgramInformationAndCloseFreesTheBox) {
  QList<std::pair<int, int>> requests;
  SetApplicationHelpHandler([&](uint16_t command, int data, bool& callHelp) {
    callHelp = false;
    requests.append({command, data});
    return true;
  });
  QPointer<TAboutForm> box = new TAboutForm(FSettings, &FOwner);
  box->show();
  QTest::mouseClick(box->InfoAboutButton(), Qt::LeftButton);
  EXPECT_EQ(requests, (QList<std::pair<int, int>>{{HELP_CONTEXTPOPUP, 301}}));
  // F1 inside the box reaches the same hook: the popup of the box's topic.
  QTest::keyClick(box, Qt::Key_F1);
  ASSERT_EQ(requests.size(), 2);
  EXPECT_EQ(requests[1], std::make_pair(static_cast<int>(HELP_CONTEXTPOPUP), 501));
  SetApplicationHelpHandler(nullptr);

  QTest::mouseClick(box->CloseAboutButton(), Qt::LeftButton);
  EXPECT_FALSE(box->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(box.isNull());
}

}  // namespace
