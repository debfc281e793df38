#include "app/link_import.h"

#include <algorithm>
#include <limits>

namespace trenmoor::app {


std::string_view linkFileText(const Bytes& bytes) {
  auto end = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0x00 || b == 0x1A; });
  return {reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(end - bytes.begin())};
}

void importLinkFiles(TransferState& state, MainWindow& window) {
  ui::OpenFileRequest request;
  request.title = ansiLiteral<"请选择文本数据：">();
  request.filter = ansiLiteral<"文本数据（*.text）|*.text|文本文件（*.txt）|*.txt">();
  request.filterIndex = 1;
  request.multiSelect = true;
  request.fileMustExist = true;
  request.pathMustExist = true;
  request.hideReadOnly = true;
  request.bufferCharacters = 61440;
  const std::vector<Text> paths = ui::openFileDialog(request);
  if (paths.empty()) return;  // cancelled: nothing changes

  // A file that cannot be read adds nothing and is named to the user afterwards.
  std::vector<Text> unreadable;
  for (const Text& path : paths) {
    auto bytes = ui::readWholeFileShared(path);
    if (!bytes) {
      unreadable.push_back(path);
      continue;
    }
    const std::string_view text = linkFileText(*bytes);
    state.linkListText.reserve(state.linkListText.size() + text.size() + kLineBreak.size());
    state.linkListText += text;
    state.linkListText += kLineBreak;
  }

  const std::size_t members = countSplitMembers(state.linkListText, kLineBreak);
  state.linkCount = static_cast<std::int32_t>(
      std::min<std::size_t>(members, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
  window.files().setText(integerToText(state.linkCount));
  ui::messageBox(ansiLiteral<"共获取">() + integerToText(state.linkCount) +
                     ansiLiteral<"条记录\r\n请确认已登录网盘，然后点击 【开始转存】">(),
                 ansiLiteral<"导入成功">(), ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information);
  if (!unreadable.empty()) {
    Text names;
    for (const Text& path : unreadable) names += "\r\n" + path;
    ui::messageBox(ansiLiteral<"以下文件无法读取，未导入：">() + names, ansiLiteral<"导入失败">(),
                   ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Warning);
  }
}

void stripLinkPrefixes(TransferState& state) {
  state.linkListText = replaceText(state.linkListText, ansiLiteral<"链接:">(), "");
  state.linkListText = replaceText(state.linkListText, ansiLiteral<"密码:">(), "");
}

std::vector<Text> splitLinkLine(std::string_view line) { return splitText(line, " "); }

}  // namespace trenmoor::app
