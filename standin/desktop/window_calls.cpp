// The seam's window and clock calls over the current desktop.
#include "platform/window_calls.h"

#include <cstring>
#include <string>

#include "standin/desktop/desktop.h"

namespace trenmoor {

void waitProcessingEvents(std::int32_t milliseconds) {
  desktop::Desktop::current().waitProcessingEvents(milliseconds);
}

void processPendingEvents() { desktop::Desktop::current().processPendingEvents(); }

void postTask(std::function<void()> task) { desktop::Desktop::current().post(std::move(task)); }

}  // namespace trenmoor

namespace trenmoor::win {

using desktop::Desktop;

BOOL IsWindow(HWND window) { return Desktop::current().isWindow(window) ? 1 : 0; }

HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char* windowName) {
  Desktop& d = Desktop::current();
  if (parent != 0 && !d.isWindow(parent)) return 0;
  (void)windowName;  // stand-in windows carry no titles that the system searches by
  for (HWND child = d.nextChild(parent, childAfter); child != 0; child = d.nextChild(parent, child)) {
    if (!className || d.className(child) == className) return child;
  }
  return 0;
}

int GetClassNameA(HWND window, char* buffer, int maxCount) {
  Desktop& d = Desktop::current();
  if (!buffer || maxCount <= 0 || !d.isWindow(window)) return 0;
  std::string name = d.className(window);
  std::size_t n = std::min<std::size_t>(name.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(buffer, name.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

UINT RegisterWindowMessageA(const char* name) { return name ? Desktop::current().registerWindowMessage(name) : 0; }

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                            std::uintptr_t* result) {
  (void)flags;
  Desktop& d = Desktop::current();
  if (!d.isWindow(window)) return 0;
  auto answer = d.sendMessage(window, message, wParam, lParam);
  if (!answer) {
    d.waitProcessingEvents(static_cast<std::int32_t>(timeoutMs > 0x7fffffffu ? 0x7fffffffu : timeoutMs));
    return 0;
  }
  if (result) *result = static_cast<std::uintptr_t>(*answer);
  return 1;
}

HWND WindowFromPoint(POINT point) { return Desktop::current().windowFromPoint({point.x, point.y}); }

BOOL GetCursorPos(POINT* point) {
  if (!point) return 0;
  auto p = Desktop::current().cursorPosition();
  *point = {p.x, p.y};
  return 1;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  if (!rect) return 0;
  auto r = Desktop::current().rect(window);
  if (!r) return 0;
  *rect = {r->left, r->top, r->right, r->bottom};
  return 1;
}

DWORD GetTickCount() { return static_cast<DWORD>(Desktop::current().tickCount()); }

void Sleep(DWORD milliseconds) { Desktop::current().sleep(milliseconds); }

}  // namespace trenmoor::win
