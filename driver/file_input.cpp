// Filling a file input: its click opens the open-file dialog, which is redirected for the
// length of the click to a replacement that answers with the wanted path.
#include "driver/file_input.h"

#include <cstring>

#include "driver/page_driver.h"
#include "hook/api_hook.h"

namespace trenmoor {
namespace {

Text& fileDialogPath() {
  static Text path;
  return path;
}

}  // namespace

void setFileDialogPath(const Text& path) { fileDialogPath() = path; }

void releaseFileDialogPath() {
  fileDialogPath().clear();
  fileDialogPath().shrink_to_fit();
}

win::BOOL openFileNameReplacement(win::OPENFILENAMEW* request) {
  if (!request || !request->lpstrFile) return 0;
  const Text& path = fileDialogPath();
  if (path.empty()) return 1;
  // Never beyond the caller's buffer: a path that does not fit is refused whole rather than
  // handed back shortened, which would name another file.
  const std::u16string wide = ansiToWide(path);
  if (wide.size() + 1 > request->nMaxFile) return 0;
  std::memcpy(request->lpstrFile, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
  return 1;
}

void PageDriver::fillFileInput(const Text& key, const Text& path, std::int32_t skip) {
  // 1. Redirect the dialog's entry point (a failure leaves the real dialog in place).
  auto hook = std::make_unique<ApiHook>();
  Text library = "comdlg32.dll";
  const Text function = "GetOpenFileNameW";
  hook->installHook(library, function, reinterpret_cast<win::FARPROC>(&openFileNameReplacement));
  // 2. The click opens the dialog, which the replacement answers.
  setFileDialogPath(path);
  ComObject element = findTextInput(key, skip);
  element.call("click");
  // 3. Put the entry point back.
  hook->uninstallHook(library, function);
  hook.reset();
  element.clear();
}

}  // namespace trenmoor
