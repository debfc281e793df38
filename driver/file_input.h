// The stand-in for the open-file dialog that fills file inputs, and the path it answers with.
#pragma once

#include "platform/common_dialog.h"
#include "platform/text.h"

namespace trenmoor {

// Answers an open-file request with the path of the last fillFileInput, as if the user had
// chosen it: writes it (UTF-16, NUL-terminated) into lpstrFile and returns TRUE. An empty path
// writes nothing and still returns TRUE. A path that does not fit the caller's nMaxFile
// characters writes nothing and returns FALSE, as a cancelled dialog does.
win::BOOL openFileNameReplacement(win::OPENFILENAMEW* request);

// The path the replacement answers with; kept between calls, released at shut-down.
void setFileDialogPath(const Text& path);
void releaseFileDialogPath();

}  // namespace trenmoor
