#include "desktop/HelpTopics.h"
#include "desktop/HelpContexts.h"

#include <QFile>
#include <QList>
#include <map>

// The topics live in the GUI library's resources; a static library must
// register them itself before the first read.
static void InitHelpResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(help);
    return true;
  }();
  (void)done;
}

namespace {

struct TTopicRow {
  QList<int> Contexts;
  THelpTopic Topic;
};

THelpTopic Titled(const char* title, int width = 0, const char* body = nullptr) {
  THelpTopic topic;
  topic.Title = QString::fromUtf8(title);
  topic.Width = width;
  if (body) topic.Body = QStringLiteral(":/help/%1.html").arg(QString::fromUtf8(body));
  return topic;
}

THelpTopic BodyTitled(const char* title, int width = 0, const char* body = nullptr) {
  THelpTopic topic = Titled(title, width, body);
  topic.TitleInBodyType = true;
  return topic;
}

THelpTopic Operand(const char* title, const char* body) {
  THelpTopic topic = Titled(title, 0, body);
  topic.TitleRest = QStringLiteral(" (if applicable)");
  return topic;
}

const QList<TTopicRow>& TopicRows() {
  static const QList<TTopicRow> rows = {
      {{hcNone, hcDialog}, BodyTitled("No help available", 150)},
      {{hcMainMemory}, Titled("Main memory", 450, "mainmemory")},
      {{hcRegisters}, Titled("General purpose registers", 400, "registers")},
      {{hcSysRegs}, Titled("System registers", 400, "sysregs")},
      {{hcZeroPC}, Titled("Zero program counter (PC)", 0, "zeropc")},
      {{hcOpenButton}, Titled("Open file button", 0, "openbutton")},
      {{hcSaveButton}, Titled("Save file button", 0, "savebutton")},
      {{hcRunButton}, Titled("Run program button", 0, "runbutton")},
      {{hcStepButton}, Titled("Step program button", 0, "stepbutton")},
      {{hcBreakButton}, Titled("Break when running button", 0, "breakbutton")},
      {{hcResetButton}, Titled("Clear Memory/Registers button", 0, "clearbutton")},
      {{hcOutputBox}, Titled("Output window", 0, "output")},
      {{hcViewAsmButton}, Titled("View assembly listing button", 0, "listing")},
      {{hcDisasmWin}, Titled("Disasseble window", 400, "disassembly")},
      {{hcRowAddresses, hcColumnAddresses}, BodyTitled("Memory address", 150)},
      {{hcRegisterNames}, BodyTitled("General purpose register name", 250)},
      {{hcSysRegNames}, BodyTitled("System register name", 0, "sysregname")},
      {{hcStatusBar}, Titled("Status bar (simulator)", 0, "statusbar")},
      {{hcAssemblerButton}, Titled("Start up Assembler Editor", 0, "asmbutton")},
      {{hcMainWindow}, Titled("Orvik Simulator - Main Window", 0, "mainwin")},
      {{hcTraceWindow}, Titled("Trace window", 400, "trace")},
      {{hcDebugging}, Titled("Step back, undo and breakpoints", 450, "debugging")},
      {{hcComposerOpcode}, Titled("Instruction box", 0, "composeropcode")},
      {{hcComposerFirst}, Operand("First instruction operand", "composerfirst")},
      {{hcComposerSecond}, Operand("Second instruction operand", "composersecond")},
      {{hcComposerThird}, Operand("Third instruction operand", "composerthird")},
      {{hcInstructions, hcEditorInstructions}, Titled("Orvik Simulator instructions:", 540, "instructions")},
      {{hcSyntax, hcEditorSyntax, hcNewVersion}, Titled("Orvik Assembler syntax", 540, "syntax")},
      {{hcProgramInfo}, Titled("Orvik Simulator - Introduction to Computer Organisation", 500, "info")},
      {{hcWebHelpAddress}, Titled("Additional help address", 350, "webhelpaddress")},
      {{hcDefaultWebHelp}, Titled("Set default additional help address", 0, "defaultwebhelp")},
      {{hcListFile}, Titled("Temporary assembly list file", 0, "listfile")},
      {{hcDefaultListFile}, Titled("Set default temporary assembly list file", 0, "defaultlistfile")},
      {{hcAboutBox}, Titled("About Dialog", 0, "about")},
      {{hcHelpWindow}, Titled("Help Window", 0, "helpwindow")},
      {{hcEditorText}, Titled("Orvik Assembler Editor", 400, "editor")},
      {{hcErrorBox}, Titled("Error Box", 400, "errorbox")},
      {{hcAssemblePanel}, Titled("Assemble button", 400, "assemblebutton")},
      {{hcEditorWindow}, Titled("Orvik Assembler - Main Window", 400, "editorwindow")},
      {{hcEditorStatusBar}, Titled("Status bar (assembler)", 0, "editorstatus")},
      {{hcExercisePane}, Titled("Exercise pane", 450, "exercise")},
  };
  return rows;
}

const std::map<int, const THelpTopic*>& TopicIndex() {
  static const std::map<int, const THelpTopic*> index = [] {
    std::map<int, const THelpTopic*> result;
    for (const TTopicRow& row : TopicRows())
      for (int context : row.Contexts) result[context] = &row.Topic;
    return result;
  }();
  return index;
}

QString Paragraph(const QString& html) { return QStringLiteral("<p>%1</p>").arg(html); }

// An empty line of body type: a paragraph holding one blank keeps its height.
const QString EmptyLine = QStringLiteral("<p>&nbsp;</p>");

QString TitleLine(const THelpTopic& topic) {
  const QString title = topic.Title.toHtmlEscaped();
  const QString rest = topic.TitleRest.toHtmlEscaped();
  if (topic.TitleInBodyType) return Paragraph(QStringLiteral("<b>%1</b>%2").arg(title, rest));
  return Paragraph(
      QStringLiteral("<span style=\"font-size:13pt; font-weight:bold; color:#0000ff;\">%1</span>%2").arg(title, rest));
}

// Escapes a plain line so that it shows as it stands, leading and repeated
// blanks included.
QString KeepBlanks(const QString& line) {
  QString html;
  QChar previous = QLatin1Char(' ');
  for (const QChar c : line.toHtmlEscaped()) {
    html += c == QLatin1Char(' ') && previous == QLatin1Char(' ') ? QStringLiteral("&nbsp;") : QString(c);
    previous = c;
  }
  return html;
}

QString ReadBody(const QString& resource) {
  if (resource.isEmpty()) return {};
  InitHelpResources();
  QFile file(resource);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QByteArray Document(const QString& content) {
  return QStringLiteral(
             "<html><head><style>"
             "p { margin-top:0px; margin-bottom:3px; }"
             "table { margin-top:2px; margin-bottom:6px; }"
             "th { background-color:#e8e8c8; }"
             "</style></head>\n"
             "<body style=\"font-family:sans-serif; font-size:10pt;\">%1</body></html>")
      .arg(content)
      .toUtf8();
}

}  // namespace

const THelpTopic* FindHelpTopic(int context) {
  const auto found = TopicIndex().find(context);
  return found == TopicIndex().end() ? nullptr : found->second;
}

QList<int> HelpTopicContexts() {
  QList<int> contexts;
  for (const auto& entry : TopicIndex()) contexts.append(entry.first);
  return contexts;
}

QByteArray HelpTopicRichText(int context, const QStringList& extraLines) {
  const THelpTopic* topic = FindHelpTopic(context);
  if (!topic) {
    return Document(Paragraph(QStringLiteral("No help available.")) + EmptyLine +
                    Paragraph(QStringLiteral("Please report this error with the following details:")) + EmptyLine +
                    Paragraph(QStringLiteral("HelpContext: %1").arg(context)));
  }
  QString content = TitleLine(*topic);
  const QString body = ReadBody(topic->Body);
  if (!body.isEmpty()) content += EmptyLine + body;
  for (const QString& line : extraLines) content += line.isEmpty() ? EmptyLine : Paragraph(KeepBlanks(line));
  return Document(content);
}
