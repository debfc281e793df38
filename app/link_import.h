// Importing link-list files and taking lines and fields from the imported list.
#pragma once

#include <vector>

#include "app/main_window.h"
#include "app/transfer_state.h"

namespace trenmoor::app {

// Lines of the list end with it.
inline constexpr std::string_view kLineBreak = "\r\n";

// The add-file button's handler: asks for files, appends their texts to the list, counts the
// lines and tells the user.
void importLinkFiles(TransferState& state, MainWindow& window);

// A file's bytes as list text: up to its first NUL or 0x1A byte; UTF-8 (valid with non-ASCII
// bytes, or marked) converted to the code page; a line feed alone read as CR LF.
struct LinkFileText {
  Text text;
  bool lostCharacters = false;  // some character had no place in the code page
};
LinkFileText linkFileText(const Bytes& bytes);

// Deletes every "链接:" and then every "密码:" from the list.
void stripLinkPrefixes(TransferState& state);

// A line's fields: member 1 is the link, member 2 the access code.
std::vector<Text> splitLinkLine(std::string_view line);

}  // namespace trenmoor::app
