#include "standin/browser/http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "standin/desktop/desktop.h"

namespace trenmoor::browser {
namespace {

constexpr long kConnectTimeoutMs = 15000;
constexpr long kTransferTimeoutMs = 60000;

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Bytes outside printable ASCII (and blanks) become %XX, so a page's UTF-8 address goes on the
// wire as a browser would send it.
std::string escapedForWire(const std::string& url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : url) {
    if (c <= 0x20 || c >= 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// One transfer on the worker: the request's strings and the reply being received.
struct Transfer {
  HttpClient::TransferId id = 0;
  desktop::Desktop* desktop = nullptr;
  std::string url;
  std::string body;
  curl_slist* headers = nullptr;
  HttpReply reply;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<Transfer*>(user)->reply.body.append(data, size * count);
  return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  if (line.rfind("HTTP/", 0) == 0) {
    transfer->reply.headers.clear();  // a new status line (after 100 Continue): start over
  } else if (auto colon = line.find(':'); colon != std::string::npos) {
    std::string value = line.substr(colon + 1);
    std::size_t start = value.find_first_not_of(" \t");
    transfer->reply.headers.push_back({line.substr(0, colon), start == std::string::npos ? "" : value.substr(start)});
  }
  return size * count;
}

FetchFailure failureOf(CURLcode code) {
  switch (code) {
    case CURLE_OK: return FetchFailure::None;
    case CURLE_COULDNT_RESOLVE_HOST: return FetchFailure::UnknownHost;
    case CURLE_COULDNT_CONNECT: return FetchFailure::ConnectionRefused;
    case CURLE_OPERATION_TIMEDOUT: return FetchFailure::TimedOut;
    case CURLE_UNSUPPORTED_PROTOCOL: return FetchFailure::Unsupported;
    default: return FetchFailure::Other;
  }
}

// An easy handle for the transfer, its options pointing into `transfer`; null when libcurl
// cannot make one.
CURL* prepare(Transfer& transfer, const HttpRequest& request) {
  CURL* curl = curl_easy_init();
  if (!curl) return nullptr;
  transfer.url = escapedForWire(request.url);
  transfer.body = request.body;
  for (const auto& h : request.headers)
    transfer.headers = curl_slist_append(transfer.headers, (h.name + ": " + h.value).c_str());
  curl_easy_setopt(curl, CURLOPT_PRIVATE, &transfer);
  curl_easy_setopt(curl, CURLOPT_URL, transfer.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kTransferTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, transfer.headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  if (request.method == "POST") {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, transfer.body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.body.size()));
  } else if (request.method != "GET") {
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  }
  return curl;
}

}  // namespace

// The user-interface thread's side: the completions by transfer, run when a reply is posted.
struct HttpClient::Completions {
  std::map<TransferId, std::function<void(HttpReply)>> waiting;
  TransferId next = 1;

  void complete(TransferId id, HttpReply reply) {
    auto it = waiting.find(id);
    if (it == waiting.end()) return;  // cancelled meanwhile
    auto done = std::move(it->second);
    waiting.erase(it);
    done(std::move(reply));
  }
};

// The worker: takes new and cancelled transfers from the user-interface thread, drives them all
// on one multi handle, and posts each reply with its transfer's number.
struct HttpClient::Worker {
  struct Start {
    TransferId id;
    desktop::Desktop* desktop;
    HttpRequest request;
  };

  explicit Worker(std::weak_ptr<Completions> completions) : completions_(std::move(completions)) {
    initialiseCurlOnce();
    multi_ = curl_multi_init();
    thread_ = std::thread([this] { run(); });
  }
  ~Worker() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    if (multi_) curl_multi_wakeup(multi_);
    thread_.join();
    if (multi_) curl_multi_cleanup(multi_);
  }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  void add(Start start) {
    {
      std::lock_guard lock(mutex_);
      starts_.push_back(std::move(start));
    }
    if (multi_) curl_multi_wakeup(multi_);
  }
  void cancel(TransferId id) {
    {
      std::lock_guard lock(mutex_);
      cancels_.push_back(id);
    }
    if (multi_) curl_multi_wakeup(multi_);
  }

 private:
  void run() {
    for (;;) {
      std::vector<Start> starts;
      std::vector<TransferId> cancels;
      {
        std::lock_guard lock(mutex_);
        if (stopping_) break;
        starts.swap(starts_);
        cancels.swap(cancels_);
      }
      for (auto& start : starts) begin(std::move(start));
      for (TransferId id : cancels) finish(id, nullptr);
      int running = 0;
      if (multi_) curl_multi_perform(multi_, &running);
      collectFinished();
      if (multi_) curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
      else std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    while (!active_.empty()) finish(active_.begin()->first, nullptr);
  }

  void begin(Start start) {
    auto transfer = std::make_unique<Transfer>();
    transfer->id = start.id;
    transfer->desktop = start.desktop;
    CURL* curl = multi_ ? prepare(*transfer, start.request) : nullptr;
    if (!curl || curl_multi_add_handle(multi_, curl) != CURLM_OK) {
      if (curl) curl_easy_cleanup(curl);
      transfer->reply.failure = FetchFailure::Other;
      transfer->reply.error = "the network library could not start a transfer";
      post(*transfer);
      curl_slist_free_all(transfer->headers);
      return;
    }
    active_.emplace(start.id, Active{curl, std::move(transfer)});
  }

  void collectFinished() {
    if (!multi_) return;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      Transfer* transfer = nullptr;
      curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
      if (!transfer) continue;
      long status = 0;
      curl_easy_getinfo(message->easy_handle, CURLINFO_RESPONSE_CODE, &status);
      transfer->reply.status = static_cast<std::int32_t>(status);
      transfer->reply.failure = failureOf(message->data.result);
      if (message->data.result != CURLE_OK) transfer->reply.error = curl_easy_strerror(message->data.result);
      finish(transfer->id, transfer);
    }
  }

  // Removes the transfer; with `done`, its reply is posted first.
  void finish(TransferId id, Transfer* done) {
    auto it = active_.find(id);
    if (it == active_.end()) return;
    if (done) post(*done);
    curl_multi_remove_handle(multi_, it->second.curl);
    curl_easy_cleanup(it->second.curl);
    curl_slist_free_all(it->second.transfer->headers);
    active_.erase(it);
  }

  // Posts only the transfer's number and its reply; the completion stays on the other side.
  void post(Transfer& transfer) {
    transfer.desktop->post([completions = completions_, id = transfer.id, reply = std::move(transfer.reply)]() mutable {
      if (auto side = completions.lock()) side->complete(id, std::move(reply));
    });
  }

  struct Active {
    CURL* curl;
    std::unique_ptr<Transfer> transfer;
  };
  std::weak_ptr<Completions> completions_;
  CURLM* multi_ = nullptr;
  std::mutex mutex_;
  std::vector<Start> starts_;          // guarded by mutex_
  std::vector<TransferId> cancels_;    // guarded by mutex_
  bool stopping_ = false;              // guarded by mutex_
  std::map<TransferId, Active> active_;  // the worker's own
  std::thread thread_;
};

HttpClient::HttpClient()
    : completions_(std::make_shared<Completions>()), worker_(std::make_unique<Worker>(completions_)) {}

HttpClient::~HttpClient() {
  worker_.reset();  // joined: nothing is posted after this
}

HttpClient::TransferId HttpClient::start(HttpRequest request, desktop::Desktop& desktop,
                                         std::function<void(HttpReply)> done) {
  const TransferId id = completions_->next++;
  completions_->waiting.emplace(id, std::move(done));
  worker_->add({id, &desktop, std::move(request)});
  return id;
}

void HttpClient::cancel(TransferId id) {
  if (completions_->waiting.erase(id) == 0) return;
  worker_->cancel(id);
}

std::size_t HttpClient::pending() const { return completions_->waiting.size(); }

}  // namespace trenmoor::browser
