// Where the memory stand-in looks for a library named the way the program names it.
#pragma once

#include <string>
#include <string_view>

namespace trenmoor::memory {

// The file of a library name: "<name>.dll" (any case; ".dll" optional) becomes
// "lib<name in lower case>.so". Empty when the name names no library: empty, only ".dll", or
// holding '/', '\' or a NUL.
std::string libraryFileName(std::string_view name);

// The program's own library folder: the folder of the running executable followed by
// "../lib", resolved to an absolute path. Empty when that folder does not exist.
const std::string& programLibraryFolder();

}  // namespace trenmoor::memory
