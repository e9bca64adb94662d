// Source files, whole-text replacement, colouring operations and printing.
#include "editor/AssemblerEditor.h"

#include "desktop/PathRules.h"
#include "desktop/Platform.h"
#include "desktop/RecentFiles.h"
#include "desktop/SaveRequest.h"
#include "desktop/Settings.h"
#include "editor/AsmHighlighter.h"
#include "editor/SourceEdit.h"
#include "editor/SourceFile.h"
#include "editor/WaitCursor.h"

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

const QString AssemblyFilter = QStringLiteral("Assembly Files (*.asm)");

// Failed file operations are reported in the box the program uses for every
// file error, with the file layer's message.
void ShowFileError(QWidget* parent, const QString& message) {
  Platform().ShowMessage(parent, QStringLiteral("Orvik Simulator"), message, TMsgIcon::Error);
}

}  // namespace

void TAssemblerEditor::OpenFileClick() {
  if (!AskSaveSource(QStringLiteral("Assembly File Changed.\nDo you want to save before you open another file?")))
    return;
  const QString base = FFileName.isEmpty() ? FSettings.CurrentAsmFile : FFileName;
  TFileDialogRequest request;
  request.Title = QStringLiteral("Open Assembly File");
  request.Filters = QStringList{AssemblyFilter, QStringLiteral("All Files (*.*)")};
  request.InitialDir = base.isEmpty() ? FSettings.TempDir : DirectoryPart(base);
  request.MustExist = true;
  const TFileDialogResult chosen = Platform().OpenFileDialog(this, request);
  if (chosen.Accepted) LoadAsmFile(chosen.Path);
}

bool TAssemblerEditor::LoadAsmFile(const QString& path) {
  TWaitCursor wait;
  // Read completely before the text is touched: a file that cannot be read
  // leaves the editor as it was.
  QStringList lines;
  QString error;
  if (!ReadSourceFile(path, lines, error)) {
    wait.Release();
    ShowFileError(this, error);
    return false;
  }
  ReplaceText(lines);
  SetCaption(path);
  FFileName = path;
  FSettings.CurrentAsmFile = path;
  RecentFiles::Add(FSettings.RecentFiles, path);
  SetModified(false);
  const bool tooLong = std::any_of(lines.cbegin(), lines.cend(),
                                   [](const QString& line) { return line.size() > MaxEditableLineLength; });
  SetReadOnly(tooLong);
  if (tooLong) {
    wait.Release();
    Platform().ShowMessage(this, Caption,
                           QStringLiteral("%1 has lines longer than %2 characters, which cannot be edited.\n"
                                          "It is opened read-only: it can still be assembled, printed "
                                          "and saved under another name.")
                               .arg(path)
                               .arg(MaxEditableLineLength),
                           TMsgIcon::Warning);
  }
  return true;
}

void TAssemblerEditor::LoadLines(const QStringList& lines) {
  TWaitCursor wait;
  ReplaceText(lines);
  SetReadOnly(false);
  SetCaption(QString());
  FFileName.clear();
  SetModified(false);
}

void TAssemblerEditor::ReplaceText(const QStringList& lines) {
  // One insertion of the whole text: the document splits it into blocks
  // itself, many times faster than moving a cursor to the end per line.
  qsizetype size = 0;
  for (const QString& line : lines) size += line.size() + 1;
  QString text;
  text.reserve(size);
  for (const QString& line : lines) {
    text += line;
    text += QLatin1Char('\n');
  }
  ReplaceWholeText(text);
}

void TAssemblerEditor::ReplaceWholeText(const QString& text) {
  FTrackChanges = false;
  QTextDocument* document = Document();
  TextEditor->setUpdatesEnabled(false);
  // A loaded text starts a new history: Ctrl+Z never brings back the text
  // that was replaced.
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  // One edit block: the document reports a single change at its end, and
  // the highlighter colours the new lines one by one in a single pass.
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.removeSelectedText();
  cursor.insertText(text);
  cursor.endEditBlock();
  document->setUndoRedoEnabled(true);
  TextEditor->setTextCursor(QTextCursor(document));
  TextEditor->setUpdatesEnabled(true);
  TextEditor->viewport()->update();
  FTrackChanges = true;
  TextEditorSelectionChange();
}

void TAssemblerEditor::AppendFormattedLine(const QString& text) {
  QTextCursor cursor(Document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  cursor.insertBlock();
}

bool TAssemblerEditor::SaveAsmFile(const QString& path) {
  QString error;
  if (!WriteSourceFile(path, EncodeSource(*Document()), error)) {
    ShowFileError(this, error);
    return false;
  }
  SetCaption(path);
  FFileName = path;
  FSettings.CurrentAsmFile = path;
  RecentFiles::Add(FSettings.RecentFiles, path);
  SetModified(false);
  return true;
}

void TAssemblerEditor::SaveFile() {
  if (FFileName.isEmpty())
    SaveAsFile();
  else
    SaveAsmFile(FFileName);
}

void TAssemblerEditor::SaveAsFile() {
  const TFileDialogResult chosen = Platform().SaveFileDialog(
      this, SaveRequestFor(QStringLiteral("Save Assembly File"), AssemblyFilter, QStringLiteral("asm"), FFileName,
                           FSettings.CurrentAsmFile, FSettings.TempDir));
  if (chosen.Accepted) SaveAsmFile(chosen.Path);
}

void TAssemblerEditor::ReformatLine(int line, bool repaint) {
  const QTextBlock block = Document()->findBlockByNumber(line);
  if (!block.isValid()) return;
  FHighlighter->rehighlightBlock(block);
  if (!repaint) return;
  // Only a band around the line needs painting again.
  const QRect band = TextEditor->LineRect(block).adjusted(-2, -20, 2, 20) & TextEditor->viewport()->rect();
  TextEditor->viewport()->update(band);
}

void TAssemblerEditor::ReformatAll() {
  TWaitCursor wait;
  FTrackChanges = false;
  TextEditor->setUpdatesEnabled(false);
  // Switched off, the highlighter sets nothing, so every line falls back to
  // the document's own format: the normal style.
  FHighlighter->rehighlight();
  TextEditor->setUpdatesEnabled(true);
  FTrackChanges = true;
  TextEditor->viewport()->update();
}

void TAssemblerEditor::MenuUseSyntaxHighlightClick() { MenuUseSyntaxHighlight->trigger(); }

void TAssemblerEditor::MenuPrintClick() {
  QPrinter printer;
  if (Platform().PrintDialog(this, &printer)) PrintTo(printer);
}

void TAssemblerEditor::PrintTo(QPrinter& printer) {
  TWaitCursor wait;
  printer.setDocName(QString());
  PrintDocument()->print(&printer);
}

std::unique_ptr<QTextDocument> TAssemblerEditor::PrintDocument() const {
  // The colours live in the line layouts of the shown document, which a
  // printout does not see: write them into a copy's characters.
  std::unique_ptr<QTextDocument> copy(Document()->clone());
  copy->setDefaultFont(Document()->defaultFont());
  QTextBlock target = copy->begin();
  for (QTextBlock source = Document()->begin(); source.isValid() && target.isValid();
       source = source.next(), target = target.next()) {
    const QTextLayout* layout = source.layout();
    if (layout == nullptr) continue;
    for (const QTextLayout::FormatRange& range : layout->formats()) {
      QTextCursor cursor(copy.get());
      cursor.setPosition(target.position() + range.start);
      cursor.setPosition(target.position() + range.start + range.length, QTextCursor::KeepAnchor);
      cursor.setCharFormat(range.format);
    }
  }
  return copy;
}
