// The web browser control of the stand-in: one per browser box (or per popup window), showing
// one top-level document and the documents of its frames.
//
// Window tree, as the real control builds it inside its parent, each with the parent's
// rectangle: "Shell Embedding" > "Shell DocObject View" > "Internet Explorer_Server" (the
// document window). The registered message "WM_HTML_GETOBJECT" sent to the document window
// answers LresultFromObject(IID_IHTMLDocument, current document); 0 before the first page.
// A browser marked hung does not answer, so SendMessageTimeoutA times out.
//
// Ready state timing (T = the address write; every step runs through the desktop's event loop):
//   - before any navigation: 0 (uninitialised);
//   - from T: 1 (loading); the previous document stays shown until the new one is parsed;
//   - an in-process site's answer with latency L arrives at T + L (each redirect hop adds its own
//     latency); about:, data: and file: pages and refused hosts arrive at T + 0, in the first
//     event dispatch after the write; HTTP answers arrive when the transfer ends (real time);
//   - on arrival the page is parsed and becomes the document. Frames found in it start loading
//     at once, in parallel (each with its own latency); while any of them (or frames of their
//     pages) is loading the state is 3 (interactive), and it becomes 4 (complete) when the last
//     one has arrived. A page without frames goes from 1 to 4 at T + L;
//   - a failed load (unknown host, refused connection, HTTP error status without body, file
//     not found, unsupported address) shows the browser's error page and completes all the same;
//   - a newer navigation cancels the older one in flight (its answer is dropped).
// Frames inserted or retargeted by the page after completion load without changing the state.
// Scripts' HTTP requests (XMLHttpRequest) go through the same network and cookie jar (HttpOnly
// cookies included, as for any request of the browser); leaving the page drops those in flight.
// The page that is replaced has its scripts shut down.
//
// What pages may do (page_origin.h gives the origins): a page that is not local cannot send
// this browser, a frame or a popup to a file: address, and its frames that point at one stay
// empty (an about:blank of an origin of its own); the program's own navigate() goes anywhere.
// about: pages a page opens (frames, popups, its own window) take that page's origin.
// A javascript: address a page asks for runs in that page itself, whatever window it names.
// Scripts' requests go to the page's own origin with its cookies; to another origin they go
// without cookies and the answer reaches the page only when its Access-Control-Allow-Origin
// names the page's origin (or "*"); file: and other local addresses only from local pages.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_calls.h"
#include "standin/browser/network.h"
#include "standin/html/document_host.h"
#include "standin/html/dom.h"

namespace trenmoor::desktop {
class Desktop;
}

namespace trenmoor::browser {

enum class ReadyState : std::int32_t { Uninitialized = 0, Loading = 1, Interactive = 3, Complete = 4 };

// Window class of the top-level window that holds a popup browser.
inline constexpr const char* kPopupWindowClass = "TrenmoorBrowserWindow";

class Browser final : private html::DocumentHost {
 public:
  static constexpr int kMaxFrameDepth = 8;  // deeper frames stay empty (a page framing itself)

  // Builds the window tree inside `parent`; with parent 0, inside a new visible top-level window
  // of class kPopupWindowClass. Uses the current desktop, which must outlive the browser.
  Browser(std::shared_ptr<Network> network, win::HWND parent);
  ~Browser() override;  // destroys its windows and popups; documents still held elsewhere live on without host
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;

  // Starts a navigation to what a user typed into the address bar (see addressFromUserText)
  // and returns at once. A javascript: address runs in the current page instead.
  void navigate(std::string_view address);
  void navigate(PageRequest request);

  // The address of the navigation in progress, else of the page shown (after redirects). UTF-8.
  const std::string& address() const { return address_; }
  ReadyState readyState() const { return state_; }
  // The top-level document; null before the first page arrives.
  html::Document* document() const { return document_.get(); }

  win::HWND topLevelWindow() const { return frame_; }  // 0 unless this is a popup
  win::HWND embeddingWindow() const { return embedding_; }
  win::HWND documentWindow() const { return server_; }

  // A hung browser's document window does not answer messages.
  void setHung(bool hung) { hung_ = hung; }
  bool hung() const { return hung_; }

  // The window name pages target this browser by (empty for a box and for "_blank" popups).
  const std::string& name() const { return name_; }
  // Browsers this one opened for "_blank" or unknown window names, in opening order.
  const std::vector<std::unique_ptr<Browser>>& popups() const { return popups_; }

  Network& network() const { return *network_; }

 private:
  struct FrameLoad {
    html::Ref<html::Element> frame;
    LoadId load = 0;
    std::optional<html::PageOrigin> creator;  // of the page that asked: an about: page takes it
    bool counted = false;  // part of the navigation: the ready state waits for it
    int depth = 1;         // 1 for a frame of the top-level document
  };

  // html::DocumentHost
  void navigate(html::Document& from, const html::NavigationRequest& request) override;
  void loadFrame(html::Document& parent, html::Element& frame, std::u16string_view url) override;
  void loadImage(html::Document& page, html::Element& image, std::u16string_view url) override;
  std::u16string cookies(std::u16string_view url) override;
  bool setCookie(std::u16string_view url, std::u16string_view line) override;
  void fetch(html::Document& from, const html::FetchRequest& request,
             std::function<void(html::FetchResponse)> done) override;

  void buildWindows(win::HWND parent);
  void startNavigation(PageRequest request, std::optional<html::PageOrigin> creator);
  void cancelLoads();
  void showPage(std::uint64_t navigation, const LoadedPage& page);
  html::Ref<html::Document> buildDocument(const LoadedPage& page, std::uint64_t navigation, int depth,
                                          const std::optional<html::PageOrigin>& creator);
  void startFrameLoad(html::Element& frame, PageRequest request, std::optional<html::PageOrigin> creator);
  void dropFrameLoad(html::Element* frame);
  void frameLoaded(html::Element* frame, const LoadedPage& page);
  void checkComplete();
  html::Element* frameNamed(std::u16string_view name) const;
  Browser* popupNamed(const std::string& name) const;
  void openPopup(std::string name, PageRequest request, std::optional<html::PageOrigin> creator);

  std::shared_ptr<Network> network_;
  desktop::Desktop& desktop_;
  win::HWND frame_ = 0;
  win::HWND embedding_ = 0;
  win::HWND view_ = 0;
  win::HWND server_ = 0;

  std::string address_;
  std::string name_;
  ReadyState state_ = ReadyState::Uninitialized;
  bool hung_ = false;
  html::Ref<html::Document> document_;

  std::uint64_t navigation_ = 0;  // the current navigation's number
  std::uint64_t parsingFor_ = 0;  // while a page of a navigation is parsed: its number
  int parsingDepth_ = -1;         // while a page is parsed: its frame depth (0: top level)
  LoadId mainLoad_ = 0;
  std::optional<html::PageOrigin> mainCreator_;  // of the page that started the navigation
  int pendingFrames_ = 0;  // counted frame and image loads still running
  std::map<html::Element*, FrameLoad> frameLoads_;
  std::map<std::uint64_t, LoadId> fetches_;
  struct ImageLoad {
    LoadId load = 0;
    bool counted = false;  // the ready state waits for it
  };
  std::map<std::uint64_t, ImageLoad> imageLoads_;  // by our own number  // scripts' requests in flight, by our own number
  std::uint64_t nextFetch_ = 1;
  std::vector<std::weak_ptr<html::DocumentContext>> documents_;  // to detach them at the end
  std::vector<std::unique_ptr<Browser>> popups_;
};

}  // namespace trenmoor::browser
