#include "page_fixture.h"

namespace trenmoor::html {

Ref<Document> loadPage(std::string_view markup, std::string_view charset, std::string_view address,
                       DocumentHost* host) {
  auto bytes = reinterpret_cast<const std::uint8_t*>(markup.data());
  return Document::load(PageSource{{bytes, markup.size()}, std::string(address), std::string(charset)}, host);
}

ComObject pageObject(std::string_view markup, std::string_view charset) {
  return ComObject(loadPage(markup, charset).dispatch());
}

ComObject byId(const ComObject& document, std::string_view id) {
  return document.callObject("getElementById", {ComObject::textArgument(id)});
}

}  // namespace trenmoor::html
