#include "standin/html/popup_object.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "standin/desktop/desktop.h"
#include "standin/html/member_arguments.h"

namespace trenmoor::html {
namespace {

// The open popups of each page that created any, by the page's context.
std::unordered_map<const DocumentContext*, std::vector<PopupObject*>>& popupsByPage() {
  static std::unordered_map<const DocumentContext*, std::vector<PopupObject*>> all;
  return all;
}

void forget(const DocumentContext* creator, PopupObject* popup) {
  auto page = popupsByPage().find(creator);
  if (page == popupsByPage().end()) return;
  std::erase(page->second, popup);
  if (page->second.empty()) popupsByPage().erase(page);
}

using P = PopupObject;

std::int32_t integerArgument(std::span<const Variant> a, std::size_t i) {
  const Variant* v = argument(a, i);
  const double n = v ? v->toNumber() : 0.0;
  return n != n ? 0 : static_cast<std::int32_t>(std::clamp(n, -2147483648.0, 2147483647.0));
}

constexpr Member<P> kPopupMembers[] = {
    {"document", [](P& p, Variant& r) { r = objectResult(&p.document()); return true; }},
    {"isOpen", [](P& p, Variant& r) { r = p.isOpen(); return true; }},
    // show(left, top, width, height[, anchor]). Placing by an anchor element needs its place on
    // the screen, which this engine does not lay out: with an anchor nothing is shown.
    {"show", nullptr, nullptr,
     [](P& p, std::span<const Variant> a, Variant&) {
       if (const Variant* anchor = argument(a, 4); anchor && !anchor->isEmpty()) return false;
       return p.show(integerArgument(a, 0), integerArgument(a, 1), integerArgument(a, 2), integerArgument(a, 3));
     }},
    {"hide", nullptr, nullptr,
     [](P& p, std::span<const Variant>, Variant&) {
       p.hide();
       return true;
     }},
};

}  // namespace

Ref<PopupObject> PopupObject::create(Document& creator) {
  Ref<PopupObject> popup(new PopupObject(Document::createEmpty("about:blank"), creator.context()));
  popupsByPage()[creator.context().get()].push_back(popup.get());
  return popup;
}

PopupObject::~PopupObject() { close(); }

bool PopupObject::show(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  const std::shared_ptr<DocumentContext> creator = creator_.lock();
  if (closed_ || !creator || !creator->document) return false;
  desktop::Desktop& desktop = desktop::Desktop::current();
  const auto far = [](std::int64_t start, std::int32_t size) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(start + std::max(size, 0), INT32_MAX));
  };
  const desktop::Rect rect{left, top, far(left, width), far(top, height)};
  if (!desktop.isWindow(window_)) window_ = desktop.createWindow(kPopupTipWindowClass, 0, rect, true);
  desktop.setRect(window_, rect);
  desktop.setVisible(window_, true);
  return true;
}

void PopupObject::hide() {
  desktop::Desktop& desktop = desktop::Desktop::current();
  if (desktop.isWindow(window_)) desktop.setVisible(window_, false);
}

bool PopupObject::isOpen() const {
  const desktop::Desktop& desktop = desktop::Desktop::current();
  return window_ != 0 && desktop.isWindow(window_) && desktop.isVisible(window_);
}

void PopupObject::close() {
  if (closed_) return;
  closed_ = true;
  desktop::Desktop& desktop = desktop::Desktop::current();
  if (desktop.isWindow(window_)) desktop.destroyWindow(window_);
  window_ = 0;
  if (const std::shared_ptr<DocumentContext> creator = creator_.lock()) forget(creator.get(), this);
}

void closePopups(Document& creator) {
  auto page = popupsByPage().find(creator.context().get());
  if (page == popupsByPage().end()) return;
  const std::vector<PopupObject*> open = page->second;
  popupsByPage().erase(page);
  for (PopupObject* popup : open) popup->close();
}

const MemberTable<PopupObject>& PopupObject::members() {
  static const MemberTable<PopupObject> table{kPopupMembers};
  return table;
}

}  // namespace trenmoor::html
