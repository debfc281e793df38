// What the browser shows for a loaded page: the HTML itself, text or a picture wrapped in a
// page, or the browser's own error page when the load failed.
#pragma once

#include <string>

#include "standin/browser/network.h"

namespace trenmoor::browser {

struct PageContent {
  std::string bytes;
  std::string charset;  // from the Content-Type; empty: the page decides (meta, else code page 936)
  bool errorPage = false;
};

// A failure, or an HTTP error status (400 and up) without a body, gives the error page: UTF-8,
// title "无法显示此页", the address in the element "address" and the reason in "reason".
PageContent pageContent(const LoadedPage& page);

}  // namespace trenmoor::browser
