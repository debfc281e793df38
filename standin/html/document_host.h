// What a document asks of the browser that shows it: navigation, frame loading, cookies, the
// page's dialogs and its scripts' HTTP requests. The browser control implements this; tests use
// a fake. All addresses are absolute URLs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trenmoor::html {

class Document;
class Element;

// A navigation asked for by the page (location write, window.navigate, link click, form
// submission).
struct NavigationRequest {
  std::u16string url;
  std::u16string target;       // window name; empty: the document's own window
  std::u16string method = u"GET";
  std::string body;            // form data for POST, already encoded
  std::string contentType;     // of the body
  // The page asked for it (a link, a form, or a running page script), not the program through
  // the object model: a page from the network may not go to local addresses.
  bool byPage = true;
};

// A dialog a page script asks for (alert, confirm, prompt, showModalDialog).
enum class DialogKind { Alert, Confirm, Prompt, ModalPage };
struct DialogRequest {
  DialogKind kind = DialogKind::Alert;
  std::u16string message;      // the text; for ModalPage the page's address
  std::u16string defaultText;  // Prompt's default answer
};
struct DialogAnswer {
  bool accepted = false;  // OK (Alert and ModalPage always report true)
  std::u16string text;    // Prompt's answer when accepted
};

// An HTTP request of a page script (XMLHttpRequest). The headers hold those the script set and
// a Cookie header with the page's cookies for the address (the host adds no cookies of its own).
struct FetchRequest {
  std::u16string method = u"GET";  // upper case
  std::u16string url;
  // False for a request to another origin: no cookies go with it and none are stored from it.
  bool credentials = true;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;  // UTF-8, as the script's text was
};
struct FetchResponse {
  std::int32_t status = 0;  // 0: the request failed (network error)
  std::string statusText;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;  // bytes; decoded by the charset of the Content-Type header, else UTF-8
  std::u16string url;  // the address that answered, after redirects (empty: the one asked)
};

class DocumentHost {
 public:
  virtual ~DocumentHost() = default;

  // Navigate the window showing `from` (or the window named by request.target). Returns at
  // once; the navigation happens later.
  virtual void navigate(Document& from, const NavigationRequest& request) = 0;

  // A frame or iframe element with address `url` (empty when it has no src) has entered
  // `parent`. The host loads it when it likes and hands the result over with
  // frame.setContentDocument(...). Called again when the frame's src is changed.
  virtual void loadFrame(Document& parent, Element& frame, std::u16string_view url) = 0;

  // An img element with address `url` has entered `page`: the host fetches it when it likes and
  // sets the element's picture. The default fetches nothing.
  virtual void loadImage(Document& page, Element& image, std::u16string_view url);

  // Cookies visible to the page at `url`, as "name=value; name2=value2".
  virtual std::u16string cookies(std::u16string_view url) = 0;
  // Stores one cookie line ("name=value; path=/; ...") for the page at `url`; false when refused.
  virtual bool setCookie(std::u16string_view url, std::u16string_view line) = 0;

  // Shows a page's dialog, task-modal, while window events keep being dispatched. The default
  // shows a message box through the toolkit (ui::messageBox): OK for alert and modal pages,
  // OK/Cancel for confirm and prompt; prompt answers its default text on OK.
  virtual DialogAnswer showDialog(Document& from, const DialogRequest& request);

  // Performs a script's HTTP request and calls `done` once with the response, later, on the
  // user-interface thread (post it; never call it from another thread). The default answers a
  // network error (status 0) at once; the request object copes with an answer given inside
  // fetch by running its handlers after the current event.
  virtual void fetch(Document& from, const FetchRequest& request, std::function<void(FetchResponse)> done);
  // What the default fetch does (also used for a page without a host).
  static void fetchDefault(const std::function<void(FetchResponse)>& done) { done(FetchResponse{}); }
};

// The default dialog: a toolkit message box.
DialogAnswer showDialogBox(const DialogRequest& request);
// Shows a page's dialog through its host (or the default without one), pausing the scripts'
// clock meanwhile.
DialogAnswer showPageDialog(Document& from, const DialogRequest& request);

}  // namespace trenmoor::html
