// HTTP and HTTPS requests through libcurl; the answer is posted to the user-interface thread of
// the desktop that asked. Redirects are not followed here (the caller follows them, so every
// hop passes the cookie jar and the routing table).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/browser/site_handler.h"

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

// One worker thread drives every transfer on one libcurl multi handle and hands back only the
// transfer's number and its reply. Completions are kept, run and destroyed on the thread that
// started them (the user-interface thread): no closure of a caller, and so no page it holds,
// is ever touched by the worker.
class HttpClient {
 public:
  HttpClient();
  // Stops the transfers still running and the worker; completions not yet run are dropped.
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  using TransferId = std::uint64_t;

  // Starts the request; `done` later runs on the user-interface thread of `desktop` (through
  // Desktop::post), unless the transfer is cancelled first. The desktop must outlive this client.
  TransferId start(HttpRequest request, desktop::Desktop& desktop, std::function<void(HttpReply)> done);
  // Cancels a transfer: its completion is dropped here and never runs; the worker stops the
  // transfer. Unknown or finished transfers are ignored.
  void cancel(TransferId id);
  // Transfers started and not yet completed or cancelled.
  std::size_t pending() const;

 private:
  struct Completions;
  struct Worker;
  std::shared_ptr<Completions> completions_;  // the user-interface thread's side
  std::unique_ptr<Worker> worker_;
};

}  // namespace trenmoor::browser
