#include "standin/browser/page_content.h"

#include "platform/text.h"
#include "standin/browser/site_handler.h"
#include "standin/browser/web_address.h"
#include "standin/html/page_decoding.h"

namespace trenmoor::browser {
namespace {

std::string reasonOf(const LoadedPage& page) {
  switch (page.failure) {
    case FetchFailure::None: return "HTTP " + std::to_string(page.status);
    case FetchFailure::UnknownHost: return "unknown host: " + page.error;
    case FetchFailure::ConnectionRefused: return "connection refused: " + page.error;
    case FetchFailure::TimedOut: return "timed out: " + page.error;
    case FetchFailure::Unsupported: return "unsupported address: " + page.error;
    case FetchFailure::NotFound: return "not found: " + page.error;
    case FetchFailure::Other: return page.error;
  }
  return page.error;
}

}  // namespace

PageContent pageContent(const LoadedPage& page) {
  if (page.failure != FetchFailure::None || (page.status >= 400 && page.body.empty())) {
    return {"<!DOCTYPE html><html><head><title>无法显示此页</title></head><body>"
            "<h1>无法显示此页</h1><p id=address>" + escapedHtml(page.url) + "</p><p id=reason>" +
                escapedHtml(reasonOf(page)) + "</p></body></html>",
            "utf-8", true};
  }
  std::string type = asciiLower(page.contentType.substr(0, page.contentType.find(';')));
  while (!type.empty() && type.back() == ' ') type.pop_back();
  std::string charset = html::charsetFromContentType(page.contentType);
  if (type.empty() || type == "text/html" || type == "application/xhtml+xml") return {page.body, charset, false};
  if (type.rfind("image/", 0) == 0)
    return {"<html><body><img src=\"" + escapedHtml(page.url) + "\"></body></html>", "utf-8", false};
  // Text and anything else: shown as preformatted text in its own character set.
  return {"<html><body><pre>" + escapedHtml(page.body) + "</pre></body></html>", charset, false};
}

}  // namespace trenmoor::browser
