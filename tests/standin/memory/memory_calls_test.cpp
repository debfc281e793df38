#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/module_memory.h"

namespace trenmoor::win {
namespace {

const std::uintptr_t kPage = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));

// `count` private pages with the given protection; `holeAt` (when below count) is unmapped
// again so that the pages on either side border a hole.
class MappedPages {
 public:
  MappedPages(std::size_t count, int protection, std::size_t holeAt = SIZE_MAX) : count_(count) {
    void* start = mmap(nullptr, count * kPage, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = start == MAP_FAILED ? nullptr : static_cast<unsigned char*>(start);
    if (base_ != nullptr && holeAt < count) munmap(page(holeAt), kPage);
  }
  ~MappedPages() {
    if (base_ != nullptr) munmap(base_, count_ * kPage);
  }
  MappedPages(const MappedPages&) = delete;
  MappedPages& operator=(const MappedPages&) = delete;
  unsigned char* page(std::size_t index) const { return base_ + index * kPage; }
  bool mapped() const { return base_ != nullptr; }

 private:
  std::size_t count_;
  unsigned char* base_;
};

DWORD protectionAt(const void* address) {
  MEMORY_BASIC_INFORMATION information{};
  return VirtualQueryEx(GetCurrentProcess(), address, &information, sizeof information) != 0 ? information.Protect
                                                                                              : 0;
}

int codeOfThisProgram() { return 7; }

TEST(MemoryCalls, QueryDescribesTheCodePageOfAnAddress) {
  const auto* code = reinterpret_cast<const unsigned char*>(&codeOfThisProgram) + 1;
  MEMORY_BASIC_INFORMATION information{};
  ASSERT_EQ(VirtualQueryEx(GetCurrentProcess(), code, &information, sizeof information), sizeof information);
  auto at = reinterpret_cast<std::uintptr_t>(code);
  auto base = reinterpret_cast<std::uintptr_t>(information.BaseAddress);
  EXPECT_EQ(base, at & ~(kPage - 1));
  EXPECT_EQ(information.Protect, PAGE_EXECUTE_READ);
  EXPECT_EQ(information.State, MEM_COMMIT);
  EXPECT_LE(reinterpret_cast<std::uintptr_t>(information.AllocationBase), base);
  EXPECT_GT(information.RegionSize, 0u);
  EXPECT_EQ(information.RegionSize % kPage, 0u);
}

TEST(MemoryCalls, ProtectionChangesReportThePreviousOne) {
  MappedPages pages(2, PROT_READ | PROT_WRITE);
  ASSERT_TRUE(pages.mapped());
  DWORD expectedOld = PAGE_READWRITE;
  for (DWORD protection : {PAGE_NOACCESS, PAGE_READONLY, PAGE_EXECUTE, PAGE_EXECUTE_READ, PAGE_EXECUTE_READWRITE,
                           PAGE_READWRITE}) {
    DWORD old = 0xDEAD;
    // Two bytes across the border of the pages change both.
    ASSERT_NE(VirtualProtectEx(GetCurrentProcess(), pages.page(1) - 1, 2, protection, &old), 0) << protection;
    EXPECT_EQ(old, expectedOld);
    EXPECT_EQ(protectionAt(pages.page(0)), protection);
    EXPECT_EQ(protectionAt(pages.page(1)), protection);
    expectedOld = protection;
  }
}

TEST(MemoryCalls, RefusedCallsLeaveOutputsAndPagesAlone) {
  MappedPages pages(3, PROT_READ | PROT_WRITE, 1);
  ASSERT_TRUE(pages.mapped());
  HANDLE process = GetCurrentProcess();
  HANDLE otherProcess = reinterpret_cast<HANDLE>(std::intptr_t{1234});

  MEMORY_BASIC_INFORMATION information;
  std::memset(&information, 0xAB, sizeof information);
  MEMORY_BASIC_INFORMATION untouched = information;
  EXPECT_EQ(VirtualQueryEx(process, pages.page(1), &information, sizeof information), 0u);
  EXPECT_EQ(VirtualQueryEx(process, pages.page(0), &information, sizeof information - 1), 0u);
  EXPECT_EQ(VirtualQueryEx(otherProcess, pages.page(0), &information, sizeof information), 0u);
  EXPECT_EQ(VirtualQueryEx(process, pages.page(0), nullptr, sizeof information), 0u);
  EXPECT_EQ(std::memcmp(&information, &untouched, sizeof information), 0);

  DWORD old = 0xDEAD;
  EXPECT_EQ(VirtualProtectEx(process, pages.page(0), 3 * kPage, PAGE_READONLY, &old), 0);  // over the hole
  EXPECT_EQ(VirtualProtectEx(process, pages.page(1), 1, PAGE_READONLY, &old), 0);
  EXPECT_EQ(VirtualProtectEx(process, pages.page(0), 1, 0x80, &old), 0);
  EXPECT_EQ(VirtualProtectEx(process, pages.page(0), 0, PAGE_READONLY, &old), 0);
  EXPECT_EQ(VirtualProtectEx(process, pages.page(0), 1, PAGE_READONLY, nullptr), 0);
  EXPECT_EQ(VirtualProtectEx(otherProcess, pages.page(0), 1, PAGE_READONLY, &old), 0);
  EXPECT_EQ(old, 0xDEADu);
  EXPECT_EQ(protectionAt(pages.page(0)), PAGE_READWRITE);

  unsigned char bytes[4] = {1, 2, 3, 4};
  SIZE_T count = 99;
  EXPECT_EQ(WriteProcessMemory(otherProcess, pages.page(0), bytes, 4, &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(ReadProcessMemory(otherProcess, pages.page(0), bytes, 4, &count), 0);
  EXPECT_EQ(WriteProcessMemory(process, pages.page(0), nullptr, 4, &count), 0);
  EXPECT_EQ(pages.page(0)[0], 0);
  EXPECT_EQ(FlushInstructionCache(otherProcess, pages.page(0), 4), 0);
  EXPECT_NE(FlushInstructionCache(process, pages.page(0), 4), 0);
}

TEST(MemoryCalls, WriteReachesReadOnlyPagesAndKeepsTheirProtection) {
  MappedPages pages(1, PROT_READ);
  ASSERT_TRUE(pages.mapped());
  const unsigned char bytes[] = {0xB8, 0x11, 0x22, 0x33, 0x44, 0xFF, 0xE0};
  SIZE_T written = 0;
  ASSERT_NE(WriteProcessMemory(GetCurrentProcess(), pages.page(0) + 10, bytes, sizeof bytes, &written), 0);
  EXPECT_EQ(written, sizeof bytes);
  EXPECT_EQ(std::memcmp(pages.page(0) + 10, bytes, sizeof bytes), 0);
  EXPECT_EQ(protectionAt(pages.page(0)), PAGE_READONLY);

  unsigned char readBack[sizeof bytes] = {};
  SIZE_T read = 0;
  ASSERT_NE(ReadProcessMemory(GetCurrentProcess(), pages.page(0) + 10, readBack, sizeof readBack, &read), 0);
  EXPECT_EQ(read, sizeof readBack);
  EXPECT_EQ(std::memcmp(readBack, bytes, sizeof bytes), 0);
}

TEST(MemoryCalls, AccessToUnmappedMemoryFailsWithoutCrashing) {
  MappedPages pages(2, PROT_READ | PROT_WRITE, 1);
  ASSERT_TRUE(pages.mapped());
  unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  SIZE_T count = 99;
  EXPECT_EQ(WriteProcessMemory(GetCurrentProcess(), pages.page(1), bytes, sizeof bytes, &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(ReadProcessMemory(GetCurrentProcess(), pages.page(1), bytes, sizeof bytes, &count), 0);
  EXPECT_EQ(count, 0u);

  // A range running into the hole: the bytes before it are written and counted.
  EXPECT_EQ(WriteProcessMemory(GetCurrentProcess(), pages.page(1) - 4, bytes, sizeof bytes, &count), 0);
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(std::memcmp(pages.page(1) - 4, bytes, 4), 0);

  auto* nowhere = reinterpret_cast<void*>(~std::uintptr_t{0} - 3);
  EXPECT_EQ(WriteProcessMemory(GetCurrentProcess(), nowhere, bytes, sizeof bytes, &count), 0);
  EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace trenmoor::win
