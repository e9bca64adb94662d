#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One help topic: what the help window shows for a set of context numbers.
struct THelpTopic {
  QString Title;      // in title type (or body type, see TitleInBodyType)
  QString TitleRest;  // continues the title line in body type
  int Width = 0;      // window width for the topic; 0 keeps the design width
  bool TitleInBodyType = false;
  QString Body;  // resource holding the body; empty for a title-only topic
};

// The topic selected by a context, or nullptr when no topic has it.
const THelpTopic* FindHelpTopic(int context);

// The rich text of a context's topic: the styled title, an empty line and the
// body. A context without a topic gives the "No help available." text that
// asks for the number to be reported. Each extra line becomes a paragraph of
// its own after the body, shown as plain text.
QByteArray HelpTopicRichText(int context, const QStringList& extraLines = {});

// Every context number that selects a topic, in ascending order.
QList<int> HelpTopicContexts();

// The line that ends the program information topic; the lines of the
// information file follow it.
inline const QString InfoSeparatorLine =
    QStringLiteral(" - - - - - - - - (contents of Zavel.info follows below) - - - - - - - -");
