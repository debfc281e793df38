// The site's record of the attempts to take a share: the saves it carried out (which share,
// into which folder, which files, for which account, when) and the attempts it refused, with
// the reason. Checking a code and saving are the attempts; merely opening a page is not one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trenmoor::site {

enum class Outcome { Saved, Refused };

enum class Refusal {
  None,          // saved
  WrongCode,     // the access code given does not open the share
  NotVerified,   // a save without a valid proof that the code was given
  NotLoggedIn,   // a save without a session
  ShareGone,     // the share was deleted
  NoSuchShare,   // no share of that id
  NoSuchFolder,  // a save into a folder the disk does not have
};

struct SiteRecord {
  Outcome outcome = Outcome::Saved;
  Refusal reason = Refusal::None;
  std::string shareId;
  std::string account;     // empty when not logged in
  std::string folderKey;   // of a save (empty for a code check)
  std::string folderName;  // UTF-8; empty when the folder is unknown
  std::vector<std::string> files;
  std::int64_t atMs = 0;  // on the site's clock
};

// "wrong-code", "not-verified", "not-logged-in", "share-gone", "no-such-share", "no-such-folder"
// ("" for None).
std::string_view refusalName(Refusal reason);

// One UTF-8 line without line break:
//   "<atMs> saved <share> to <folder name> (<folder key>) by <account>: <file>, <file>"
//   "<atMs> refused <share> <reason>"  (+ " folder <key>" and " by <account>" when known)
std::string recordLine(const SiteRecord& record);
// Every record's line, each ended by "\n".
std::string recordLines(const std::vector<SiteRecord>& records);

}  // namespace trenmoor::site
