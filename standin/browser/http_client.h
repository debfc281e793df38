// HTTP and HTTPS requests through libcurl, each on a worker thread of its own; the answer is
// posted to the user-interface thread of the desktop that asked. Redirects are not followed
// here (the caller follows them, so every hop passes the cookie jar and the routing table).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standin/browser/site.h"

namespace trenmoor::desktop {
class Desktop;
}

namespace trenmoor::browser {

struct HttpRequest {
  std::string method = "GET";
  std::string url;  // absolute http or https address, UTF-8 (non-ASCII bytes are escaped on the wire)
  std::vector<HttpHeader> headers;
  std::string body;
};

enum class FetchFailure { None, UnknownHost, ConnectionRefused, TimedOut, Unsupported, NotFound, Other };

struct HttpReply {
  FetchFailure failure = FetchFailure::None;
  std::string error;  // what went wrong, for the error page (UTF-8)
  std::int32_t status = 0;
  std::vector<HttpHeader> headers;  // of the final status line
  std::string body;
};

class HttpClient {
 public:
  HttpClient() = default;
  // Aborts the transfers still running and waits for their threads.
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // A handle that stops a transfer early; its answer is then dropped.
  using Abort = std::shared_ptr<std::atomic<bool>>;

  // Starts the request; `done` later runs on the user-interface thread of `desktop` (through
  // Desktop::post), unless the transfer was aborted. The desktop must outlive this client.
  Abort start(HttpRequest request, desktop::Desktop& desktop, std::function<void(HttpReply)> done);

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
    Abort abort;
  };
  void reapFinished();
  std::vector<Worker> workers_;
};

}  // namespace trenmoor::browser
