// Serves an in-process site handler over HTTP on the loopback interface, so a browser reaching
// the site's host through a route (Network::addRoute) gets the same pages over a real
// connection. Requests are handled on the server's threads; each answer is sent once its
// latency has passed in real time.
//
//   site::LoopbackServer server(site.handler());
//   if (server.start()) browsers.network().addRoute(site::kSiteHost, server.origin());
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "standin/browser/site_handler.h"

namespace trenmoor::site {

class LoopbackServer {
 public:
  // The handler is called from the server's threads, one request at a time or several at once.
  explicit LoopbackServer(browser::SiteHandler handler);
  ~LoopbackServer();  // stops
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Listens on 127.0.0.1:`port` (0: any free port) and serves on a thread of its own. False when
  // the port cannot be bound or the server runs already.
  bool start(std::uint16_t port = 0);
  // The port listened on; 0 when not running.
  std::uint16_t port() const;
  // "http://127.0.0.1:PORT"; empty when not running.
  std::string origin() const;
  // Stops listening, cuts short the latencies being waited out (those requests get no answer)
  // and joins the server's threads: returns within a couple of seconds whatever the clients do.
  // Does nothing when not running. The server may be started again afterwards.
  void stop();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace trenmoor::site
