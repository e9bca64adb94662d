#include "desktop/LaunchDocument.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(LaunchDocument, ResultCodeSelectsTheMessage) {
  struct TCase {
    int Code;
    const char* Expected;  // nullptr: no message box
  };
  const TCase cases[] = {
      {5, "Cannot open Web help.\nThe operating system denied access to the specified file."},
      {31, "Cannot open Web help.\nThere is no application associated with the given filename extension."},
      {2, "Cannot open Web help.\nThe specified file was not found."},
      {3, "Cannot open Web help.\nThe specified path was not found."},
      {0, nullptr},  // no opener reports it: the platform's codes are 2, 3, 5 and 31
      {4, nullptr},
      {33, nullptr},
      {42, nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Code);
    TScriptedPlatform platform;
    platform.OpenDocumentResult = c.Code;
    LaunchDocument(nullptr, "Cannot open Web help.\n", "https://example.org/");
    EXPECT_EQ(platform.OpenedDocuments, QStringList{"https://example.org/"});
    if (!c.Expected) {
      EXPECT_TRUE(platform.Messages.isEmpty()) << c.Code;
      continue;
    }
    ASSERT_EQ(platform.Messages.size(), 1) << c.Code;
    EXPECT_EQ(platform.Messages[0].Caption, "Error");
    EXPECT_EQ(platform.Messages[0].Text.toStdString(), c.Expected);
    EXPECT_EQ(platform.Messages[0].Icon, TMsgIcon::Error);
  }
}

}  // namespace
