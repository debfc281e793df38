// The stand-in cloud-disk web site: one request handler that serves the home page with its
// login, the user's disk, the share pages and the requests of their scripts, and keeps a record
// of what was saved where. The same handler serves in-process (Network::addSite, latency on the
// desktop clock) and over HTTP (LoopbackServer, latency in real time).
//
//   auto parsed = site::readSiteDescription("demo/site.txt");
//   site::Site site(parsed.description);
//   browsers.network().addSite(site::kSiteHost, site.handler());
//   ... the program works through its list ...
//   std::cout << site.recordsText();
//
// Paths: GET / (login form, or the disk once logged in), POST /login, GET /logout,
// GET /disk/home, GET /s/<id> (share page), POST /share/verify?surl=<id> (pwd=<code>),
// POST /share/transfer (surl=<id>&sekey=<proof>&folder=<key>). Other paths: 404 page.
// The session is the cookie BDUSS (HttpOnly) set by a good login.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/browser/site_handler.h"
#include "standin/site/site_description.h"
#include "standin/site/site_record.h"

namespace trenmoor::site {

inline constexpr const char* kSiteHost = "pan.baidu.com";
inline constexpr const char* kSessionCookie = "BDUSS";

class Site {
 public:
  using Clock = std::function<std::int64_t()>;

  // `clock` gives the time of records, in milliseconds; by default the current desktop's tick
  // count (the real desktop clock may be read from the loopback server's threads).
  explicit Site(SiteDescription description, Clock clock = {});

  // Answers one request. Safe from any thread (the loopback server's threads included).
  browser::SiteResponse respond(const browser::SiteRequest& request) const;
  // A handler calling respond; it keeps the site's state alive, so it may outlive this object.
  browser::SiteHandler handler() const;

  // Everything saved or refused so far, in order.
  std::vector<SiteRecord> records() const;
  // The records as UTF-8 lines (recordLines).
  std::string recordsText() const;
  const SiteDescription& description() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace trenmoor::site
