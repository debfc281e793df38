// The window of a document and its location object.
#pragma once

#include <memory>
#include <string>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

class WindowObject final : public TableDispatch<WindowObject> {
 public:
  // `document` may be empty (a frame not loaded yet). `viewer` is the document through which
  // this window was reached: its document is refused (reads as empty) unless the viewer may
  // access it (page_origin.h), checked on every use, and refused once the viewer has gone.
  // Null: the program's own view, no check.
  static Ref<WindowObject> create(Ref<Document> document, const Document* viewer);
  static Ref<WindowObject> create(Ref<Document> document, std::shared_ptr<DocumentContext> viewer);

  Document* document() const { return document_.get(); }
  // The document as the viewer may see it: null when refused.
  Document* visibleDocument() const;
  const std::shared_ptr<DocumentContext>& viewer() const { return viewer_; }
  // The viewer a window reached from this one gets: this window's viewer, else its document.
  std::shared_ptr<DocumentContext> viewerOfReached() const;


  static const MemberTable<WindowObject>& members();

 private:
  WindowObject(Ref<Document> document, std::shared_ptr<DocumentContext> viewer)
      : document_(std::move(document)), viewer_(std::move(viewer)) {}
  ~WindowObject() override;

  Ref<Document> document_;
  std::shared_ptr<DocumentContext> viewer_;
};

class LocationObject final : public TableDispatch<LocationObject> {
 public:
  static Ref<LocationObject> create(Ref<Document> document);
  Document& document() const { return *document_; }


  static const MemberTable<LocationObject>& members();

 private:
  explicit LocationObject(Ref<Document> document) : document_(std::move(document)) {}
  Ref<Document> document_;
};

// Who asks for a navigation: the page itself (a link, a form), or whoever calls the object
// model (a page script while one runs, else the program).
enum class NavigationCaller { Page, ObjectModel };

// Asks the document's host to navigate; false when the document has no host.
bool requestNavigation(Document& from, std::u16string_view reference, std::u16string_view target = {},
                       NavigationCaller caller = NavigationCaller::ObjectModel);

}  // namespace trenmoor::html
