// Attaching to a browser window: finding its document window and asking it for the document.
#include "driver/browser_window_class.h"
#include "driver/page_driver.h"
#include "platform/object_results.h"

namespace trenmoor {

Text PageDriver::windowClassName(win::HWND window) {
  char name[50] = {};
  int length = win::GetClassNameA(window, name, sizeof name);
  return Text(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool PageDriver::attach(win::HWND window) {
  if (!win::IsWindow(window)) return false;
  window_ = window;
  documentFromWindow(window, document_);
  return !document_.empty();
}

ComObject PageDriver::getDocument() { return document_; }

void PageDriver::releaseDocument() { document_.clear(); }

win::HWND PageDriver::findBrowserServerWindow(win::HWND parent) {
  win::HWND child = win::FindWindowExA(parent, 0, nullptr, nullptr);
  while (static_cast<std::int32_t>(child) > 0) {
    if (windowClassName(child) == kBrowserServerClass) return child;
    if (win::HWND found = findBrowserServerWindow(child)) return found;
    child = win::FindWindowExA(parent, child, nullptr, nullptr);
    processPendingEvents();
  }
  return 0;
}

// A document that cannot be fetched leaves the reference as it was: the driver keeps the page
// it had rather than losing it to a window that did not answer.
bool PageDriver::documentFromWindow(win::HWND window, ComObject& document) {
  if (windowClassName(window) != kBrowserServerClass) {
    window = findBrowserServerWindow(window);
    if (window == 0) return false;
  }
  const win::UINT message = win::RegisterWindowMessageA("WM_HTML_GETOBJECT");
  std::uintptr_t result = 0;
  win::SendMessageTimeoutA(window, message, 0, 0, win::SMTO_ABORTIFHUNG, 1000, &result);
  DispatchRef object;
  if (win::ObjectFromLresult(static_cast<win::LRESULT>(result), win::IID_IHTMLDocument, 0, &object) != win::S_OK)
    return false;
  document = ComObject(std::move(object));
  return true;
}

}  // namespace trenmoor
