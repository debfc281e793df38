// What the stand-in cloud-disk site serves: its accounts, the folders of its disk, its shares
// and their behaviour, read from a small text file (UTF-8, one entry a line; see docs/site.md).
//
//   latency 50
//   account demo secret
//   folder _disk_id_14 我的资源
//   share 1AbCdEf x7k2 files=电影.mkv,文档.pdf
//   share 1NoCode - files=free.txt
//   share 1Slow s1w0 slow=2500x1 files=big.iso
//   gone 1Gone
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trenmoor::site {

struct Account {
  std::string name;
  std::string password;
};

struct Folder {
  std::string key;   // the id of the folder's entry in the pages ("_disk_id_14")
  std::string name;  // UTF-8, shown on the pages and in the records
};

struct Share {
  std::string id;    // the path word after /s/ ("1AbCdEf")
  std::string code;  // the access code; empty: the share needs none
  std::vector<std::string> files;
  bool gone = false;  // deleted by its owner: the page says so and offers nothing
  // The first `slowRequests` requests of the share page answer after `slowMs` instead of the
  // site's latency.
  std::int64_t slowMs = 0;
  std::int32_t slowRequests = 0;
};

struct SiteDescription {
  std::int64_t latencyMs = 0;  // of every answer that is not a slow share page
  std::vector<Account> accounts;
  std::vector<Folder> folders;
  std::vector<Share> shares;

  const Share* share(std::string_view id) const;
  const Folder* folder(std::string_view key) const;
};

struct DescriptionError {
  std::int32_t line = 0;  // 1-based; 0 when the file itself could not be read
  std::string message;    // UTF-8

  std::string text() const;  // "line 3: ..." (or the message alone for line 0)
};

struct DescriptionResult {
  SiteDescription description;  // complete only when there is no error
  std::optional<DescriptionError> error;

  bool ok() const { return !error; }
};

// Parses the text of a description. The first fault found is reported with its line.
DescriptionResult parseSiteDescription(std::string_view text);
// Reads and parses the file at `path`; a file that cannot be read is reported with line 0.
DescriptionResult readSiteDescription(const std::string& path);

}  // namespace trenmoor::site
