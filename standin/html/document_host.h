// What a document asks of the browser that shows it: navigation, frame loading and cookies.
// The browser control implements this; tests use a fake. All addresses are absolute URLs.
#pragma once

#include <string>
#include <string_view>

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

  // Cookies visible to the page at `url`, as "name=value; name2=value2".
  virtual std::u16string cookies(std::u16string_view url) = 0;
  // Stores one cookie line ("name=value; path=/; ...") for the page at `url`; false when refused.
  virtual bool setCookie(std::u16string_view url, std::u16string_view line) = 0;
};

}  // namespace trenmoor::html
