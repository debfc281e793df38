#include "standin/site/site.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/text.h"
#include "standin/browser/web_address.h"
#include "standin/desktop/desktop.h"
#include "standin/site/site_pages.h"

namespace trenmoor::site {

using browser::SiteRequest;
using browser::SiteResponse;

namespace {

constexpr std::string_view kJsonType = "application/json; charset=utf-8";

std::string hex64(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::uint64_t fnv1a(std::string_view text) {
  std::uint64_t hash = 1469598103934665603ULL;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  return hash;
}

// The proof, handed to the page once the code was given, that a save may take this share.
std::string sekeyFor(const Share& share) { return hex64(fnv1a("sekey\n" + share.id + "\n" + share.code)); }

// One field of form data or a query ("a=1&b=%E4%B8%AD"), '+' read as a blank; empty when absent.
std::string formField(std::string_view data, std::string_view name) {
  while (!data.empty()) {
    std::size_t end = data.find('&');
    std::string_view pair = data.substr(0, end);
    std::size_t equals = pair.find('=');
    if (pair.substr(0, equals) == name) {
      std::string value(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
      for (char& c : value)
        if (c == '+') c = ' ';
      return browser::percentDecode(value);
    }
    if (end == std::string_view::npos) break;
    data.remove_prefix(end + 1);
  }
  return {};
}

}  // namespace

struct Site::State {
  SiteDescription description;
  Clock clock;
  mutable std::mutex mutex;  // guards everything below
  std::map<std::string, std::string> sessions;  // token -> account
  std::map<std::string, std::int64_t> sharePageRequests;  // share id -> requests so far
  std::vector<SiteRecord> records;
  std::uint64_t sessionsMade = 0;

  SiteResponse respond(const SiteRequest& request);
  SiteResponse answer(std::string body, std::string_view type = "text/html; charset=utf-8", std::int32_t status = 200) const;
  std::string accountOf(const SiteRequest& request) const;
  SiteResponse home(const SiteRequest& request, std::string_view query);
  SiteResponse login(const SiteRequest& request);
  SiteResponse logout(const SiteRequest& request);
  SiteResponse sharePage(const SiteRequest& request, std::string_view id);
  SiteResponse verify(const SiteRequest& request, std::string_view query);
  SiteResponse transfer(const SiteRequest& request);
  SiteResponse refuse(SiteRecord record, Refusal reason);
  // The refusal for a share that cannot be taken (unknown or deleted), if it is one.
  std::optional<SiteResponse> refuseMissing(const SiteRecord& record, const Share* share);
};

SiteResponse Site::State::answer(std::string body, std::string_view type, std::int32_t status) const {
  SiteResponse response = SiteResponse::page(std::move(body), std::string(type));
  response.status = status;
  response.latencyMs = description.latencyMs;
  return response;
}

std::string Site::State::accountOf(const SiteRequest& request) const {
  auto session = sessions.find(request.cookie(kSessionCookie));
  return session != sessions.end() ? session->second : std::string();
}

SiteResponse Site::State::respond(const SiteRequest& request) {
  std::string_view target = request.path;
  std::size_t question = target.find('?');
  std::string_view path = target.substr(0, question);
  std::string_view query = question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
  const bool post = request.method == "POST";

  if (path == "/" || path == "/disk/home" || (path == "/login" && !post)) return home(request, query);
  if (path == "/login") return login(request);
  if (path == "/logout") return logout(request);
  if (path.substr(0, 3) == "/s/" && !post) return sharePage(request, path.substr(3));
  if (path == "/share/verify" && post) return verify(request, query);
  if (path == "/share/transfer" && post) return transfer(request);
  return answer(notFoundPageMarkup(), "text/html; charset=utf-8", 404);
}

SiteResponse Site::State::home(const SiteRequest& request, std::string_view query) {
  std::string account = accountOf(request);
  if (account.empty()) return answer(loginPageMarkup(formField(query, "login") == "failed"));
  std::vector<FolderListing> folders;
  for (const auto& folder : description.folders) {
    FolderListing listing{&folder, {}};
    for (const auto& record : records)
      if (record.outcome == Outcome::Saved && record.account == account && record.folderKey == folder.key)
        listing.files.insert(listing.files.end(), record.files.begin(), record.files.end());
    folders.push_back(std::move(listing));
  }
  return answer(diskPageMarkup(account, folders));
}

SiteResponse Site::State::login(const SiteRequest& request) {
  const std::string name = formField(request.body, "account");
  const std::string password = formField(request.body, "password");
  for (const auto& account : description.accounts) {
    if (account.name != name || account.password != password) continue;
    const std::string serial = std::to_string(++sessionsMade);
    std::string token = hex64(fnv1a("session\n" + serial + "\n" + name)) + hex64(fnv1a(name + "\n" + serial));
    sessions[token] = name;
    SiteResponse response = SiteResponse::redirect("/");
    response.withHeader("Set-Cookie", std::string(kSessionCookie) + "=" + token + "; Path=/; HttpOnly");
    return response.withLatency(description.latencyMs);
  }
  return SiteResponse::redirect("/?login=failed").withLatency(description.latencyMs);
}

SiteResponse Site::State::logout(const SiteRequest& request) {
  sessions.erase(request.cookie(kSessionCookie));
  return SiteResponse::redirect("/")
      .withHeader("Set-Cookie", std::string(kSessionCookie) + "=; Path=/; Max-Age=0")
      .withLatency(description.latencyMs);
}

SiteResponse Site::State::sharePage(const SiteRequest& request, std::string_view id) {
  const Share* share = description.share(id);
  if (!share) return answer(missingSharePageMarkup(false), "text/html; charset=utf-8", 404);
  if (share->gone) return answer(missingSharePageMarkup(true));
  SiteResponse response =
      answer(sharePageMarkup(*share, description.folders, accountOf(request), share->code.empty() ? sekeyFor(*share) : ""));
  // Counted when asked, not when answered: a reload while the slow answer is on its way is the
  // next request and is answered at normal speed.
  if (++sharePageRequests[share->id] <= share->slowRequests) response.latencyMs = share->slowMs;
  return response;
}

SiteResponse Site::State::refuse(SiteRecord record, Refusal reason) {
  struct Answer {
    Refusal reason;
    int errorNumber;
    std::string_view message;
  };
  static constexpr Answer kAnswers[] = {
      {Refusal::WrongCode, -9, "提取码错误"},
      {Refusal::NotVerified, -19, "请输入提取码"},
      {Refusal::NotLoggedIn, -6, "请先登录百度网盘"},
      {Refusal::ShareGone, -12, "分享的文件已经被删除了"},
      {Refusal::NoSuchShare, -7, "分享不存在"},
      {Refusal::NoSuchFolder, -31, "目标文件夹不存在"},
  };
  record.outcome = Outcome::Refused;
  record.reason = reason;
  record.atMs = clock();
  records.push_back(std::move(record));
  for (const auto& a : kAnswers)
    if (a.reason == reason) return answer(refusedAnswer(a.errorNumber, a.message), kJsonType);
  return answer(refusedAnswer(-1, "请求失败"), kJsonType);
}

std::optional<SiteResponse> Site::State::refuseMissing(const SiteRecord& record, const Share* share) {
  if (!share) return refuse(record, Refusal::NoSuchShare);
  if (share->gone) return refuse(record, Refusal::ShareGone);
  return std::nullopt;
}

SiteResponse Site::State::verify(const SiteRequest& request, std::string_view query) {
  SiteRecord record;
  record.shareId = formField(query, "surl");
  record.account = accountOf(request);
  const Share* share = description.share(record.shareId);
  if (auto refused = refuseMissing(record, share)) return *refused;
  // Codes are letters and digits; the site takes them in either case.
  if (!asciiEqualsIgnoringCase(formField(request.body, "pwd"), share->code))
    return refuse(std::move(record), Refusal::WrongCode);
  return answer(verifiedAnswer(sekeyFor(*share), shareContentMarkup(*share)), kJsonType);
}

SiteResponse Site::State::transfer(const SiteRequest& request) {
  SiteRecord record;
  record.shareId = formField(request.body, "surl");
  record.folderKey = formField(request.body, "folder");
  record.account = accountOf(request);
  const Share* share = description.share(record.shareId);
  const Folder* folder = description.folder(record.folderKey);
  if (folder) record.folderName = folder->name;
  if (auto refused = refuseMissing(record, share)) return *refused;
  if (record.account.empty()) return refuse(std::move(record), Refusal::NotLoggedIn);
  if (formField(request.body, "sekey") != sekeyFor(*share)) return refuse(std::move(record), Refusal::NotVerified);
  if (!folder) return refuse(std::move(record), Refusal::NoSuchFolder);
  record.files = share->files;
  record.atMs = clock();
  records.push_back(record);
  return answer(savedAnswer(folder->name), kJsonType);
}

Site::Site(SiteDescription description, Clock clock) : state_(std::make_shared<State>()) {
  state_->description = std::move(description);
  state_->clock = clock ? std::move(clock) : Clock([] { return desktop::Desktop::current().tickCount(); });
}

SiteResponse Site::respond(const SiteRequest& request) const {
  std::lock_guard lock(state_->mutex);
  return state_->respond(request);
}

browser::SiteHandler Site::handler() const {
  return [state = state_](const SiteRequest& request) {
    std::lock_guard lock(state->mutex);
    return state->respond(request);
  };
}

std::vector<SiteRecord> Site::records() const {
  std::lock_guard lock(state_->mutex);
  return state_->records;
}

std::string Site::recordsText() const { return recordLines(records()); }

const SiteDescription& Site::description() const { return state_->description; }

}  // namespace trenmoor::site
