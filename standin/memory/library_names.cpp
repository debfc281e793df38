#include "standin/memory/library_names.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "platform/text.h"

namespace trenmoor::memory {

namespace {

constexpr std::string_view kDllSuffix = ".dll";

bool endsWithDll(std::string_view name) {
  return name.size() >= kDllSuffix.size() &&
         asciiEqualsIgnoringCase(name.substr(name.size() - kDllSuffix.size()), kDllSuffix);
}

std::string resolveProgramLibraryFolder() {
  char exe[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) return {};
  std::string path(exe, static_cast<std::size_t>(length));
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  path.resize(slash);
  path += "/../lib";
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return {};
  return resolved;
}

}  // namespace

std::string libraryFileName(std::string_view name) {
  if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return {};
  if (endsWithDll(name)) name.remove_suffix(kDllSuffix.size());
  if (name.empty()) return {};
  return "lib" + asciiLower(name) + ".so";
}

const std::string& programLibraryFolder() {
  static const std::string folder = resolveProgramLibraryFolder();
  return folder;
}

}  // namespace trenmoor::memory
