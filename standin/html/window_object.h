// The window of a document and its location object.
#pragma once

#include <string>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

class WindowObject final : public Dispatch {
 public:
  // `document` may be empty (a frame not loaded yet). `viewerDomain` is the domain of the
  // document through which this window was reached; when it is given and differs from the
  // window's document, the document is refused (reads as empty). Empty: no check.
  static Ref<WindowObject> create(Ref<Document> document, std::u16string viewerDomain);

  Document* document() const { return document_.get(); }
  // The document as the viewer may see it: null when refused across domains.
  Document* visibleDocument() const;
  const std::u16string& viewerDomain() const { return viewerDomain_; }

  bool getMember(std::u16string_view name, Variant& result) override;
  bool putMember(std::u16string_view name, const Variant& value) override;
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override;

  static const MemberTable<WindowObject>& members();

 private:
  WindowObject(Ref<Document> document, std::u16string viewerDomain)
      : document_(std::move(document)), viewerDomain_(std::move(viewerDomain)) {}
  ~WindowObject() override;

  Ref<Document> document_;
  std::u16string viewerDomain_;
};

class LocationObject final : public Dispatch {
 public:
  static Ref<LocationObject> create(Ref<Document> document);
  Document& document() const { return *document_; }

  bool getMember(std::u16string_view name, Variant& result) override;
  bool putMember(std::u16string_view name, const Variant& value) override;
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override;

  static const MemberTable<LocationObject>& members();

 private:
  explicit LocationObject(Ref<Document> document) : document_(std::move(document)) {}
  Ref<Document> document_;
};

// Asks the document's host to navigate; false when the document has no host.
bool requestNavigation(Document& from, std::u16string_view reference, std::u16string_view target = {});

}  // namespace trenmoor::html
