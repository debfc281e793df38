#include <gtest/gtest.h>

#include <string>

#include "platform/module_memory.h"
#include "standin/memory/library_names.h"

namespace trenmoor::win {
namespace {

using ProbeValue = int (*)();

TEST(LibraryFileName, MapsProgramNamesToLibraryFiles) {
  const struct {
    std::string name;
    std::string file;
  } cases[] = {
      {"comdlg32.dll", "libcomdlg32.so"}, {"COMDLG32.DLL", "libcomdlg32.so"}, {"comdlg32", "libcomdlg32.so"},
      {"Mixed.Dll", "libmixed.so"},       {"mydll", "libmydll.so"},          {"printer.drv", "libprinter.drv.so"},
      {"", ""},                            {".dll", ""},                      {"../lib/evil.dll", ""},
      {"sub\\name.dll", ""},               {std::string("a\0b", 3), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(memory::libraryFileName(c.name), c.file) << c.name;
}

TEST(LibraryCalls, LibraryIsKnownOnlyOnceLoadedUnderEverySpelling) {
  // memoryidle is loaded by this test alone, so it starts unloaded in a fresh process (ctest
  // runs each test in a process of its own).
  EXPECT_EQ(GetModuleHandleA("memoryidle.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("memoryidle"), nullptr);
  HMODULE module = LoadLibraryA("MemoryIdle.DLL");
  ASSERT_NE(module, nullptr);
  for (const char* name : {"memoryidle", "memoryidle.dll", "MEMORYIDLE.DLL"}) {
    EXPECT_EQ(GetModuleHandleA(name), module) << name;
  }
  EXPECT_EQ(LoadLibraryA("memoryidle"), module);
}

TEST(LibraryCalls, UnknownOrMalformedNamesGiveNoLibrary) {
  for (const char* name : {"", ".dll", "nosuchlibrary.dll", "../lib/memoryprobe.dll", "lib/memoryprobe"}) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
    EXPECT_EQ(GetModuleHandleA(name), nullptr) << name;
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);  // the program itself
}

TEST(LibraryCalls, GetProcAddressFindsOnlyTheLibrarysOwnExports) {
  HMODULE module = LoadLibraryA("memoryprobe");
  ASSERT_NE(module, nullptr);
  auto probe = reinterpret_cast<ProbeValue>(GetProcAddress(module, "memoryProbeValue"));
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe(), 42);
  // The library depends on the C library, whose functions dlsym alone would find through it.
  EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "noSuchFunction"), nullptr);
  EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "memoryProbeValue"), nullptr);
  int notALibrary = 0;
  EXPECT_EQ(GetProcAddress(&notALibrary, "memoryProbeValue"), nullptr);
}

}  // namespace
}  // namespace trenmoor::win
