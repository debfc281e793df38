#include "standin/site/site_description.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace trenmoor::site {

namespace {

constexpr std::int64_t kMaxLatencyMs = 600000;
constexpr std::int32_t kMaxSlowRequests = 1000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (isBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The next blank-separated word of `rest`, taken off its front; empty at the end.
std::string_view takeWord(std::string_view& rest) {
  rest = trimmed(rest);
  std::size_t end = 0;
  while (end < rest.size() && !isBlank(rest[end])) ++end;
  std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  rest = trimmed(rest);
  return word;
}

// Ids and keys go into addresses, attributes and scripts as they are.
bool isIdentifier(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
      return false;
  return true;
}

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    auto byte = static_cast<unsigned char>(s[i]);
    std::size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

// A whole decimal number in [low, high].
std::optional<std::int64_t> numberIn(std::string_view s, std::int64_t low, std::int64_t high) {
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size() || value < low || value > high) return std::nullopt;
  return value;
}

class Parser {
 public:
  DescriptionResult run(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::int32_t line = 0;
    while (!result_.error && !text.empty()) {
      std::size_t end = text.find('\n');
      std::string_view content = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      lineNumber_ = ++line;
      entry(trimmed(content));
    }
    if (result_.error) result_.description = SiteDescription{};
    return std::move(result_);
  }

 private:
  void fail(std::string message) {
    if (!result_.error) result_.error = DescriptionError{lineNumber_, std::move(message)};
  }

  void entry(std::string_view content) {
    if (content.empty() || content.front() == '#') return;
    if (!isValidUtf8(content)) return fail("the line is not UTF-8 text");
    std::string_view rest = content;
    std::string_view keyword = takeWord(rest);
    if (keyword == "latency") return latency(rest);
    if (keyword == "account") return account(rest);
    if (keyword == "folder") return folder(rest);
    if (keyword == "share") return share(rest, false);
    if (keyword == "gone") return share(rest, true);
    fail("unknown entry \"" + std::string(keyword) + "\" (latency, account, folder, share or gone)");
  }

  void latency(std::string_view rest) {
    std::string_view word = takeWord(rest);
    auto ms = numberIn(word, 0, kMaxLatencyMs);
    if (!ms || !rest.empty()) return fail("latency takes one number of milliseconds from 0 to 600000");
    result_.description.latencyMs = *ms;
  }

  void account(std::string_view rest) {
    Account a{std::string(takeWord(rest)), std::string(takeWord(rest))};
    if (a.password.empty() || !rest.empty()) return fail("account takes a name and a password");
    for (const auto& other : result_.description.accounts)
      if (other.name == a.name) return fail("the account " + a.name + " is described twice");
    result_.description.accounts.push_back(std::move(a));
  }

  void folder(std::string_view rest) {
    std::string_view key = takeWord(rest);
    if (!isIdentifier(key)) return fail("folder takes a key of letters, digits, _ and - and then a name");
    if (rest.empty()) return fail("the folder " + std::string(key) + " has no name");
    if (result_.description.folder(key)) return fail("the folder key " + std::string(key) + " is described twice");
    result_.description.folders.push_back({std::string(key), std::string(rest)});
  }

  void share(std::string_view rest, bool gone) {
    Share s;
    s.gone = gone;
    s.id = takeWord(rest);
    if (!isIdentifier(s.id)) return fail("a share id is made of letters, digits, _ and -");
    if (result_.description.share(s.id)) return fail("the share " + s.id + " is described twice");
    if (gone) {
      if (!rest.empty()) return fail("gone takes only the id of the share");
      result_.description.shares.push_back(std::move(s));
      return;
    }
    std::string_view code = takeWord(rest);
    if (code.empty()) return fail("the share " + s.id + " needs an access code, or - for none");
    if (code != "-") {
      if (!isIdentifier(code) || code.find_first_of("_-") != std::string_view::npos)
        return fail("an access code is made of letters and digits");
      s.code = code;
    }
    bool files = false, slow = false;
    for (std::string_view option = takeWord(rest); !option.empty(); option = takeWord(rest)) {
      if (option.substr(0, 6) == "files=") {
        if (files) return fail("files= is given twice");
        files = true;
        if (!fileList(option.substr(6), s.files)) return fail("files= takes names separated by commas, none empty");
      } else if (option.substr(0, 5) == "slow=") {
        if (slow) return fail("slow= is given twice");
        slow = true;
        std::string_view value = option.substr(5);
        std::size_t times = value.find('x');
        auto ms = numberIn(value.substr(0, times), 1, kMaxLatencyMs);
        auto count = times == std::string_view::npos ? std::nullopt : numberIn(value.substr(times + 1), 1, kMaxSlowRequests);
        if (!ms || !count) return fail("slow= takes <milliseconds>x<requests>, such as slow=2500x1");
        s.slowMs = *ms;
        s.slowRequests = static_cast<std::int32_t>(*count);
      } else {
        return fail("unknown share option \"" + std::string(option) + "\" (files= or slow=)");
      }
    }
    result_.description.shares.push_back(std::move(s));
  }

  static bool fileList(std::string_view list, std::vector<std::string>& files) {
    if (list.empty()) return false;
    while (true) {
      std::size_t comma = list.find(',');
      std::string_view name = list.substr(0, comma);
      if (name.empty()) return false;
      files.emplace_back(name);
      if (comma == std::string_view::npos) return true;
      list.remove_prefix(comma + 1);
    }
  }

  DescriptionResult result_;
  std::int32_t lineNumber_ = 0;
};

}  // namespace

const Share* SiteDescription::share(std::string_view id) const {
  for (const auto& s : shares)
    if (s.id == id) return &s;
  return nullptr;
}

const Folder* SiteDescription::folder(std::string_view key) const {
  for (const auto& f : folders)
    if (f.key == key) return &f;
  return nullptr;
}

std::string DescriptionError::text() const {
  return line > 0 ? "line " + std::to_string(line) + ": " + message : message;
}

DescriptionResult parseSiteDescription(std::string_view text) { return Parser().run(text); }

DescriptionResult readSiteDescription(const std::string& path) {
  std::error_code error;
  std::ifstream file;
  if (std::filesystem::is_regular_file(path, error)) file.open(path, std::ios::binary);
  std::ostringstream content;
  if (file.is_open()) content << file.rdbuf();
  if (!file.is_open() || file.bad()) {
    DescriptionResult result;
    result.error = DescriptionError{0, "cannot read the site description " + path};
    return result;
  }
  return parseSiteDescription(content.str());
}

}  // namespace trenmoor::site
