// The markup of the stand-in site's pages and the JSON answers of its page scripts' requests.
// Everything is UTF-8. Names from the description are escaped wherever they are put.
//
// Element keys the program relies on (share pages):
//   accessCode       <input type=text id=accessCode name=accessCode>   (shares with a code)
//   submitBtn        <a id=submitBtn href="javascript:;">               checks the code in place
//   emphasizeButton  <a id=emphasizeButton ...>  only once the share is open: opens the chooser
//   <folder key>     <a id="_disk_id_14" ...>    only inside the open chooser: saves the share
// The home page: account, password, loginButton (a form posted to /login); the disk page lists
// the folders with their keys as ids.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "standin/site/site_description.h"

namespace trenmoor::site {

// A folder of the disk as the disk page shows it: the files saved into it so far.
struct FolderListing {
  const Folder* folder = nullptr;
  std::vector<std::string> files;
};

std::string loginPageMarkup(bool failedBefore);
std::string diskPageMarkup(std::string_view account, const std::vector<FolderListing>& folders);

// A live share's page. With a code: the code box and submitBtn, the rest arrives from
// /share/verify. Without: the file list and the save button at once, `sekey` built in.
// `account` (empty: not logged in) only changes the page's top bar.
std::string sharePageMarkup(const Share& share, const std::vector<Folder>& folders, std::string_view account,
                            std::string_view sekey);
// The page of a deleted share, or of an id the site never had: no input, no buttons.
std::string missingSharePageMarkup(bool gone);
std::string notFoundPageMarkup();

// The share's content once open: file list and save button (also part of the no-code page).
std::string shareContentMarkup(const Share& share);

// JSON answers: {"errno":0,...} on success, {"errno":N,"msg":"..."} on refusal.
std::string verifiedAnswer(std::string_view sekey, std::string_view contentMarkup);
std::string savedAnswer(std::string_view folderName);
std::string refusedAnswer(int errorNumber, std::string_view message);

}  // namespace trenmoor::site
