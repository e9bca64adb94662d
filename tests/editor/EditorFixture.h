#pragma once

#include "../mainwin/MainWinFixture.h"
#include "editor/AssemblerEditor.h"
#include "editor/HighlightStyles.h"
#include "editor/SourceEdit.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

#include <string>
#include <vector>

// A shown main window with one editor opened through its "&Asm" button.
class EditorTest : public MainWinTest {
 protected:
  void SetUp() override {
    MainWinTest::SetUp();
    Click(Main->AssemblerButton());
    Editor = Main->AssemblerEditor();
    ASSERT_NE(Editor, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Editor.data()));
    Focus();
  }

  void TearDown() override {
    // Editors go with the main window; unsaved text must not ask.
    for (TZForm* form : TZForm::AllForms())
      if (auto* editor = dynamic_cast<TAssemblerEditor*>(form)) editor->SetModified(false);
    MainWinTest::TearDown();
    Main.reset();
    QApplication::processEvents();
  }

  void Focus() {
    QApplication::setActiveWindow(Editor);
    Editor->TextEditor->setFocus();
    QApplication::processEvents();
  }

  TSourceEdit* Text() const { return Editor->TextEditor; }
  QString Panel(int i) const {
    const QLabel* panels[] = {Editor->StatusPosition, Editor->StatusModified, Editor->StatusMode};
    return panels[i]->text();
  }
  QString Line(int i) const { return Editor->Document()->findBlockByNumber(i).text(); }
  QString AllText() const { return Editor->Document()->toPlainText(); }

  // Puts the caret at a line and column, as a click there would.
  void SetCaret(int line, int column) {
    QTextCursor cursor(Editor->Document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    Text()->setTextCursor(cursor);
  }
  void Type(const char* text) { QTest::keyClicks(Text(), text); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(Text(), key, modifiers); }

  // The coloured runs of a line: start, length, style.
  struct TRun {
    int Start;
    int Length;
    QTextCharFormat Format;
  };
  std::vector<TRun> Runs(int line) const {
    std::vector<TRun> runs;
    const QTextBlock block = Editor->Document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
      runs.push_back({range.start, range.length, range.format});
    return runs;
  }
  // The format at a character of a line, an empty format where none was set.
  QTextCharFormat FormatAt(int line, int column) const {
    for (const TRun& run : Runs(line))
      if (column >= run.Start && column < run.Start + run.Length) return run.Format;
    return {};
  }
  static bool Is(const QTextCharFormat& format, THighlightStyle style) { return format == HighlightFormat(style); }

  QString WriteFile(const QString& name, const QByteArray& bytes) const {
    const QString path = FDir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
      ADD_FAILURE() << "cannot write " << name.toStdString();
    return path;
  }
  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QPointer<TAssemblerEditor> Editor;
};
