#include "standin/browser/browser.h"

#include "standin/imaging/picture_codec.h"

#include <span>
#include <utility>

#include "platform/object_results.h"
#include "platform/text.h"
#include "standin/browser/page_content.h"
#include "standin/browser/web_address.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::browser {
namespace {

constexpr desktop::Rect kPopupRect{120, 80, 920, 680};

html::LoadingState documentState(ReadyState state) {
  return state == ReadyState::Complete ? html::LoadingState::Complete
         : state == ReadyState::Interactive ? html::LoadingState::Interactive
                                            : html::LoadingState::Loading;
}

bool isFrame(const html::Element& e) {
  return e.kind() == html::TagKind::Frame || e.kind() == html::TagKind::IFrame;
}

// The origin an about: page opened by `creator` takes; none for other addresses.
std::optional<html::PageOrigin> inheritedOrigin(std::string_view url, const html::Document& creator) {
  if (schemeOf(url) != "about") return std::nullopt;
  return creator.origin();
}

// Local addresses are out of reach of pages that are not local themselves.
bool refusedTo(const html::Document& page, std::string_view url) {
  return schemeOf(url) == "file" && !page.origin().isLocal();
}

}  // namespace

Browser::Browser(std::shared_ptr<Network> network, win::HWND parent)
    : network_(std::move(network)), desktop_(desktop::Desktop::current()) {
  buildWindows(parent);
}

Browser::~Browser() {
  cancelLoads();
  popups_.clear();
  if (document_) document_->shutScripts();
  for (auto& weak : documents_)
    if (auto context = weak.lock(); context && context->document && context->document->host() == this)
      context->document->setHost(nullptr);
  win::HWND outer = frame_ ? frame_ : embedding_;
  if (desktop_.isWindow(outer)) desktop_.destroyWindow(outer);
}

void Browser::buildWindows(win::HWND parent) {
  desktop::Rect rect = kPopupRect;
  if (parent && desktop_.isWindow(parent)) {
    rect = desktop_.rect(parent).value_or(rect);
  } else {
    frame_ = desktop_.createWindow(kPopupWindowClass, 0, rect, true);
    parent = frame_;
  }
  embedding_ = desktop_.createWindow("Shell Embedding", parent, rect, true);
  view_ = desktop_.createWindow("Shell DocObject View", embedding_, rect, true);
  server_ = desktop_.createWindow("Internet Explorer_Server", view_, rect, true);
  const std::uint32_t getObject = desktop_.registerWindowMessage("WM_HTML_GETOBJECT");
  desktop_.setMessageHandler(server_, [this, getObject](std::uint32_t message, std::uintptr_t,
                                                          std::intptr_t) -> std::optional<std::intptr_t> {
    if (hung_) return std::nullopt;
    if (message != getObject) return 0;
    return win::LresultFromObject(win::IID_IHTMLDocument, 0, document_.dispatch());
  });
  // The parent may take the windows down first (a box destroyed before its engine).
  desktop_.onDestroy(embedding_, [this] { embedding_ = view_ = server_ = 0; });
  if (frame_) desktop_.onDestroy(frame_, [this] { frame_ = 0; });
}

void Browser::navigate(std::string_view address) {
  PageRequest request;
  request.url = addressFromUserText(address);
  navigate(std::move(request));
}

void Browser::navigate(PageRequest request) {
  if (schemeOf(request.url) == "javascript") {
    if (document_) document_->runScriptAddress(utf8ToWide(request.url));
    return;
  }
  startNavigation(std::move(request), std::nullopt);
}

void Browser::startNavigation(PageRequest request, std::optional<html::PageOrigin> creator) {
  cancelLoads();
  mainCreator_ = std::move(creator);
  const std::uint64_t navigation = ++navigation_;
  address_ = request.url;
  state_ = ReadyState::Loading;
  mainLoad_ = network_->load(std::move(request),
                             [this, navigation](LoadedPage page) { showPage(navigation, page); });
}

void Browser::cancelLoads() {
  if (mainLoad_) network_->cancel(mainLoad_);
  mainLoad_ = 0;
  for (auto& [element, load] : frameLoads_) network_->cancel(load.load);
  frameLoads_.clear();
  for (auto& [key, load] : fetches_) network_->cancel(load);
  fetches_.clear();
  for (auto& [key, load] : imageLoads_) network_->cancel(load.load);
  imageLoads_.clear();
  pendingFrames_ = 0;
}

html::Ref<html::Document> Browser::buildDocument(const LoadedPage& page, std::uint64_t navigation, int depth,
                                                 const std::optional<html::PageOrigin>& creator) {
  PageContent content = pageContent(page);
  html::PageSource source{
      std::span(reinterpret_cast<const std::uint8_t*>(content.bytes.data()), content.bytes.size()), page.url,
      content.charset};
  // Frames announced while the page is parsed belong to `navigation` (0: to none).
  const std::uint64_t outer = std::exchange(parsingFor_, navigation);
  const int outerDepth = std::exchange(parsingDepth_, depth);
  html::Ref<html::Document> document =
      html::Document::load(source, this, schemeOf(page.url) == "about" ? creator : std::nullopt);
  parsingFor_ = outer;
  parsingDepth_ = outerDepth;
  std::erase_if(documents_, [](const auto& weak) { return weak.expired(); });
  documents_.push_back(document->context());
  return document;
}

void Browser::showPage(std::uint64_t navigation, const LoadedPage& page) {
  mainLoad_ = 0;
  address_ = page.url;
  state_ = ReadyState::Interactive;  // so frames found while parsing count for this navigation
  html::Ref<html::Document> document = buildDocument(page, navigation, 0, mainCreator_);
  document->windowName = utf8ToWide(name_);
  if (document_) document_->shutScripts();  // the page that was shown went
  document_ = std::move(document);
  document_->setReadyState(html::LoadingState::Interactive);
  checkComplete();
}

void Browser::checkComplete() {
  if (state_ != ReadyState::Interactive || pendingFrames_ > 0 || mainLoad_) return;
  state_ = ReadyState::Complete;
  if (document_) document_->setReadyState(documentState(state_));
}

void Browser::startFrameLoad(html::Element& frame, PageRequest request, std::optional<html::PageOrigin> creator) {
  // A page being parsed is not yet in its frame, so its depth comes from the parse.
  int depth = parsingDepth_ + 1;
  if (parsingDepth_ < 0) {
    depth = 0;
    for (html::Document* d = frame.document(); d; d = d->parentDocument()) ++depth;
  }
  if (depth > kMaxFrameDepth) return;
  // Counted first, dropped second: replacing a counted load must not complete the page early.
  const bool counted = parsingFor_ != 0 && parsingFor_ == navigation_ && state_ == ReadyState::Interactive;
  if (counted) ++pendingFrames_;
  dropFrameLoad(&frame);
  html::Element* key = &frame;
  LoadId load = network_->load(std::move(request), [this, key](LoadedPage page) { frameLoaded(key, page); });
  frameLoads_[key] = FrameLoad{html::Ref<html::Element>(&frame), load, std::move(creator), counted, depth};
}

void Browser::dropFrameLoad(html::Element* frame) {
  auto it = frameLoads_.find(frame);
  if (it == frameLoads_.end()) return;
  network_->cancel(it->second.load);
  if (it->second.counted) --pendingFrames_;
  frameLoads_.erase(it);
  checkComplete();
}

void Browser::frameLoaded(html::Element* key, const LoadedPage& page) {
  auto it = frameLoads_.find(key);
  if (it == frameLoads_.end()) return;
  FrameLoad entry = std::move(it->second);
  frameLoads_.erase(it);
  html::Ref<html::Document> document = buildDocument(page, entry.counted ? navigation_ : 0, entry.depth, entry.creator);
  document->setReadyState(html::LoadingState::Complete);
  entry.frame->setContentDocument(std::move(document));
  if (entry.counted) --pendingFrames_;
  checkComplete();
}

// --- what pages ask of the browser ------------------------------------------------------------

void Browser::loadFrame(html::Document& parent, html::Element& frame, std::u16string_view url) {
  PageRequest request;
  request.url = url.empty() ? "about:blank" : wideToUtf8(url);
  std::optional<html::PageOrigin> creator = inheritedOrigin(request.url, parent);
  if (refusedTo(parent, request.url)) {
    request.url = "about:blank";
    creator = html::PageOrigin::opaque();
  }
  startFrameLoad(frame, std::move(request), std::move(creator));
}

void Browser::loadImage(html::Document& page, html::Element& image, std::u16string_view url) {
  PageRequest request;
  request.url = wideToUtf8(url);
  if (refusedTo(page, request.url)) return;
  // Counted like a frame of the page being parsed: the page completes once its images are in.
  const bool counted = parsingFor_ != 0 && parsingFor_ == navigation_ && state_ == ReadyState::Interactive;
  if (counted) ++pendingFrames_;
  const std::uint64_t key = nextFetch_++;
  html::Ref<html::Element> element(&image);
  const LoadId load = network_->load(std::move(request), [this, key, element](LoadedPage loaded) {
    auto it = imageLoads_.find(key);
    if (it == imageLoads_.end()) return;
    const bool wasCounted = it->second.counted;
    imageLoads_.erase(it);
    const bool ok = loaded.failure == FetchFailure::None && (loaded.status == 0 || (loaded.status >= 200 && loaded.status < 300));
    std::optional<desktop::Pixels> pixels;
    if (ok) pixels = imaging::decodePicture(std::span(reinterpret_cast<const std::uint8_t*>(loaded.body.data()), loaded.body.size()));
    element->picture = pixels ? std::make_shared<const desktop::Pixels>(std::move(*pixels)) : nullptr;
    if (wasCounted) --pendingFrames_;
    checkComplete();
  });
  imageLoads_[key] = ImageLoad{load, counted};
}

html::Element* Browser::frameNamed(std::u16string_view name) const {
  std::vector<html::Document*> documents;
  if (document_) documents.push_back(document_.get());
  for (std::size_t i = 0; i < documents.size(); ++i) {
    html::Element* found = nullptr;
    documents[i]->forEachElement([&](html::Element& e) {
      if (!isFrame(e)) return;
      if (!found && e.attributeOr(u"name") == name) found = &e;
      if (e.contentDocument()) documents.push_back(e.contentDocument().get());
    });
    if (found) return found;
  }
  return nullptr;
}

Browser* Browser::popupNamed(const std::string& name) const {
  for (const auto& popup : popups_) {
    if (popup->name_ == name) return popup.get();
    if (Browser* inner = popup->popupNamed(name)) return inner;
  }
  return nullptr;
}

void Browser::openPopup(std::string name, PageRequest request, std::optional<html::PageOrigin> creator) {
  auto popup = std::make_unique<Browser>(network_, 0);
  popup->name_ = std::move(name);
  Browser* opened = popup.get();
  popups_.push_back(std::move(popup));
  opened->startNavigation(std::move(request), std::move(creator));
}

void Browser::navigate(html::Document& from, const html::NavigationRequest& request) {
  PageRequest page{wideToUtf8(request.method), wideToUtf8(request.url), request.body, request.contentType, {}};
  if (schemeOf(page.url) == "javascript") {
    from.runScriptAddress(request.url);
    return;
  }
  if (request.byPage && refusedTo(from, page.url)) return;
  std::optional<html::PageOrigin> creator = inheritedOrigin(page.url, from);
  const std::string target = wideToUtf8(request.target);
  const std::string special = asciiLower(target);
  html::Element* owner = from.frameOwner();
  if (special.empty() || special == "_self") {
    if (owner) startFrameLoad(*owner, std::move(page), std::move(creator));
    else startNavigation(std::move(page), std::move(creator));
  } else if (special == "_top") {
    startNavigation(std::move(page), std::move(creator));
  } else if (special == "_parent") {
    html::Document* parent = from.parentDocument();
    html::Element* parentOwner = parent ? parent->frameOwner() : nullptr;
    if (parentOwner) startFrameLoad(*parentOwner, std::move(page), std::move(creator));
    else startNavigation(std::move(page), std::move(creator));
  } else if (special == "_blank") {
    openPopup({}, std::move(page), std::move(creator));
  } else if (html::Element* frame = frameNamed(request.target)) {
    startFrameLoad(*frame, std::move(page), std::move(creator));
  } else if (target == name_ || (document_ && document_->windowName == request.target)) {
    startNavigation(std::move(page), std::move(creator));
  } else if (Browser* popup = popupNamed(target)) {
    popup->startNavigation(std::move(page), std::move(creator));
  } else {
    openPopup(target, std::move(page), std::move(creator));
  }
}

std::u16string Browser::cookies(std::u16string_view url) {
  return utf8ToWide(network_->cookies().header(wideToUtf8(url), CookieAccess::Page));
}

namespace {

std::string reasonPhrase(std::int32_t status) {
  switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return {};
  }
}

}  // namespace

void Browser::fetch(html::Document&, const html::FetchRequest& request, std::function<void(html::FetchResponse)> done) {
  PageRequest page;
  page.method = wideToUtf8(request.method);
  page.url = wideToUtf8(request.url);
  page.body = request.body;
  page.credentials = request.credentials;
  // The page's Cookie header is replaced by the jar's (which also holds the HttpOnly ones).
  for (const auto& [name, value] : request.headers) page.headers.push_back({name, value});
  const std::uint64_t key = nextFetch_++;
  fetches_[key] = network_->load(std::move(page), [this, key, done = std::move(done)](LoadedPage loaded) {
    fetches_.erase(key);
    html::FetchResponse response;
    if (loaded.failure == FetchFailure::None) {
      response.url = utf8ToWide(loaded.url);
      response.status = loaded.status;
      response.statusText = reasonPhrase(loaded.status);
      for (auto& h : loaded.headers) response.headers.emplace_back(std::move(h.name), std::move(h.value));
      response.body = std::move(loaded.body);
    }
    done(std::move(response));
  });
}

bool Browser::setCookie(std::u16string_view url, std::u16string_view line) {
  return network_->cookies().store(wideToUtf8(url), wideToUtf8(line), CookieAccess::Page);
}

}  // namespace trenmoor::browser
