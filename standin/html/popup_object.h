// The popup a page's window creates (createPopup): a borderless top-level window of the desktop
// with a document of its own, shown at a place on the screen and hidden again. It closes when
// the page that created it is left.
#pragma once

#include <memory>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

inline constexpr const char* kPopupTipWindowClass = "TrenmoorPopup";

class PopupObject final : public TableDispatch<PopupObject> {
 public:
  static Ref<PopupObject> create(Document& creator);

  Document& document() const { return *document_; }
  // Shows the popup with its top-left corner at (left, top) on the screen and the given size
  // (negative sizes count as 0). False (nothing shown) once the creating page was left.
  bool show(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  void hide();
  bool isOpen() const;
  // The popup's desktop window; 0 before it was first shown and after it closed.
  std::uint32_t window() const { return window_; }
  // Closes the popup for good: its window goes.
  void close();

  static const MemberTable<PopupObject>& members();

 private:
  PopupObject(Ref<Document> document, std::weak_ptr<DocumentContext> creator)
      : document_(std::move(document)), creator_(std::move(creator)) {}
  ~PopupObject() override;

  Ref<Document> document_;
  std::weak_ptr<DocumentContext> creator_;
  std::uint32_t window_ = 0;
  bool closed_ = false;
};

// Closes every popup the page created (the page was left).
void closePopups(Document& creator);

}  // namespace trenmoor::html
