// The open-file dialog: the program calls the common-dialog library's exported entry point, and
// the library asks the toolkit (registered here) to show the dialog to the front-end.
#include <dlfcn.h>

#include <cstring>

#include "standin/comdlg/comdlg.h"
#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::toolkit {
namespace {

std::string wideZ(const char16_t* text) {
  if (!text) return {};
  std::u16string_view view(text);
  return wideToUtf8(view);
}

// The filter's NUL-separated pairs, joined with '|' for people.
std::string filterText(const char16_t* filter) {
  std::string out;
  if (!filter) return out;
  for (const char16_t* p = filter; *p; p += std::char_traits<char16_t>::length(p) + 1) {
    if (!out.empty()) out += '|';
    out += wideToUtf8(p);
  }
  return out;
}

std::string directoryOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Writes the chosen paths in the dialog's result format; false when they do not fit.
bool writeResult(win::OPENFILENAMEW* request, const std::vector<std::string>& paths) {
  std::u16string result;
  win::WORD fileOffset = 0;
  bool explorerList = paths.size() > 1 && (request->Flags & win::OFN_ALLOWMULTISELECT);
  if (!explorerList) {
    result = utf8ToWide(paths.front());
    auto slash = paths.front().find_last_of('/');
    fileOffset = static_cast<win::WORD>(slash == std::string::npos ? 0 : utf8ToWide(paths.front().substr(0, slash + 1)).size());
    result.push_back(u'\0');
  } else {
    std::string directory = directoryOf(paths.front());
    result = utf8ToWide(directory);
    result.push_back(u'\0');
    fileOffset = static_cast<win::WORD>(result.size());
    for (const auto& path : paths) {
      bool sameDirectory = directoryOf(path) == directory;
      result += utf8ToWide(sameDirectory ? path.substr(directory.size() + 1) : path);
      result.push_back(u'\0');
    }
  }
  result.push_back(u'\0');
  if (result.size() > request->nMaxFile) return false;
  std::memcpy(request->lpstrFile, result.data(), result.size() * sizeof(char16_t));
  request->nFileOffset = fileOffset;
  return true;
}

win::BOOL showOpenFileDialog(win::OPENFILENAMEW* request) {
  Toolkit& toolkit = Toolkit::current();
  OpenFileInfo info{wideZ(request->lpstrTitle), filterText(request->lpstrFilter), request->nFilterIndex,
                    (request->Flags & win::OFN_ALLOWMULTISELECT) != 0, request->nMaxFile};
  toolkit.note("dialog", "open-file title=" + quoteForTranscript(info.title) + " filter=" +
                             quoteForTranscript(info.filter) + (info.multiSelect ? " multiple" : ""));
  std::optional<std::vector<std::string>> chosen;
  if (auto* frontEnd = toolkit.frontEnd()) chosen = frontEnd->chooseFiles(info);
  if (!chosen || chosen->empty()) {
    toolkit.note("dialog", "cancelled");
    return 0;
  }
  if (!writeResult(request, *chosen)) {
    toolkit.note("dialog", "names do not fit the buffer");
    return 0;
  }
  std::string names;
  for (const auto& path : *chosen) names += " " + quoteForTranscript(path);
  toolkit.note("dialog", "chose" + names);
  return 1;
}

win::GetOpenFileNameWFunction entryPoint() {
  static win::GetOpenFileNameWFunction entry = [] {
    void* library = dlopen("libcomdlg32.so", RTLD_NOW | RTLD_NOLOAD);
    void* symbol = library ? dlsym(library, "GetOpenFileNameW") : nullptr;
    return reinterpret_cast<win::GetOpenFileNameWFunction>(symbol);
  }();
  return entry;
}

std::u16string filterList(const Text& filter) {
  std::u16string list = ansiToWide(filter);
  for (char16_t& c : list)
    if (c == u'|') c = u'\0';
  list.push_back(u'\0');
  list.push_back(u'\0');
  return list;
}

// The names in a dialog result: one full path, or a directory followed by names.
std::vector<Text> parseResult(const std::u16string& buffer) {
  std::vector<std::u16string> parts;
  for (std::size_t at = 0; at < buffer.size() && buffer[at] != u'\0';) {
    std::size_t end = buffer.find(u'\0', at);
    if (end == std::u16string::npos) end = buffer.size();
    parts.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  std::vector<Text> paths;
  if (parts.size() == 1) {
    paths.push_back(wideToAnsi(parts.front()));
  } else {
    for (std::size_t i = 1; i < parts.size(); ++i) {
      bool absolute = !parts[i].empty() && parts[i].front() == u'/';
      paths.push_back(wideToAnsi(absolute ? parts[i] : parts.front() + u"/" + parts[i]));
    }
  }
  return paths;
}

}  // namespace

void connectOpenFileDialog() { trenmoorSetOpenFileDialog(&showOpenFileDialog); }

}  // namespace trenmoor::toolkit

namespace trenmoor::ui {

std::vector<Text> openFileDialog(const OpenFileRequest& request) {
  auto entry = toolkit::entryPoint();
  if (!entry) return {};
  std::u16string title = ansiToWide(request.title);
  std::u16string filter = toolkit::filterList(request.filter);
  std::u16string buffer(std::max<std::uint32_t>(request.bufferCharacters, 2), u'\0');
  win::OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<win::DWORD>(request.filterIndex);
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<win::DWORD>(buffer.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = win::OFN_EXPLORER | (request.multiSelect ? win::OFN_ALLOWMULTISELECT : 0) |
                 (request.fileMustExist ? win::OFN_FILEMUSTEXIST : 0) |
                 (request.pathMustExist ? win::OFN_PATHMUSTEXIST : 0) |
                 (request.hideReadOnly ? win::OFN_HIDEREADONLY : 0);
  if (!entry(&dialog)) return {};
  return toolkit::parseResult(buffer);
}

}  // namespace trenmoor::ui
