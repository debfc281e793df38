// The seam's clipboard calls over the current desktop's clipboard.
#include "standin/desktop/clipboard.h"

#include "platform/clipboard_calls.h"
#include "standin/desktop/bitmaps.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::desktop {

Clipboard::~Clipboard() { freeAll(); }

bool Clipboard::open(std::uint32_t owner) {
  if (open_) return false;
  open_ = true;
  owner_ = owner;
  return true;
}

bool Clipboard::close() {
  if (!open_) return false;
  open_ = false;
  return true;
}

bool Clipboard::empty() {
  if (!open_) return false;
  freeAll();
  return true;
}

void* Clipboard::data(std::uint32_t format) const {
  if (!open_) return nullptr;
  auto it = data_.find(format);
  return it == data_.end() ? nullptr : it->second;
}

bool Clipboard::setData(std::uint32_t format, void* bitmap) {
  if (!open_ || format != win::CF_BITMAP || !isBitmap(bitmap)) return false;
  auto it = data_.find(format);
  if (it != data_.end() && it->second != bitmap) deleteHeldBitmap(it->second);
  data_[format] = bitmap;
  holdBitmap(bitmap, true);
  return true;
}

void Clipboard::freeAll() {
  for (auto& [format, bitmap] : data_) deleteHeldBitmap(bitmap);
  data_.clear();
}

}  // namespace trenmoor::desktop

namespace trenmoor::win {

using desktop::Desktop;

BOOL OpenClipboard(HWND owner) { return Desktop::current().clipboard().open(owner) ? 1 : 0; }
BOOL CloseClipboard() { return Desktop::current().clipboard().close() ? 1 : 0; }
BOOL EmptyClipboard() { return Desktop::current().clipboard().empty() ? 1 : 0; }
HANDLE GetClipboardData(UINT format) { return Desktop::current().clipboard().data(format); }
HANDLE SetClipboardData(UINT format, HANDLE data) {
  return Desktop::current().clipboard().setData(format, data) ? data : nullptr;
}

}  // namespace trenmoor::win
