// The browser control itself: its document windows and its redirect-warning setting.
#include "driver/browser_window_class.h"
#include "driver/page_driver.h"
#include "registry/registry_access.h"

namespace trenmoor {

void PageDriver::setRedirectWarning(std::int32_t value) {
  static const Text kName = "WarnOnHTTPSToHTTPRedirect";
  RegistryAccess registry;
  registry.writeDword("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", kName,
                      value);
  registry.writeDword("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", kName,
                      value);
}

bool PageDriver::collectBrowserServerWindows(win::HWND parent, std::vector<std::int32_t>& handles) {
  for (win::HWND child = win::FindWindowExA(parent, 0, nullptr, nullptr); child != 0;
       child = win::FindWindowExA(parent, child, nullptr, nullptr)) {
    if (windowClassName(child) == kBrowserServerClass) handles.push_back(static_cast<std::int32_t>(child));
    collectBrowserServerWindows(child, handles);
  }
  return !handles.empty();
}

}  // namespace trenmoor
