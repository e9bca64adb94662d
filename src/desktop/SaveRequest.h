#pragma once

#include "desktop/PathRules.h"
#include "desktop/Platform.h"

// The save dialog of a document window: it starts beside the window's own
// file, proposing its bare name. A window without a file of its own starts
// in the folder of the last file of its kind (else TempDir) with no name:
// proposing that other file's name would put one Enter and the replace
// question between the student and overwriting another program.
inline TFileDialogRequest SaveRequestFor(const QString& title, const QString& filter, const QString& suffix,
                                         const QString& ownFile, const QString& lastFile, const QString& tempDir) {
  TFileDialogRequest request;
  request.Title = title;
  request.Filters = QStringList{filter};
  request.DefaultSuffix = suffix;
  request.ConfirmOverwrite = true;
  const QString& folderOf = ownFile.isEmpty() ? lastFile : ownFile;
  request.InitialDir = folderOf.isEmpty() ? tempDir : DirectoryPart(folderOf);
  request.FileName = ownFile.isEmpty() ? QString() : BareFileName(ownFile);
  return request;
}
