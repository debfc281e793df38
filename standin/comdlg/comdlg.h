// Exports of the common-dialog library (shared library "comdlg32").
#pragma once

#include "platform/common_dialog.h"

extern "C" {
// Shows the open-file dialog through the registered host; 0 when there is none, the request
// is malformed, or the user cancelled.
trenmoor::win::BOOL GetOpenFileNameW(trenmoor::win::OPENFILENAMEW* request);
// Registers the host that shows the dialog (the toolkit does at start-up).
void trenmoorSetOpenFileDialog(trenmoor::win::GetOpenFileNameWFunction show);
}
