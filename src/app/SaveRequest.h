#pragma once

#include "app/PathRules.h"
#include "app/Platform.h"

// The save dialog of a document window: it starts beside the current file,
// proposing its bare name, or in TempDir with no name when there is none.
inline TFileDialogRequest SaveRequestFor(const QString& title, const QString& filter, const QString& suffix,
                                         const QString& currentFile, const QString& tempDir) {
  TFileDialogRequest request;
  request.Title = title;
  request.Filters = QStringList{filter};
  request.DefaultSuffix = suffix;
  request.ConfirmOverwrite = true;
  request.InitialDir = currentFile.isEmpty() ? tempDir : DirectoryPart(currentFile);
  request.FileName = currentFile.isEmpty() ? QString() : BareFileName(currentFile);
  return request;
}
