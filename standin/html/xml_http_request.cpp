#include "standin/html/xml_http_request.h"

#include <optional>

#include "standin/desktop/desktop.h"
#include "standin/html/member_arguments.h"
#include "standin/html/page_decoding.h"
#include "standin/html/script_clock.h"
#include "standin/html/script_engine.h"
#include "standin/html/tag_table.h"
#include "platform/text.h"

namespace trenmoor::html {

namespace {

// Whether a request from `page` to `url` may be made at all: network addresses always (the
// answer is checked later), local ones from local pages only, nothing else.
bool mayRequest(const PageOrigin& page, const PageOrigin& target) {
  if (target.kind == OriginKind::Local) return page.isLocal();
  return target.kind == OriginKind::Network;
}

std::string trimmed(std::string_view text) {
  std::size_t start = text.find_first_not_of(" \t");
  std::size_t end = text.find_last_not_of(" \t");
  return start == std::string_view::npos ? std::string() : std::string(text.substr(start, end - start + 1));
}

// An answer from another origin reaches the page only when it names the page's origin, or any.
bool answerAllowed(const PageOrigin& page, std::u16string_view asked, const FetchResponse& answer) {
  if (answer.status == 0) return true;
  if (sameOrigin(page, PageOrigin::ofAddress(answer.url.empty() ? asked : std::u16string_view(answer.url)))) return true;
  const std::string origin = wideToUtf8(page.serialize());
  for (const auto& [name, value] : answer.headers)
    if (memberNameEquals(utf8ToWide(name), "Access-Control-Allow-Origin")) {
      std::string allowed = trimmed(value);
      return allowed == "*" || (page.kind == OriginKind::Network && allowed == origin);
    }
  return false;
}

}  // namespace

Ref<XmlHttpRequest> XmlHttpRequest::create(Document& document) {
  return Ref<XmlHttpRequest>(new XmlHttpRequest(document.context()));
}

bool XmlHttpRequest::open(std::u16string method, std::u16string_view url, bool async) {
  Document* document = context_->document;
  if (!document || url.empty()) return false;
  ++generation_;  // an answer to an earlier send no longer counts
  method_ = asciiUpper(method.empty() ? u"GET" : method);
  url_ = document->resolve(url);
  async_ = async;
  requestHeaders.clear();
  response = FetchResponse{};
  responseText.clear();
  setState(1);
  return true;
}

bool XmlHttpRequest::send(std::u16string_view body) {
  Document* document = context_->document;
  if (!document || readyState != 1 || sending_) return false;
  FetchRequest request;
  request.method = method_;
  request.url = url_;
  request.headers = requestHeaders;
  const PageOrigin target = PageOrigin::ofAddress(url_);
  const bool allowed = mayRequest(document->origin(), target);
  request.credentials = sameOrigin(document->origin(), target);
  if (!request.credentials) {
    request.headers.emplace_back("Origin", wideToUtf8(document->origin().serialize()));
  } else if (DocumentHost* host = document->host()) {
    std::u16string cookies = host->cookies(url_);
    if (!cookies.empty()) request.headers.emplace_back("Cookie", wideToUtf8(cookies));
  }
  if (method_ != u"GET" && method_ != u"HEAD") request.body = wideToUtf8(body);

  // An answer given inside fetch is kept and handled after it.
  struct Pending {
    bool insideFetch = true;
    std::optional<FetchResponse> early;
  };
  auto pending = std::make_shared<Pending>();
  Ref<XmlHttpRequest> self(this);
  std::uint64_t generation = generation_;
  auto done = [self, generation, pending](FetchResponse answer) {
    if (pending->insideFetch) pending->early = std::move(answer);
    else self->complete(std::move(answer), generation);
  };
  Ref<Document> keep(document);
  sending_ = true;
  if (DocumentHost* host = document->host(); host && allowed) host->fetch(*document, request, done);
  else DocumentHost::fetchDefault(done);
  sending_ = false;
  pending->insideFetch = false;
  if (!pending->early) {
    if (async_) return true;
    // A synchronous request waits for its answer, as a modal wait does.
    ScriptClockPause pause;
    desktop::Desktop::current().runUntil([&] { return readyState == 4 || generation != generation_; });
    return true;
  }
  FetchResponse early = std::move(*pending->early);
  if (!async_) {
    complete(std::move(early), generation);
  } else {
    desktop::Desktop::current().post([self, generation, answer = std::move(early)]() mutable {
      self->complete(std::move(answer), generation);
    });
  }
  return true;
}

void XmlHttpRequest::abort() {
  ++generation_;
  readyState = 0;
}

void XmlHttpRequest::setState(std::int32_t state) {
  readyState = state;
  fire(onReadyStateChange, u"XMLHttpRequest onreadystatechange");
}

void XmlHttpRequest::fire(const Variant& handler, const char16_t* what) {
  if (!handler.object()) return;
  Variant result;
  callFunction(handler, this, {}, result, what);
}

void XmlHttpRequest::complete(FetchResponse answer, std::uint64_t generation) {
  Document* document = context_->document;
  if (generation != generation_ || !document) return;
  Ref<XmlHttpRequest> keep(this);
  // A refused answer is a network error: nothing of it reaches the page.
  response = answerAllowed(document->origin(), url_, answer) ? std::move(answer) : FetchResponse{};
  std::string contentType;
  for (const auto& [name, value] : response.headers)
    if (memberNameEquals(utf8ToWide(name), "Content-Type")) contentType = value;
  std::string charset = charsetFromContentType(contentType);
  auto bytes = reinterpret_cast<const std::uint8_t*>(response.body.data());
  responseText = utf8ToWide(decodePage({bytes, response.body.size()}, charset.empty() ? "utf-8" : charset).utf8);
  readyState = 4;
  fire(onReadyStateChange, u"XMLHttpRequest onreadystatechange");
  if (generation != generation_) return;
  fire(response.status != 0 ? onLoad : onError, response.status != 0 ? u"XMLHttpRequest onload" : u"XMLHttpRequest onerror");
}

namespace {

using X = XmlHttpRequest;

template <Variant XmlHttpRequest::*Handler>
constexpr Member<X> handlerMember(std::string_view name) {
  return {name, [](X& x, Variant& r) { r = x.*Handler; return true; },
          [](X& x, const Variant& v) {
            if (!v.isEmpty() && !v.object()) return false;
            x.*Handler = v;
            return true;
          }};
}

constexpr Member<X> kRequestMembers[] = {
    {"open", nullptr, nullptr,
     [](X& x, std::span<const Variant> a, Variant&) {
       const Variant* async = argument(a, 2);
       return x.open(argumentText(a, 0), argumentText(a, 1), !async || async->isEmpty() || async->toLogical());
     }},
    {"send", nullptr, nullptr, [](X& x, std::span<const Variant> a, Variant&) { return x.send(argumentText(a, 0)); }},
    {"abort", nullptr, nullptr,
     [](X& x, std::span<const Variant>, Variant&) {
       x.abort();
       return true;
     }},
    {"setRequestHeader", nullptr, nullptr,
     [](X& x, std::span<const Variant> a, Variant&) {
       if (x.readyState != 1 || argumentText(a, 0).empty()) return false;
       x.requestHeaders.emplace_back(wideToUtf8(argumentText(a, 0)), wideToUtf8(argumentText(a, 1)));
       return true;
     }},
    {"getResponseHeader", nullptr, nullptr,
     [](X& x, std::span<const Variant> a, Variant& r) {
       r = Variant();
       for (const auto& [name, value] : x.response.headers)
         if (memberNameEquals(utf8ToWide(name), argumentText(a, 0))) r = utf8ToWide(value);
       return true;
     }},
    {"getAllResponseHeaders", nullptr, nullptr,
     [](X& x, std::span<const Variant>, Variant& r) {
       std::string text;
       for (const auto& [name, value] : x.response.headers) text += name + ": " + value + "\r\n";
       r = utf8ToWide(text);
       return true;
     }},
    {"readyState", [](X& x, Variant& r) { r = x.readyState; return true; }},
    {"status", [](X& x, Variant& r) { r = x.readyState == 4 ? x.response.status : 0; return true; }},
    {"statusText", [](X& x, Variant& r) { r = utf8ToWide(x.response.statusText); return true; }},
    {"responseText", [](X& x, Variant& r) { r = x.readyState == 4 ? x.responseText : std::u16string(); return true; }},
    handlerMember<&XmlHttpRequest::onReadyStateChange>("onreadystatechange"),
    handlerMember<&XmlHttpRequest::onLoad>("onload"),
    handlerMember<&XmlHttpRequest::onError>("onerror"),
};

}  // namespace

const MemberTable<XmlHttpRequest>& XmlHttpRequest::members() {
  static const MemberTable<XmlHttpRequest> table{kRequestMembers};
  return table;
}

}  // namespace trenmoor::html
