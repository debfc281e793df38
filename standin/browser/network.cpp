#include "standin/browser/network.h"

#include <map>

#include "platform/text.h"
#include "standin/browser/local_pages.h"
#include "standin/browser/web_address.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::browser {

struct Network::State : std::enable_shared_from_this<State> {
  struct Load {
    PageRequest request;
    std::function<void(LoadedPage)> done;
    int redirects = 0;
    desktop::Desktop* desktop = nullptr;
    desktop::TimerId timer = 0;
    HttpClient::TransferId transfer = 0;  // 0: none over the network
  };

  std::map<std::string, SiteHandler> sites;
  std::map<std::string, std::string> routes;
  OutsideAccess outside = OutsideAccess::Network;
  CookieJar jar;
  std::map<LoadId, Load> loads;
  LoadId nextLoad = 1;
  HttpClient http;  // last: destroyed (its worker stopped) first

  void startHop(LoadId id);
  void answerFromSite(LoadId id, SiteRequest request);
  void finishLater(LoadId id, HttpReply reply, std::int64_t delayMs = 0);
  void finishHop(LoadId id, HttpReply reply);
  void stop(Load& load);
};

namespace {

HttpReply failed(FetchFailure kind, std::string error) {
  HttpReply reply;
  reply.failure = kind;
  reply.error = std::move(error);
  return reply;
}

bool isRedirect(std::int32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

void Network::State::stop(Load& load) {
  if (load.timer) load.desktop->cancelTimer(load.timer);
  if (load.transfer) http.cancel(load.transfer);
  load.timer = 0;
  load.transfer = 0;
}

void Network::State::finishLater(LoadId id, HttpReply reply, std::int64_t delayMs) {
  Load& load = loads.at(id);
  std::weak_ptr<State> weak = weak_from_this();
  load.timer = load.desktop->setTimer(delayMs, [weak, id, reply = std::move(reply)]() mutable {
    if (auto state = weak.lock()) state->finishHop(id, std::move(reply));
  });
}

void Network::State::startHop(LoadId id) {
  Load& load = loads.at(id);
  const std::string url = withoutFragment(load.request.url);
  const std::string scheme = schemeOf(url);
  if (scheme != "http" && scheme != "https") return finishLater(id, readLocalPage(url));
  auto address = parseWebAddress(url);
  if (!address) return finishLater(id, failed(FetchFailure::Other, "the address " + url + " is not valid"));

  SiteRequest request{load.request.method, url, address->pathAndQuery(), {}, load.request.body};
  request.headers.push_back({"Host", address->hostAndPort()});
  if (std::string cookie = load.request.credentials ? jar.header(url, CookieAccess::Http) : std::string();
      !cookie.empty())
    request.headers.push_back({"Cookie", std::move(cookie)});
  for (const auto& h : load.request.headers)
    if (!asciiEqualsIgnoringCase(h.name, "Host") && !asciiEqualsIgnoringCase(h.name, "Cookie")) request.headers.push_back(h);
  if (request.method == "POST" && request.header("Content-Type").empty())
    request.headers.push_back(
        {"Content-Type", load.request.contentType.empty() ? "application/x-www-form-urlencoded" : load.request.contentType});

  if (sites.count(address->host)) {
    // The site sees the request now (after the caller has returned) and answers after its latency.
    std::weak_ptr<State> weak = weak_from_this();
    load.timer = load.desktop->setTimer(0, [weak, id, request = std::move(request)]() mutable {
      if (auto state = weak.lock()) state->answerFromSite(id, std::move(request));
    });
    return;
  }
  HttpRequest transfer{request.method, url, std::move(request.headers), std::move(request.body)};
  if (auto route = routes.find(address->host); route != routes.end()) {
    transfer.url = route->second + address->pathAndQuery();
  } else if (outside == OutsideAccess::Refused) {
    return finishLater(id, failed(FetchFailure::UnknownHost, "the host name " + address->host + " could not be found"));
  }
  std::weak_ptr<State> weak = weak_from_this();
  load.transfer = http.start(std::move(transfer), *load.desktop, [weak, id](HttpReply reply) {
    if (auto state = weak.lock()) state->finishHop(id, std::move(reply));
  });
}

void Network::State::answerFromSite(LoadId id, SiteRequest request) {
  auto it = loads.find(id);
  if (it == loads.end()) return;
  it->second.timer = 0;
  auto site = sites.find(parseWebAddress(request.url)->host);
  if (site == sites.end()) return finishLater(id, failed(FetchFailure::ConnectionRefused, "the site went away"));
  SiteHandler handler = site->second;  // the handler may change the routing table
  SiteResponse response;
  try {
    response = handler(request);
  } catch (...) {
    response = SiteResponse{500, {}, {}, 0};
  }
  if (!loads.count(id)) return;  // cancelled by the handler
  HttpReply reply;
  reply.status = response.status;
  reply.headers = std::move(response.headers);
  reply.body = std::move(response.body);
  finishLater(id, std::move(reply), response.latencyMs);
}

void Network::State::finishHop(LoadId id, HttpReply reply) {
  auto it = loads.find(id);
  if (it == loads.end()) return;
  Load& load = it->second;
  load.timer = 0;
  load.transfer = 0;
  const std::string url = load.request.url;
  if (reply.failure == FetchFailure::None) {
    std::string scheme = schemeOf(url);
    if ((scheme == "http" || scheme == "https") && load.request.credentials)
      for (const auto& h : reply.headers)
        if (asciiEqualsIgnoringCase(h.name, "Set-Cookie")) jar.store(url, h.value, CookieAccess::Http);
    std::string location = headerValue(reply.headers, "Location");
    if (isRedirect(reply.status) && !location.empty()) {
      if (++load.redirects > kMaxRedirects) {
        reply = failed(FetchFailure::Other, "too many redirects from " + url);
      } else if (std::string next = resolveWebAddress(url, location);
                 schemeOf(next) != "http" && schemeOf(next) != "https") {
        reply = failed(FetchFailure::Other, "the redirect from " + url + " to " + next + " was refused");
      } else {
        load.request.url = std::move(next);
        if (reply.status == 303 || (reply.status != 307 && reply.status != 308 && load.request.method == "POST")) {
          load.request.method = "GET";
          load.request.body.clear();
          load.request.contentType.clear();
        }
        startHop(id);
        return;
      }
    }
  }
  LoadedPage page;
  page.url = url;
  page.failure = reply.failure;
  page.error = std::move(reply.error);
  page.status = reply.status;
  page.contentType = headerValue(reply.headers, "Content-Type");
  page.headers = std::move(reply.headers);
  page.body = std::move(reply.body);
  auto done = std::move(load.done);
  loads.erase(it);
  done(std::move(page));
}

Network::Network() : state_(std::make_shared<State>()) {}

Network::~Network() {
  for (auto& [id, load] : state_->loads) state_->stop(load);
}

void Network::addSite(std::string host, SiteHandler handler) {
  host = asciiLower(host);
  state_->routes.erase(host);
  state_->sites[host] = std::move(handler);
}

void Network::addRoute(std::string host, std::string origin) {
  host = asciiLower(host);
  while (!origin.empty() && origin.back() == '/') origin.pop_back();
  state_->sites.erase(host);
  state_->routes[host] = std::move(origin);
}

void Network::removeHost(const std::string& host) {
  state_->sites.erase(asciiLower(host));
  state_->routes.erase(asciiLower(host));
}

void Network::setOutsideAccess(OutsideAccess access) { state_->outside = access; }

CookieJar& Network::cookies() { return state_->jar; }

LoadId Network::load(PageRequest request, std::function<void(LoadedPage)> done) {
  LoadId id = state_->nextLoad++;
  State::Load& load = state_->loads[id];
  load.request = std::move(request);
  load.done = std::move(done);
  load.desktop = &desktop::Desktop::current();
  state_->startHop(id);
  return id;
}

void Network::cancel(LoadId id) {
  auto it = state_->loads.find(id);
  if (it == state_->loads.end()) return;
  state_->stop(it->second);
  state_->loads.erase(it);
}

std::size_t Network::pendingLoads() const { return state_->loads.size(); }

}  // namespace trenmoor::browser
