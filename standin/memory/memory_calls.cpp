// The memory calls of the current process: mappings from /proc/self/maps, protection through
// mprotect, and reads and writes through /proc/self/mem, which the kernel carries out for any
// mapped page (code included) and refuses with an error, not a fault, for unmapped ones.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/module_memory.h"

namespace trenmoor::win {

namespace {

struct Mapping {
  std::uintptr_t start;
  std::uintptr_t end;
  int protection;  // PROT_ bits
};

// The mappings of the process in address order.
std::vector<Mapping> readMappings() {
  std::vector<Mapping> mappings;
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    // "start-end perms offset device inode path"
    const char* at = line.data();
    const char* end = line.data() + line.size();
    Mapping mapping{};
    auto [afterStart, startError] = std::from_chars(at, end, mapping.start, 16);
    if (startError != std::errc() || afterStart == end || *afterStart != '-') continue;
    auto [afterEnd, endError] = std::from_chars(afterStart + 1, end, mapping.end, 16);
    if (endError != std::errc() || end - afterEnd < 5) continue;
    const char* perms = afterEnd + 1;
    mapping.protection = (perms[0] == 'r' ? PROT_READ : 0) | (perms[1] == 'w' ? PROT_WRITE : 0) |
                         (perms[2] == 'x' ? PROT_EXEC : 0);
    mappings.push_back(mapping);
  }
  return mappings;
}

std::optional<Mapping> mappingAt(std::uintptr_t address) {
  for (const Mapping& mapping : readMappings()) {
    if (address >= mapping.start && address < mapping.end) return mapping;
  }
  return std::nullopt;
}

// Whether every byte of [start, end) lies in some mapping.
bool whollyMapped(std::uintptr_t start, std::uintptr_t end) {
  for (const Mapping& mapping : readMappings()) {
    if (start >= end) break;
    if (start >= mapping.start && start < mapping.end) start = mapping.end;
  }
  return start >= end;
}

std::uintptr_t pageSize() { return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)); }

DWORD pageProtection(int protection) {
  bool write = (protection & PROT_WRITE) != 0;
  if (protection & PROT_EXEC) {
    if (write) return PAGE_EXECUTE_READWRITE;
    return (protection & PROT_READ) ? PAGE_EXECUTE_READ : PAGE_EXECUTE;
  }
  if (write) return PAGE_READWRITE;
  return (protection & PROT_READ) ? PAGE_READONLY : PAGE_NOACCESS;
}

std::optional<int> linuxProtection(DWORD protection) {
  switch (protection) {
    case PAGE_NOACCESS: return PROT_NONE;
    case PAGE_READONLY: return PROT_READ;
    case PAGE_READWRITE: return PROT_READ | PROT_WRITE;
    case PAGE_EXECUTE: return PROT_EXEC;
    case PAGE_EXECUTE_READ: return PROT_READ | PROT_EXEC;
    case PAGE_EXECUTE_READWRITE: return PROT_READ | PROT_WRITE | PROT_EXEC;
    default: return std::nullopt;
  }
}

bool isCurrentProcess(HANDLE process) { return process == GetCurrentProcess(); }

// Moves up to `size` bytes at `address` through /proc/self/mem, opened with `openFlags`;
// `move(memory, done, offset)` moves what is left after `done` bytes. Returns how many were
// moved before the first byte that could not be.
template <typename Move>
SIZE_T transferMemory(int openFlags, std::uintptr_t address, SIZE_T size, Move move) {
  constexpr auto kLastOffset = static_cast<std::uintptr_t>(std::numeric_limits<off_t>::max());
  if (size == 0 || address > kLastOffset) return 0;
  if (size > kLastOffset - address) size = kLastOffset - address;
  // Opened for each call: a descriptor kept open would still name this process's memory in a
  // child after fork.
  int memory = open("/proc/self/mem", openFlags | O_CLOEXEC);
  if (memory < 0) return 0;
  SIZE_T done = 0;
  while (done < size) {
    ssize_t moved = move(memory, done, size - done, static_cast<off_t>(address + done));
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) break;
    done += static_cast<SIZE_T>(moved);
  }
  close(memory);
  return done;
}

}  // namespace

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

SIZE_T VirtualQueryEx(HANDLE process, const void* address, MEMORY_BASIC_INFORMATION* buffer, SIZE_T length) {
  if (!isCurrentProcess(process) || buffer == nullptr || length < sizeof(MEMORY_BASIC_INFORMATION)) return 0;
  auto at = reinterpret_cast<std::uintptr_t>(address);
  std::optional<Mapping> mapping = mappingAt(at);
  if (!mapping) return 0;
  std::uintptr_t base = at & ~(pageSize() - 1);
  buffer->BaseAddress = reinterpret_cast<void*>(base);
  buffer->AllocationBase = reinterpret_cast<void*>(mapping->start);
  buffer->RegionSize = mapping->end - base;
  buffer->State = MEM_COMMIT;
  buffer->Protect = pageProtection(mapping->protection);
  return sizeof(MEMORY_BASIC_INFORMATION);
}

BOOL VirtualProtectEx(HANDLE process, void* address, SIZE_T size, DWORD newProtect, DWORD* oldProtect) {
  std::optional<int> protection = linuxProtection(newProtect);
  if (!isCurrentProcess(process) || size == 0 || !protection || oldProtect == nullptr) return 0;
  auto at = reinterpret_cast<std::uintptr_t>(address);
  if (size > std::numeric_limits<std::uintptr_t>::max() - at) return 0;
  std::uintptr_t page = pageSize();
  std::uintptr_t start = at & ~(page - 1);
  std::uintptr_t last = (at + size - 1) & ~(page - 1);
  if (last > std::numeric_limits<std::uintptr_t>::max() - page) return 0;
  std::uintptr_t end = last + page;
  // mprotect may change the mappings before a hole and then fail: look first.
  std::optional<Mapping> first = mappingAt(at);
  if (!first || !whollyMapped(start, end)) return 0;
  if (mprotect(reinterpret_cast<void*>(start), end - start, *protection) != 0) return 0;
  *oldProtect = pageProtection(first->protection);
  return 1;
}

BOOL ReadProcessMemory(HANDLE process, const void* address, void* buffer, SIZE_T size, SIZE_T* bytesRead) {
  SIZE_T done = 0;
  bool valid = isCurrentProcess(process) && (buffer != nullptr || size == 0);
  if (valid) {
    auto* into = static_cast<unsigned char*>(buffer);
    done = transferMemory(O_RDONLY, reinterpret_cast<std::uintptr_t>(address), size,
                          [into](int memory, SIZE_T from, SIZE_T count, off_t offset) {
                            return pread(memory, into + from, count, offset);
                          });
  }
  if (bytesRead != nullptr) *bytesRead = done;
  return valid && done == size ? 1 : 0;
}

BOOL WriteProcessMemory(HANDLE process, void* address, const void* buffer, SIZE_T size, SIZE_T* bytesWritten) {
  SIZE_T done = 0;
  bool valid = isCurrentProcess(process) && (buffer != nullptr || size == 0);
  if (valid) {
    const auto* from = static_cast<const unsigned char*>(buffer);
    done = transferMemory(O_RDWR, reinterpret_cast<std::uintptr_t>(address), size,
                          [from](int memory, SIZE_T at, SIZE_T count, off_t offset) {
                            return pwrite(memory, from + at, count, offset);
                          });
  }
  if (bytesWritten != nullptr) *bytesWritten = done;
  return valid && done == size ? 1 : 0;
}

BOOL FlushInstructionCache(HANDLE process, const void* address, SIZE_T size) {
  if (!isCurrentProcess(process)) return 0;
  if (address != nullptr && size > 0) {
    auto* begin = static_cast<char*>(const_cast<void*>(address));
    __builtin___clear_cache(begin, begin + size);
  }
  return 1;
}

}  // namespace trenmoor::win
