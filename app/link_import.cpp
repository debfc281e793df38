#include "app/link_import.h"

#include <algorithm>
#include <limits>

namespace trenmoor::app {


namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Every line feed that no carriage return precedes becomes CR LF.
Text withCrLfLineEnds(std::string_view text) {
  Text out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

LinkFileText linkFileText(const Bytes& bytes) {
  auto end = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0x00 || b == 0x1A; });
  std::string_view raw{reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(end - bytes.begin())};
  LinkFileText result;
  // Text in the code page is almost never valid UTF-8, so a valid UTF-8 file, or one that starts
  // with the byte-order mark, is read as UTF-8 (ASCII text converts to itself).
  const bool marked = raw.starts_with(kUtf8Mark);
  if (marked) raw.remove_prefix(kUtf8Mark.size());
  if (marked || isValidUtf8(raw)) {
    std::size_t lost = 0;
    result.text = withCrLfLineEnds(utf8ToAnsi(raw, lost));
    result.lostCharacters = lost > 0;
  } else {
    result.text = withCrLfLineEnds(raw);
  }
  return result;
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

  // A file that cannot be read adds nothing and is named to the user afterwards, as is one
  // with characters the code page cannot hold.
  std::vector<Text> unreadable;
  std::vector<Text> lossy;
  for (const Text& path : paths) {
    auto bytes = ui::readWholeFileShared(path);
    if (!bytes) {
      unreadable.push_back(path);
      continue;
    }
    const LinkFileText file = linkFileText(*bytes);
    if (file.lostCharacters) lossy.push_back(path);
    state.linkListText.reserve(state.linkListText.size() + file.text.size() + kLineBreak.size());
    state.linkListText += file.text;
    state.linkListText += kLineBreak;
  }

  const std::size_t members = countSplitMembers(state.linkListText, kLineBreak);
  state.linkCount = static_cast<std::int32_t>(
      std::min<std::size_t>(members, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
  window.files().setText(integerToText(state.linkCount));
  ui::messageBox(ansiLiteral<"共获取">() + integerToText(state.linkCount) +
                     ansiLiteral<"条记录\r\n请确认已登录网盘，然后点击 【开始转存】">(),
                 ansiLiteral<"导入成功">(), ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information);
  if (!unreadable.empty() || !lossy.empty()) {
    Text text;
    auto listFiles = [&text](const Text& heading, const std::vector<Text>& files) {
      if (files.empty()) return;
      if (!text.empty()) text += kLineBreak;
      text += heading;
      for (const Text& path : files) {
        text += kLineBreak;
        text += path;
      }
    };
    listFiles(ansiLiteral<"以下文件无法读取，未导入：">(), unreadable);
    listFiles(ansiLiteral<"以下文件中有无法识别的字符，已替换为“?”：">(), lossy);
    ui::messageBox(text, ansiLiteral<"导入失败">(), ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Warning);
  }
}

void stripLinkPrefixes(TransferState& state) {
  state.linkListText = replaceText(state.linkListText, ansiLiteral<"链接:">(), "");
  state.linkListText = replaceText(state.linkListText, ansiLiteral<"密码:">(), "");
}

std::vector<Text> splitLinkLine(std::string_view line) { return splitText(line, " "); }

}  // namespace trenmoor::app
