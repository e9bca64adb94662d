// Find, Replace and Go to line in the source.
#include "editor/AssemblerEditor.h"

#include "editor/SourceEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

void TAssemblerEditor::CreateFindCommands() {
  EditMenu->addSeparator();
  MenuFind = EditMenu->addAction(QStringLiteral("&Find..."));
  MenuFind->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
  MenuFind->setStatusTip(QStringLiteral("Find text in the source"));
  MenuReplace = EditMenu->addAction(QStringLiteral("R&eplace..."));
  MenuReplace->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
  MenuReplace->setStatusTip(QStringLiteral("Replace text in the source"));
  MenuGoToLine = EditMenu->addAction(QStringLiteral("&Go to Line..."));
  MenuGoToLine->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
  MenuGoToLine->setStatusTip(QStringLiteral("Move the caret to a line"));
  connect(MenuFind, &QAction::triggered, this, [this] { ShowFindDialog(false); });
  connect(MenuReplace, &QAction::triggered, this, [this] { ShowFindDialog(true); });
  connect(MenuGoToLine, &QAction::triggered, this, [this] { MenuGoToLineClick(); });
}

void TAssemblerEditor::ShowFindDialog(bool replace) {
  if (!FindDialog) {
    FindDialog = new QDialog(this);
    FindDialog->setModal(false);
    auto* layout = new QVBoxLayout(FindDialog);
    auto* form = new QFormLayout;
    FindText = new QLineEdit(FindDialog);
    FindText->setAccessibleName(QStringLiteral("Find what"));
    form->addRow(QStringLiteral("Find &what:"), FindText);
    ReplaceRow = new QWidget(FindDialog);
    auto* replaceLayout = new QHBoxLayout(ReplaceRow);
    replaceLayout->setContentsMargins(0, 0, 0, 0);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), ReplaceRow);
    ReplaceWithText = new QLineEdit(ReplaceRow);
    ReplaceWithText->setAccessibleName(QStringLiteral("Replace with"));
    replaceLabel->setBuddy(ReplaceWithText);
    replaceLayout->addWidget(replaceLabel);
    replaceLayout->addWidget(ReplaceWithText, 1);
    layout->addLayout(form);
    layout->addWidget(ReplaceRow);
    FindMatchCase = new QCheckBox(QStringLiteral("Match &case"), FindDialog);
    layout->addWidget(FindMatchCase);
    auto* buttons = new QHBoxLayout;
    auto* next = new QPushButton(QStringLiteral("Find &Next"), FindDialog);
    auto* one = new QPushButton(QStringLiteral("&Replace"), FindDialog);
    auto* all = new QPushButton(QStringLiteral("Replace &All"), FindDialog);
    auto* close = new QPushButton(QStringLiteral("Close"), FindDialog);
    one->setObjectName(QStringLiteral("ReplaceButton"));
    all->setObjectName(QStringLiteral("ReplaceAllButton"));
    next->setObjectName(QStringLiteral("FindNextButton"));
    next->setDefault(true);
    for (QPushButton* button : {next, one, all, close}) buttons->addWidget(button);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(one, &QPushButton::clicked, this, [this] { ReplaceNext(); });
    connect(all, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(close, &QPushButton::clicked, FindDialog, &QDialog::hide);
    FReplaceButtons = {one, all};
  }
  FindDialog->setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
  ReplaceRow->setVisible(replace);
  for (QWidget* button : FReplaceButtons) {
    button->setVisible(replace);
    // Replacing in a read-only source would change text that cannot be edited.
    button->setEnabled(!ReadOnly());
  }
  // The selection is what the user most likely looks for.
  const QString selected = TextEditor->textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) FindText->setText(selected);
  FindDialog->adjustSize();
  FindDialog->show();
  FindDialog->raise();
  FindDialog->activateWindow();
  FindText->setFocus();
  FindText->selectAll();
}

QTextDocument::FindFlags TAssemblerEditor::FindFlags() const {
  return FindMatchCase && FindMatchCase->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
}

QString TAssemblerEditor::FindStatusText() const { return FFindPanel->text(); }

bool TAssemblerEditor::FindNext() {
  const QString what = FindText ? FindText->text() : QString();
  if (what.isEmpty()) return false;
  QTextCursor found = Document()->find(what, TextEditor->textCursor(), FindFlags());
  // Past the last match the search goes on from the top.
  if (found.isNull()) found = Document()->find(what, 0, FindFlags());
  if (found.isNull()) {
    FFindPanel->setText(QStringLiteral("Not found: \"%1\"").arg(what));
    return false;
  }
  FFindPanel->clear();
  TextEditor->setTextCursor(found);
  TextEditor->ensureCursorVisible();
  return true;
}

void TAssemblerEditor::ReplaceNext() {
  if (ReadOnly() || !FindText || FindText->text().isEmpty()) return;
  QTextCursor cursor = TextEditor->textCursor();
  const Qt::CaseSensitivity sensitivity =
      FindFlags() & QTextDocument::FindCaseSensitively ? Qt::CaseSensitive : Qt::CaseInsensitive;
  if (cursor.hasSelection() && cursor.selectedText().compare(FindText->text(), sensitivity) == 0) {
    cursor.insertText(ReplaceWithText->text());
    TextEditor->setTextCursor(cursor);
  }
  FindNext();
}

int TAssemblerEditor::ReplaceAll() {
  if (ReadOnly() || !FindText || FindText->text().isEmpty()) return 0;
  const QString what = FindText->text();
  int count = 0;
  QTextCursor edit(Document());
  // One edit block: one Undo takes back every replacement.
  edit.beginEditBlock();
  QTextCursor found = Document()->find(what, 0, FindFlags());
  while (!found.isNull()) {
    found.insertText(ReplaceWithText->text());
    ++count;
    found = Document()->find(what, found, FindFlags());
  }
  edit.endEditBlock();
  FFindPanel->setText(count == 0 ? QStringLiteral("Not found: \"%1\"").arg(what)
                                 : QStringLiteral("%1 replaced").arg(count));
  return count;
}

void TAssemblerEditor::GoToLine(int line) {
  const QTextBlock block = Document()->findBlockByNumber(qBound(0, line, Document()->blockCount() - 1));
  TextEditor->setTextCursor(QTextCursor(block));
  TextEditor->ensureCursorVisible();
  TextEditor->setFocus();
}

void TAssemblerEditor::MenuGoToLineClick() {
  bool ok = false;
  const int count = Document()->blockCount();
  const int line = QInputDialog::getInt(this, QStringLiteral("Go to Line"), QStringLiteral("&Line (1-%1):").arg(count),
                                        TextEditor->textCursor().blockNumber() + 1, 1, count, 1, &ok);
  if (ok) GoToLine(line - 1);
}
