// PageDriver: the page-automation driver. It is bound to one browser window and holds one
// reference to the HTML document shown in it; its operations read and change that document by
// late binding. Operations are virtual, in the order of the driver's table, and call one
// another through it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com_object.h"
#include "platform/window_calls.h"

namespace trenmoor {

class PageDriver {
 public:
  // A new driver: empty document, window 0; initialises COM for this thread.
  PageDriver();
  // 1. Clean-up: releases the document, then balances the creation's COM initialisation.
  virtual ~PageDriver();
  // 2. Copy: the same window and a new reference to the same document; initialises COM like a
  // new driver so that its clean-up is balanced.
  PageDriver(const PageDriver& other);
  PageDriver& operator=(const PageDriver& other);

  // --- attaching to a browser window and its document ------------------------------------
  // 3. Binds the driver to the window and fetches the document of the browser inside it.
  // False (nothing changed) when the handle is not a window; otherwise whether a document is
  // held afterwards.
  virtual bool attach(win::HWND window);
  // 4. A new reference to the document; empty when the driver has none.
  virtual ComObject getDocument();
  // 5. Drops the document; the window stays.
  virtual void releaseDocument();
  // 6. The first descendant of `parent`, depth first, whose class is "Internet Explorer_Server";
  // 0 when none. Pending window events run between siblings.
  virtual win::HWND findBrowserServerWindow(win::HWND parent);
  // 7. Fetches the document of the browser document window at or under `window` into
  // `document`. False, with `document` unchanged, when there is none or it does not answer.
  virtual bool documentFromWindow(win::HWND window, ComObject& document);

  // --- browser windows and browser settings ----------------------------------------------
  // 191. Writes "WarnOnHTTPSToHTTPRedirect" under the current user's and the machine's
  // Internet Settings; a refused write is skipped.
  virtual void setRedirectWarning(std::int32_t value = 0);
  // 192. Appends every descendant browser document window, depth first; true when the array
  // is not empty afterwards.
  virtual bool collectBrowserServerWindows(win::HWND parent, std::vector<std::int32_t>& handles);

  // A window's class name as GetClassNameA reads it into a 50-byte buffer (at most 49
  // characters); empty for a bad handle.
  static Text windowClassName(win::HWND window);

 protected:
  ComObject document_;
  win::HWND window_ = 0;
};

}  // namespace trenmoor
