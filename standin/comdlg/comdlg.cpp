// The common-dialog library of the stand-in platform. The program reaches its open-file dialog
// only through the exported GetOpenFileNameW, so that a hook on that entry point sees every
// dialog. The dialog itself is shown by whoever hosts the library: the toolkit registers it.
#include "standin/comdlg/comdlg.h"

namespace {
trenmoor::win::GetOpenFileNameWFunction provider = nullptr;
}

extern "C" {

__attribute__((visibility("default"), noinline)) trenmoor::win::BOOL GetOpenFileNameW(
    trenmoor::win::OPENFILENAMEW* request) {
  if (!request || !request->lpstrFile || request->nMaxFile == 0) return 0;
  auto show = provider;
  return show ? show(request) : 0;
}

__attribute__((visibility("default"))) void trenmoorSetOpenFileDialog(trenmoor::win::GetOpenFileNameWFunction show) {
  provider = show;
}

}  // extern "C"
