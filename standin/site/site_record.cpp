#include "standin/site/site_record.h"

namespace trenmoor::site {

std::string_view refusalName(Refusal reason) {
  switch (reason) {
    case Refusal::None: return "";
    case Refusal::WrongCode: return "wrong-code";
    case Refusal::NotVerified: return "not-verified";
    case Refusal::NotLoggedIn: return "not-logged-in";
    case Refusal::ShareGone: return "share-gone";
    case Refusal::NoSuchShare: return "no-such-share";
    case Refusal::NoSuchFolder: return "no-such-folder";
  }
  return "";
}

std::string recordLine(const SiteRecord& record) {
  std::string line = std::to_string(record.atMs);
  if (record.outcome == Outcome::Saved) {
    line += " saved " + record.shareId + " to " + record.folderName + " (" + record.folderKey + ") by " +
            record.account + ":";
    for (std::size_t i = 0; i < record.files.size(); ++i) line += (i ? ", " : " ") + record.files[i];
    return line;
  }
  line += " refused " + record.shareId + " " + std::string(refusalName(record.reason));
  if (!record.folderKey.empty()) line += " folder " + record.folderKey;
  if (!record.account.empty()) line += " by " + record.account;
  return line;
}

std::string recordLines(const std::vector<SiteRecord>& records) {
  std::string text;
  for (const auto& record : records) text += recordLine(record) + "\n";
  return text;
}

}  // namespace trenmoor::site
