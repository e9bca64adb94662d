#include "desktop/HelpDialog.h"
#include "desktop/HelpTopics.h"
#include "desktop/TextSource.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// The lines a reader sees, without blanks at their ends.
QStringList ShownLines(const THelpDialog& dialog) {
  QStringList lines = dialog.HelpText()->toPlainText().split(QLatin1Char('\n'));
  for (QString& line : lines) line.remove(QRegularExpression(QStringLiteral("\\s+$")));
  return lines;
}

class HelpDialogTest : public ::testing::Test {
 protected:
  void TearDown() override {
    THelpDialog::CloseAll();
    THelpDialog::SetInfoFolder(QString());
  }
  TScriptedPlatform FPlatform;
};

TEST_F(HelpDialogTest, ContextsOfOneTopicShowTheSameText) {
  const QList<QList<int>> groups = {{14, 15}, {202, 601}, {203, 602, 700}, {0, 9999}};
  for (const QList<int>& group : groups) {
    THelpDialog first;
    first.SelectTopic(group.front());
    for (int context : group) {
      THelpDialog other;
      other.SelectTopic(context);
      EXPECT_EQ(other.HelpText()->toPlainText(), first.HelpText()->toPlainText()) << context;
      EXPECT_EQ(other.width(), first.width()) << context;
    }
  }
  THelpDialog instructions;
  instructions.SelectTopic(202);
  THelpDialog syntax;
  syntax.SelectTopic(203);
  EXPECT_NE(instructions.HelpText()->toPlainText(), syntax.HelpText()->toPlainText());
}

TEST_F(HelpDialogTest, TopicSetsItsWidthOrKeepsTheDesignWidth) {
  const struct {
    int Context;
    int Width;
  } cases[] = {{0, 150},   {9999, 150}, {1, 450},   {2, 400},   {3, 400},   {4, 308},   {13, 400},
               {14, 150},  {15, 150},   {16, 250},  {17, 308},  {202, 540}, {601, 540}, {203, 540},
               {700, 540}, {301, 500},  {401, 350}, {402, 308}, {904, 400}, {905, 308}, {12345, 308}};
  for (const auto& c : cases) {
    THelpDialog dialog;
    dialog.SelectTopic(c.Context);
    EXPECT_EQ(dialog.width(), c.Width) << c.Context;
  }
}

TEST_F(HelpDialogTest, EveryTopicStartsWithItsStyledTitleAndShowsNoMarkup) {
  const QRegularExpression markup(QStringLiteral("<[A-Za-z/!]|&[a-z]+;|&#"));
  const QList<int> bodyTitled = {0, 9999, 14, 15, 16, 17};
  const QList<int> contexts = HelpTopicContexts();
  // 43 described topics, the two of the debugging commands and the exercise pane.
  ASSERT_EQ(contexts.size(), 46);
  for (int context : contexts) {
    THelpDialog dialog;
    dialog.SelectTopic(context);
    const QStringList lines = ShownLines(dialog);
    ASSERT_GE(lines.size(), 1) << context;
    EXPECT_EQ(lines.front().left(FindHelpTopic(context)->Title.size()), FindHelpTopic(context)->Title) << context;
    if (!FindHelpTopic(context)->Body.isEmpty()) {
      ASSERT_GE(lines.size(), 3) << context;
      EXPECT_EQ(lines[1], QString()) << "an empty line follows the title of " << context;
      EXPECT_GT(lines[2].size(), 10) << "a body follows the title of " << context;
    }
    EXPECT_FALSE(dialog.HelpText()->toPlainText().contains(markup)) << context;

    QTextCursor title(dialog.HelpText()->document());
    title.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat format = title.charFormat();
    EXPECT_EQ(format.font().bold(), true) << context;
    if (bodyTitled.contains(context)) {
      EXPECT_EQ(format.font().pointSize(), 10) << context;
    } else {
      EXPECT_EQ(format.font().pointSize(), 13) << context;
      EXPECT_EQ(format.foreground().color(), QColor(0, 0, 255)) << context;
    }
  }
}

TEST_F(HelpDialogTest, OperandTopicsKeepTheQualifierInBodyType) {
  THelpDialog dialog;
  dialog.SelectTopic(102);
  EXPECT_EQ(ShownLines(dialog).front(), "First instruction operand (if applicable)");
  QTextCursor end(dialog.HelpText()->document()->firstBlock());
  end.movePosition(QTextCursor::EndOfBlock);
  EXPECT_EQ(end.charFormat().font().pointSize(), 10);
  EXPECT_FALSE(end.charFormat().font().bold());
}

TEST_F(HelpDialogTest, UnknownContextAsksForTheNumberToBeReported) {
  THelpDialog* dialog = THelpDialog::ShowTopic(12345);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ShownLines(*dialog),
            (QStringList{"No help available.", "", "Please report this error with the following details:", "",
                         "HelpContext: 12345"}));
  EXPECT_EQ(dialog->HelpText()->textCursor().position(), 0);
}

TEST_F(HelpDialogTest, EveryRequestOpensAWindowOfItsOwn) {
  THelpDialog* first = THelpDialog::ShowTopic(14);
  THelpDialog* second = THelpDialog::ShowTopic(14);
  ASSERT_NE(first, second);
  EXPECT_EQ(THelpDialog::OpenWindows(), (QList<THelpDialog*>{first, second}));
  EXPECT_TRUE(first->isVisible());
  EXPECT_TRUE(second->isVisible());
  EXPECT_EQ(first->width(), 150);
  EXPECT_EQ(first->windowTitle(), "Help");
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(THelpDialog::OpenWindows(), QList<THelpDialog*>{second});
}

TEST_F(HelpDialogTest, HeightFollowsTheContentPlusOneUpToTheLimitUntilShown) {
  THelpDialog dialog;
  const struct {
    int Content;
    int Height;
  } cases[] = {{80, 81}, {448, 449}, {449, 450}, {450, 450}, {1000, 450}};
  for (const auto& c : cases) {
    dialog.HelpTextResizeRequest(c.Content);
    EXPECT_EQ(dialog.height(), c.Height) << c.Content;
  }

  THelpDialog* shown = THelpDialog::ShowTopic(4);
  ASSERT_NE(shown, nullptr);
  const int fitted = shown->height();
  EXPECT_EQ(fitted, shown->ContentHeight() + 1);
  EXPECT_FALSE(shown->HelpText()->verticalScrollBar()->isVisible());
  shown->HelpTextResizeRequest(80);
  shown->HelpText()->append(QStringLiteral("More text that would need more room."));
  QCoreApplication::processEvents();
  EXPECT_EQ(shown->height(), fitted) << "the fitting ends once the window is shown";
}

TEST_F(HelpDialogTest, TextOfAKnownHeightGivesThatHeightPlusOneUpToTheLimit) {
  const struct {
    int Needed;  // pixels, the view's margins included
    int Height;
    bool ScrollBar;
  } cases[] = {{80, 81, false}, {300, 301, false}, {449, 450, false}, {1000, 450, true}};
  for (const auto& c : cases) {
    auto* dialog = new THelpDialog();
    // An image of a given height needs that height plus the view's margins.
    const int margins = 2 * static_cast<int>(dialog->HelpText()->document()->documentMargin());
    TTextSource source(QStringLiteral("<img width=\"10\" height=\"%1\">").arg(c.Needed - margins).toUtf8());
    dialog->LoadRichText(source);
    ASSERT_TRUE(dialog->ShowFitted());
    EXPECT_EQ(dialog->height(), c.Height) << c.Needed;
    EXPECT_EQ(dialog->HelpText()->verticalScrollBar()->isVisible(), c.ScrollBar) << c.Needed;
    dialog->close();
  }
}

TEST_F(HelpDialogTest, LongTopicGetsTheLimitAndAScrollBar) {
  THelpDialog* dialog = THelpDialog::ShowTopic(202);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->width(), 540);
  EXPECT_EQ(dialog->height(), THelpDialog::MaxFittedHeight);
  EXPECT_TRUE(dialog->HelpText()->verticalScrollBar()->isVisible());
  EXPECT_GT(dialog->HelpText()->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(dialog->HelpText()->verticalScrollBar()->value(), 0);
}

TEST_F(HelpDialogTest, UpgradeTopicSitsInTheTopLeftCorner) {
  THelpDialog* dialog = THelpDialog::ShowTopic(700);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(dialog->size(), QSize(540, 90));
  EXPECT_EQ(ShownLines(*dialog).front(), "Orvik Assembler syntax");
}

TEST_F(HelpDialogTest, ProgramInformationEndsWithTheSeparatorWithoutAnInfoFile) {
  QTemporaryDir folder;
  THelpDialog::SetInfoFolder(folder.path());
  THelpDialog* dialog = THelpDialog::ShowTopic(301);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->width(), 500);
  EXPECT_EQ(ShownLines(*dialog).back(), InfoSeparatorLine);
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
}

TEST_F(HelpDialogTest, ProgramInformationShowsEachLineOfTheInfoFileAsItStands) {
  const struct {
    QByteArray Bytes;
    QStringList Lines;
  } cases[] = {
      {"Course: Computer Organisation\r\nTeacher: <b>Ann</b>\r\n\r\n  Room 12\r\n",
       {"Course: Computer Organisation", "Teacher: <b>Ann</b>", "", "  Room 12"}},
      {"Caf\xe9 & more", {QString::fromUtf8("Caf\u00e9 & more")}},
      {"Caf\xc3\xa9", {QString::fromUtf8("Caf\u00e9")}},
  };
  for (const auto& c : cases) {
    QTemporaryDir folder;
    QFile info(folder.filePath("Zavel.info"));
    ASSERT_TRUE(info.open(QIODevice::WriteOnly));
    info.write(c.Bytes);
    info.close();
    THelpDialog::SetInfoFolder(folder.path());
    THelpDialog dialog;
    dialog.SelectTopic(301);
    const QStringList lines = ShownLines(dialog);
    EXPECT_EQ(lines.mid(lines.indexOf(InfoSeparatorLine) + 1), c.Lines);
  }
}

TEST_F(HelpDialogTest, TextArrivesThroughTheTextSource) {
  THelpDialog dialog;
  TTextSource source("<p>one</p><p><b>two</b></p>");
  dialog.LoadRichText(source);
  EXPECT_EQ(dialog.HelpText()->toPlainText(), "one\ntwo");
  EXPECT_EQ(source.Position(), source.Size());
}

}  // namespace

namespace {

// Help asked for inside a modal dialog (F1 in the instruction composer)
// must outlive the dialog: the student reads on after pressing Ok.
TEST_F(HelpDialogTest, HelpFromAModalDialogStaysOpenAfterTheDialogIsGone) {
  auto* owner = new QDialog;
  owner->setAttribute(Qt::WA_DeleteOnClose);
  owner->setModal(true);
  owner->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(owner));
  ASSERT_EQ(QApplication::activeModalWidget(), owner);
  const QPointer<THelpDialog> help = THelpDialog::ShowTopic(102);
  ASSERT_TRUE(help);
  const QRect place = help->geometry();
  // The help window took the focus; the student goes back to the dialog.
  QApplication::setActiveWindow(owner);
  QTest::keyClick(owner, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->geometry(), place);
  EXPECT_EQ(help->Context(), 102);
  EXPECT_EQ(THelpDialog::OpenWindows(), QList<THelpDialog*>{help.data()});
}

}  // namespace
