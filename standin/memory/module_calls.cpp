// GetModuleHandleA, LoadLibraryA and GetProcAddress over dlopen, dlsym and the loader's list of
// loaded libraries.
#include <dlfcn.h>
#include <link.h>

#include <string>

#include "platform/module_memory.h"
#include "standin/memory/library_names.h"

namespace trenmoor::win {

namespace {

// dlopen of the library a program name names: first in the program's library folder, then by
// dlopen's own search.
void* openLibrary(const char* name, int flags) {
  std::string file = memory::libraryFileName(name);
  if (file.empty()) return nullptr;
  const std::string& folder = memory::programLibraryFolder();
  if (!folder.empty()) {
    if (void* handle = dlopen((folder + "/" + file).c_str(), flags)) return handle;
  }
  return dlopen(file.c_str(), flags);
}

link_map* linkMapOf(void* handle) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
  return map;
}

// glibc's library handles are the entries of its list of loaded objects; anything else is no
// library and must not reach dlsym.
bool isLoadedLibrary(void* module) {
  void* program = dlopen(nullptr, RTLD_LAZY);
  if (program == nullptr) return false;
  link_map* map = linkMapOf(program);
  dlclose(program);
  while (map != nullptr && map->l_prev != nullptr) map = map->l_prev;
  for (; map != nullptr; map = map->l_next) {
    if (static_cast<void*>(map) == module) return true;
  }
  return false;
}

}  // namespace

HMODULE GetModuleHandleA(const char* moduleName) {
  // RTLD_NOLOAD only finds a loaded library, and counts one more use of it: give that back.
  void* handle = moduleName == nullptr ? dlopen(nullptr, RTLD_LAZY) : openLibrary(moduleName, RTLD_LAZY | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle;
}

HMODULE LoadLibraryA(const char* libraryName) {
  if (libraryName == nullptr) return nullptr;
  return openLibrary(libraryName, RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
  if (module == nullptr || procName == nullptr || !isLoadedLibrary(module)) return nullptr;
  void* symbol = dlsym(module, procName);
  if (symbol == nullptr) return nullptr;
  // dlsym also searches the library's dependencies; the system's call knows only the
  // library's own exports.
  Dl_info info;
  link_map* owner = nullptr;
  if (dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0) return nullptr;
  if (owner != linkMapOf(module)) return nullptr;
  return reinterpret_cast<FARPROC>(symbol);
}

}  // namespace trenmoor::win
