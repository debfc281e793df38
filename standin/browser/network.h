// The browser stand-in's network: in-process sites and routes by host name, the cookie jar,
// and page loading with redirects. Every call and every callback is on the user-interface
// thread; only the HTTP transfers themselves run on worker threads.
//
// Where a request for http(s)://HOST/... goes:
//   1. a site added with addSite(HOST, handler): the handler answers in-process, on the desktop
//      clock (its answer arrives latencyMs after the request);
//   2. a route added with addRoute(HOST, "http://127.0.0.1:PORT"): the request goes over HTTP
//      to that server with the same path and query and "Host: HOST";
//   3. otherwise the real network through libcurl, or, with OutsideAccess::Refused, a failure
//      as for a host name that does not resolve.
// Either way the address the page shows and the cookie jar keep HOST, so pages look as they
// would for a real user. about:, data: and file: addresses are read in-process at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/browser/cookie_jar.h"
#include "standin/browser/http_client.h"
#include "standin/browser/site_handler.h"

namespace trenmoor::browser {

enum class OutsideAccess { Network, Refused };

struct PageRequest {
  std::string method = "GET";
  std::string url;          // absolute, UTF-8
  std::string body;         // POST data, already encoded
  std::string contentType;  // of the body
  // Further request headers (a script's); Host and Cookie are the network's own and are
  // dropped from here.
  std::vector<HttpHeader> headers;
  // False: no Cookie header goes and Set-Cookie answers are not stored (a script's request to
  // another origin).
  bool credentials = true;
};

struct LoadedPage {
  std::string url;  // the final address, after redirects
  FetchFailure failure = FetchFailure::None;
  std::string error;  // UTF-8, when failure is not None
  std::int32_t status = 0;
  std::string contentType;
  std::vector<HttpHeader> headers;  // of the final answer
  std::string body;
};

using LoadId = std::uint64_t;

class Network {
 public:
  static constexpr int kMaxRedirects = 20;

  Network();
  ~Network();  // pending loads are dropped; HTTP transfers are stopped and their worker joined
  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;

  // --- routing table (host names match in any case; a newer entry for a host replaces the older)
  void addSite(std::string host, SiteHandler handler);
  // `origin` is "http://127.0.0.1:PORT" (scheme, host and port of a loopback server).
  void addRoute(std::string host, std::string origin);
  void removeHost(const std::string& host);
  void setOutsideAccess(OutsideAccess access);

  CookieJar& cookies();

  // --- loading ----------------------------------------------------------------------------------
  // Loads the page, following redirects (303, and 301/302 after a POST, continue as GET; a
  // redirect from http(s) to any other scheme fails), and
  // calls `done` once on the user-interface thread, never before this call has returned (even
  // about: pages arrive through a posted 0 ms timer). Under the virtual clock a site's latency
  // passes on that clock; HTTP takes real time. Set-Cookie headers of every hop go to the jar.
  LoadId load(PageRequest request, std::function<void(LoadedPage)> done);
  // Drops a load: its `done` will not run. Unknown or finished ids are ignored.
  void cancel(LoadId id);
  std::size_t pendingLoads() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace trenmoor::browser
