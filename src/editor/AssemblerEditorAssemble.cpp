// Assembling the text into the main window's memory, and the error list.
#include "editor/AssemblerEditor.h"

#include "assembler/AsmParser.h"
#include "assembler/MnemonicHint.h"
#include "desktop/Platform.h"
#include "editor/AsmHighlighter.h"
#include "editor/MachineHost.h"
#include "editor/SourceEdit.h"
#include "editor/WaitCursor.h"
#include "machine/Simulator.h"

#include <QAction>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTextBlock>

#include <algorithm>

namespace {

constexpr int ErrorItemHeight = 16;
// Long enough to read; the status bar's panels come back after it.
constexpr int HintShowMs = 30000;

}  // namespace

bool TAssemblerEditor::AssembleText() {
  TWaitCursor wait;
  ErrorBox->clear();
  FErrorPositions.clear();
  EditorStatusBar->clearMessage();
  FParser->Assemble([this](int line, int column, const std::string& message) { AddError(line, column, message); });
  if (!FErrorPositions.empty()) {
    ShowError(0);
    SetErrorsMenuEnabled(true);
    MenuPreviousError->setEnabled(false);
    // Also with a single entry, where Next then does nothing.
    MenuNextError->setEnabled(true);
    return false;
  }
  SetErrorsMenuEnabled(false);
  return true;
}

std::vector<int32_t> TAssemblerEditor::AssembledImage() const {
  std::vector<int32_t> image(TAsmParser::ImageSize);
  for (int address = 0; address < TAsmParser::ImageSize; ++address)
    image[static_cast<size_t>(address)] = FParser->GetByte(address);
  return image;
}

void TAssemblerEditor::AssembleButtonClick() {
  if (!AssembleText()) return;
  bool overwrite = true;
  if (FHost.Session().MemoryModified()) {
    switch (Platform().AskYesNoCancel(this, QStringLiteral("Save?"),
                                      QStringLiteral("Memory Changed.\nDo you want to save before you overwrite "
                                                     "the memory?"),
                                      TMsgIcon::Question)) {
      case TAnswer::Yes:
        FHost.SaveMemory();
        overwrite = !FHost.Session().MemoryModified();  // a cancelled or failed save stops here
        break;
      case TAnswer::No: break;
      case TAnswer::Cancel: overwrite = false; break;
    }
  }
  if (overwrite) CopyImageToMemory();
}

void TAssemblerEditor::CopyImageToMemory() {
  TWaitCursor wait;
  FHost.AssembleIntoMemory(AssembledImage());
  FHost.AssembledFrom(*this, FParser->Map(), TextEditor->MarkedLines());
  BringToFront(FHost.HostWindow());
}

void TAssemblerEditor::AddError(int line, int column, const std::string& message) {
  auto* item =
      new QListWidgetItem(QStringLiteral("line %1: %2")
                              .arg(line + 1)
                              .arg(QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size()))));
  item->setSizeHint(QSize(ErrorBox->fontMetrics().horizontalAdvance(item->text()) + 8, ErrorItemHeight));
  // The described messages do not name a misspelt mnemonic, which the parser
  // takes for a label; the entry's tooltip does.
  const QTextBlock block = Document()->findBlockByNumber(line);
  if (block.isValid()) {
    const std::string hint = MisspeltMnemonicHint(block.text().toStdString());
    item->setToolTip(QString::fromStdString(hint));
  }
  ErrorBox->addItem(item);
  FErrorPositions.push_back({line, column});
}

void TAssemblerEditor::ShowError(int i) {
  if (i < 0 || i >= static_cast<int>(FErrorPositions.size())) return;
  ErrorBox->setCurrentRow(i);
  // The hint of the entry shows in the status bar too, where the student looks next.
  const QString hint = ErrorBox->item(i)->toolTip();
  if (hint.isEmpty())
    EditorStatusBar->clearMessage();
  else
    EditorStatusBar->showMessage(hint, HintShowMs);
  MenuPreviousError->setEnabled(i > 0);
  MenuNextError->setEnabled(i < ErrorBox->count() - 1);
  // The list is not updated by later edits: an entry may name a line or a
  // column that no longer exists, which then means the nearest one.
  const TErrorPosition& position = FErrorPositions[static_cast<size_t>(i)];
  QTextBlock block = Document()->findBlockByNumber(position.Line);
  if (!block.isValid()) block = Document()->lastBlock();
  QTextCursor cursor(Document());
  cursor.setPosition(block.position() + std::clamp(position.Column, 0, block.length() - 1));
  TextEditor->setTextCursor(cursor);
  TextEditor->setFocus();
  TextEditor->ensureCursorVisible();
}

int TAssemblerEditor::SelectedError() const {
  const QList<QListWidgetItem*> selected = ErrorBox->selectedItems();
  return selected.isEmpty() ? -1 : ErrorBox->row(selected.constFirst());
}

void TAssemblerEditor::NextErrorClick() {
  const int i = SelectedError();
  if (i < ErrorBox->count() - 1) ShowError(i + 1);
}

void TAssemblerEditor::PreviousErrorClick() {
  const int i = SelectedError();
  if (i > 0) ShowError(i - 1);
}

void TAssemblerEditor::SetErrorsMenuEnabled(bool enabled) {
  ErrorsMenu->setEnabled(enabled);
  ErrorsMenu->menuAction()->setEnabled(enabled);
  // A disabled menu does not disable the shortcuts of its items.
  if (!enabled) {
    MenuNextError->setEnabled(false);
    MenuPreviousError->setEnabled(false);
  }
}

bool TAssemblerEditor::ErrorBoxMouseUp(QMouseEvent* event) {
  const Qt::KeyboardModifiers held = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if (event->button() != Qt::LeftButton || (event->modifiers() & held) != Qt::NoModifier) return false;
  const QListWidgetItem* item = ErrorBox->itemAt(event->position().toPoint());
  ShowError(item != nullptr ? ErrorBox->row(item) : -1);
  return false;
}

bool TAssemblerEditor::ErrorBoxKeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  ShowError(SelectedError());
  return true;
}

bool TAssemblerEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ErrorBox->viewport() && event->type() == QEvent::MouseButtonRelease)
    return ErrorBoxMouseUp(static_cast<QMouseEvent*>(event));
  if (watched == ErrorBox && event->type() == QEvent::KeyPress) return ErrorBoxKeyPress(static_cast<QKeyEvent*>(event));
  // A zoom gives the source a new font; the styles' sizes follow it.
  // The filter runs before the editor hands the font to its document, so it
  // is handed on here first.
  if (watched == TextEditor && event->type() == QEvent::FontChange && FHighlighter) {
    TextEditor->document()->setDefaultFont(TextEditor->font());
    FHighlighter->rehighlight();
  }
  return QMainWindow::eventFilter(watched, event);
}
