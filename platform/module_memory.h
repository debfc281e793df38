// The library and memory calls the function hook makes: finding and loading a library and one
// of its functions, and querying, protecting, reading and writing the memory of the current
// process. Implemented by the memory stand-in (standin/memory) over dlopen/dlsym,
// /proc/self/maps, mprotect and /proc/self/mem.
//
// What every call promises:
// - Only the current process can be acted on: a process handle other than the one
//   GetCurrentProcess returns makes the call fail.
// - Failures leave out-parameters untouched unless the call says otherwise.
//
// Library names: "<name>.dll" (any case; ".dll" optional) is the library file
// "lib<name in lower case>.so", looked up first in the program's own library folder (the
// folder of the executable followed by "../lib", where the build puts its shared libraries)
// and then by dlopen's normal search. The name must be a bare file name: an empty name or one
// holding '/' or '\' names no library. Example: "COMDLG32.DLL" and "comdlg32" both name
// libcomdlg32.so.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trenmoor::win {

using BOOL = std::int32_t;
using DWORD = std::uint32_t;
using SIZE_T = std::size_t;
using HANDLE = void*;
using HMODULE = void*;                  // a loaded library; 0 = none
using FARPROC = void (*)();             // an exported function (cast to its own type); 0 = none

// Page protections.
constexpr DWORD PAGE_NOACCESS = 0x01;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD PAGE_EXECUTE = 0x10;
constexpr DWORD PAGE_EXECUTE_READ = 0x20;
constexpr DWORD PAGE_EXECUTE_READWRITE = 0x40;

// Memory states.
constexpr DWORD MEM_COMMIT = 0x1000;

// What VirtualQueryEx reports about the memory around an address.
struct MEMORY_BASIC_INFORMATION {
  void* BaseAddress;     // base of the page that holds the address
  void* AllocationBase;  // start of the mapping that holds the page
  SIZE_T RegionSize;     // bytes from BaseAddress to the end of that mapping
  DWORD State;           // MEM_COMMIT
  DWORD Protect;         // one of the PAGE_ constants
};

// The pseudo-handle of the current process (-1); it needs no closing.
HANDLE GetCurrentProcess();

// The library of that name if it is already loaded (it is not loaded, and its reference
// count is not changed); a null name gives the program itself. 0 when the library is not
// loaded or the name names no library.
HMODULE GetModuleHandleA(const char* moduleName);

// Loads the library of that name (or counts one more use of it when already loaded) with all
// its symbols bound. 0 when no such library can be found or loaded, or for a null name.
HMODULE LoadLibraryA(const char* libraryName);

// The address of the function (or other symbol) that the library itself exports under that
// name; symbols that only its dependencies define are not found. 0 for an unknown name, a
// null module or a null name.
FARPROC GetProcAddress(HMODULE module, const char* procName);

// Describes the mapping that holds `address` in *buffer and returns sizeof(*buffer). Returns 0
// (buffer untouched) for an address in no mapping (unlike the system's call, which describes
// the free region), a null buffer, a length below sizeof(MEMORY_BASIC_INFORMATION) or another
// process.
SIZE_T VirtualQueryEx(HANDLE process, const void* address, MEMORY_BASIC_INFORMATION* buffer, SIZE_T length);

// Gives every page from the one holding `address` to the one holding address + size - 1 the
// protection `newProtect` (one of the PAGE_ constants) and writes the previous protection of
// the first page to *oldProtect. Nonzero on success. 0, nothing changed and *oldProtect
// untouched, for a size of 0, an unknown protection, a null oldProtect, a range not wholly
// mapped, a protection the mapping does not allow, or another process.
BOOL VirtualProtectEx(HANDLE process, void* address, SIZE_T size, DWORD newProtect, DWORD* oldProtect);

// Copies `size` bytes at `address` to `buffer`, whatever the protection of the pages. Nonzero
// when all were copied. 0 when part of the range is not mapped (the bytes before it are
// copied), for a null buffer with a size above 0, or another process. *bytesRead, when given,
// always receives the number of bytes copied.
BOOL ReadProcessMemory(HANDLE process, const void* address, void* buffer, SIZE_T size, SIZE_T* bytesRead);

// Copies `size` bytes from `buffer` to `address`, as the system's call does even to a page that
// is not writable (code included); the page protection is left as it was. Nonzero when all
// were written. 0 when part of the range is not mapped or cannot be written (the bytes before
// it are written), for a null buffer with a size above 0, or another process; it never
// crashes. *bytesWritten, when given, always receives the number of bytes written.
BOOL WriteProcessMemory(HANDLE process, void* address, const void* buffer, SIZE_T size, SIZE_T* bytesWritten);

// Makes code written to the range visible to the processor's instruction fetch. Nonzero for the
// current process; 0 for another.
BOOL FlushInstructionCache(HANDLE process, const void* address, SIZE_T size);

}  // namespace trenmoor::win
