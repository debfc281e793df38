#include "standin/site/loopback_server.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/text.h"
#include "standin/browser/web_address.h"

namespace trenmoor::site {

namespace {
constexpr time_t kReadTimeoutSeconds = 2;  // bounds how long stop() waits for a silent client
constexpr auto kStartTimeout = std::chrono::seconds(5);
}  // namespace

struct LoopbackServer::Impl {
  browser::SiteHandler handler;
  std::unique_ptr<httplib::Server> server;
  std::thread serving;
  std::uint16_t port = 0;

  std::mutex mutex;
  std::condition_variable stopSignal;
  bool stopping = false;  // guarded by mutex

  void serve(const httplib::Request& in, httplib::Response& out);
};

void LoopbackServer::Impl::serve(const httplib::Request& in, httplib::Response& out) {
  browser::SiteRequest request;
  request.method = in.method;
  request.path = in.target.empty() ? in.path : in.target;
  for (const auto& [name, value] : in.headers) request.headers.push_back({name, value});
  request.url = "http://" + (request.header("Host").empty() ? std::string("127.0.0.1") : request.header("Host")) +
                request.path;
  request.body = in.body;

  browser::SiteResponse response;
  try {
    response = handler(request);
  } catch (...) {
    response = browser::SiteResponse{500, {}, {}, 0};
  }
  if (response.latencyMs > 0) {
    std::unique_lock lock(mutex);
    if (stopSignal.wait_for(lock, std::chrono::milliseconds(response.latencyMs), [&] { return stopping; })) {
      out.status = 503;
      return;
    }
  }
  out.status = response.status;
  std::string contentType;
  for (const auto& header : response.headers) {
    if (asciiEqualsIgnoringCase(header.name, "Content-Type"))
      contentType = header.value;
    else
      out.set_header(header.name.c_str(), header.value);
  }
  if (!response.body.empty() || !contentType.empty())
    out.set_content(response.body, (contentType.empty() ? "application/octet-stream" : contentType).c_str());
}

LoopbackServer::LoopbackServer(browser::SiteHandler handler) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
}

LoopbackServer::~LoopbackServer() { stop(); }

bool LoopbackServer::start(std::uint16_t port) {
  if (impl_->server) return false;
  auto server = std::make_unique<httplib::Server>();
  auto serve = [impl = impl_.get()](const httplib::Request& in, httplib::Response& out) { impl->serve(in, out); };
  server->Get(".*", serve);
  server->Post(".*", serve);
  // One request per connection: no worker lingers on an idle keep-alive connection at stop.
  server->set_keep_alive_max_count(1);
  server->set_read_timeout(kReadTimeoutSeconds, 0);
  int bound = port == 0 ? server->bind_to_any_port("127.0.0.1") : (server->bind_to_port("127.0.0.1", port) ? port : -1);
  if (bound <= 0) return false;
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = false;
  }
  impl_->port = static_cast<std::uint16_t>(bound);
  impl_->server = std::move(server);
  impl_->serving = std::thread([server = impl_->server.get()] { server->listen_after_bind(); });
  // stop() only reaches a server that has begun listening: wait for that (bounded).
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!impl_->server->is_running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (impl_->server->is_running()) return true;
  stop();
  return false;
}

std::uint16_t LoopbackServer::port() const { return impl_->server ? impl_->port : 0; }

std::string LoopbackServer::origin() const {
  return impl_->server ? "http://127.0.0.1:" + std::to_string(impl_->port) : std::string();
}

void LoopbackServer::stop() {
  if (!impl_->server) return;
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->stopSignal.notify_all();
  impl_->server->stop();
  if (impl_->serving.joinable()) impl_->serving.join();
  impl_->server.reset();
  impl_->port = 0;
}

}  // namespace trenmoor::site
