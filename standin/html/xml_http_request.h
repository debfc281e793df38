// XMLHttpRequest for page scripts, served by the document's host (DocumentHost::fetch). Handlers
// (onreadystatechange, onload, onerror) run after the current event, never inside send() of an
// asynchronous request; a synchronous request waits for its answer, dispatching window events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "standin/html/document_host.h"
#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

class XmlHttpRequest final : public TableDispatch<XmlHttpRequest> {
 public:
  static Ref<XmlHttpRequest> create(Document& document);

  static const MemberTable<XmlHttpRequest>& members();

  // What the members act on.
  bool open(std::u16string method, std::u16string_view url, bool async);
  bool send(std::u16string_view body);
  void abort();
  std::int32_t readyState = 0;
  FetchResponse response;
  std::u16string responseText;
  Variant onReadyStateChange, onLoad, onError;
  std::vector<std::pair<std::string, std::string>> requestHeaders;

 private:
  explicit XmlHttpRequest(std::shared_ptr<DocumentContext> context) : context_(std::move(context)) {}
  void complete(FetchResponse answer, std::uint64_t generation);
  void setState(std::int32_t state);
  void fire(const Variant& handler, const char16_t* what);

  std::shared_ptr<DocumentContext> context_;
  std::u16string method_;
  std::u16string url_;
  bool async_ = true;
  bool sending_ = false;
  std::uint64_t generation_ = 0;
};

}  // namespace trenmoor::html
