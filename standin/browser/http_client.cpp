#include "standin/browser/http_client.h"

#include <curl/curl.h>

#include <mutex>

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

struct Transfer {
  HttpReply reply;
  std::atomic<bool>* abort = nullptr;
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

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->abort->load() ? 1 : 0;
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

HttpReply perform(const HttpRequest& request, std::atomic<bool>& abort) {
  Transfer transfer;
  transfer.abort = &abort;
  CURL* curl = curl_easy_init();
  if (!curl) {
    transfer.reply.failure = FetchFailure::Other;
    transfer.reply.error = "the network library could not start a transfer";
    return transfer.reply;
  }
  std::string url = escapedForWire(request.url);
  curl_slist* headers = nullptr;
  for (const auto& h : request.headers) headers = curl_slist_append(headers, (h.name + ": " + h.value).c_str());
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kTransferTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  if (request.method == "POST") {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  } else if (request.method != "GET") {
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  }
  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  transfer.reply.status = static_cast<std::int32_t>(status);
  transfer.reply.failure = failureOf(code);
  if (code != CURLE_OK) transfer.reply.error = curl_easy_strerror(code);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return transfer.reply;
}

}  // namespace

HttpClient::~HttpClient() {
  for (auto& w : workers_) w.abort->store(true);
  for (auto& w : workers_)
    if (w.thread.joinable()) w.thread.join();
}

void HttpClient::reapFinished() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->finished->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

HttpClient::Abort HttpClient::start(HttpRequest request, desktop::Desktop& desktop,
                                    std::function<void(HttpReply)> done) {
  initialiseCurlOnce();
  reapFinished();
  Abort abort = std::make_shared<std::atomic<bool>>(false);
  auto finished = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([request = std::move(request), &desktop, done = std::move(done), abort, finished]() mutable {
    HttpReply reply = perform(request, *abort);
    if (!abort->load()) {
      desktop.post([abort, done = std::move(done), reply = std::move(reply)]() mutable {
        if (!abort->load()) done(std::move(reply));
      });
    }
    finished->store(true);
  });
  workers_.push_back({std::move(thread), finished, abort});
  return abort;
}

}  // namespace trenmoor::browser
