#include "hook/api_hook.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <vector>

namespace trenmoor {
namespace {

using Add = int (*)(int, int);
using Triple = int (*)(int);
using Value = int (*)();
using Entry = std::array<std::uint8_t, 8>;

int multiplyInstead(int a, int b) { return a * b + 1000; }
int negateInstead(int a) { return -a; }
int sevenInstead() { return 7; }

template <typename Function>
win::FARPROC asProc(Function* function) {
  return reinterpret_cast<win::FARPROC>(function);
}

template <typename Function>
std::uintptr_t addressOf(Function* function) {
  return reinterpret_cast<std::uintptr_t>(function);
}

template <typename Function>
Function exported(const char* library, const char* name) {
  win::HMODULE module = win::LoadLibraryA(library);
  return module == nullptr ? nullptr : reinterpret_cast<Function>(win::GetProcAddress(module, name));
}

template <typename Function>
Entry entryOf(Function* function) {
  Entry bytes{};
  win::ReadProcessMemory(win::GetCurrentProcess(), reinterpret_cast<const void*>(function), bytes.data(),
                         bytes.size(), nullptr);
  return bytes;
}

template <typename Function>
Entry patchedEntry(const Entry& before, Function* replacement) {
  std::array<std::uint8_t, 4> address{};
  for (std::size_t i = 0; i < address.size(); ++i) address[i] = static_cast<std::uint8_t>(addressOf(replacement) >> (8 * i));
  Entry expected = before;
  std::array<std::uint8_t, kHookPatchSize> patch = hookPatch(address);
  std::copy(patch.begin(), patch.end(), expected.begin());
  return expected;
}

template <typename Function>
win::DWORD protectionAt(Function* function) {
  win::MEMORY_BASIC_INFORMATION information{};
  win::VirtualQueryEx(win::GetCurrentProcess(), reinterpret_cast<const void*>(function), &information,
                      sizeof information);
  return information.Protect;
}

template <typename Function>
std::intptr_t pageOf(Function* function) {
  return static_cast<std::intptr_t>(addressOf(function) & ~static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE) - 1));
}

// Records the order in which hooks are restored, and can make every patch fail.
class RecordingHook : public ApiHook {
 public:
  std::int32_t applyPatch(bool apply, HookRecord& record) override {
    if (!apply) restored.push_back(record.target);
    return failPatches ? 0 : ApiHook::applyPatch(apply, record);
  }
  std::vector<std::uintptr_t> restored;
  bool failPatches = false;
};

class ApiHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    add = exported<Add>("hooktarget", "hookTargetAdd");
    triple = exported<Triple>("hooktarget", "hookTargetTriple");
    ASSERT_NE(add, nullptr);
    ASSERT_NE(triple, nullptr);
    addBefore = entryOf(add);
    tripleBefore = entryOf(triple);
    // The jump reaches only replacements below 4 GiB: the program is linked position-dependent.
    ASSERT_LE(addressOf(&multiplyInstead), 0xFFFFFFFFu);
  }

  bool installAdd(ApiHook& hook) {
    Text library = "hooktarget";
    return hook.installHook(library, "hookTargetAdd", asProc(&multiplyInstead));
  }
  bool installTriple(ApiHook& hook) {
    Text library = "hooktarget";
    return hook.installHook(library, "hookTargetTriple", asProc(&negateInstead));
  }
  void expectOriginals() {
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_EQ(triple(4), 12);
    EXPECT_EQ(entryOf(add), addBefore);
    EXPECT_EQ(entryOf(triple), tripleBefore);
  }

  Add add = nullptr;
  Triple triple = nullptr;
  Entry addBefore{};
  Entry tripleBefore{};
};

TEST_F(ApiHookTest, CallsGoToTheReplacementOnlyWhileTheHookIsActive) {
  ApiHook hook;
  Text library = "hooktarget";
  ASSERT_TRUE(hook.installHook(library, "hookTargetAdd", asProc(&multiplyInstead)));
  EXPECT_EQ(library, "hooktarget.dll");
  EXPECT_EQ(add(2, 3), 1006);
  EXPECT_EQ(entryOf(add), patchedEntry(addBefore, &multiplyInstead));
  ASSERT_EQ(hook.hookTable().size(), 1u);
  EXPECT_EQ(hook.hookTable()[0].hookKey, "hooktarget.dllhooktargetadd");
  EXPECT_EQ(hook.hookTable()[0].hookState, hookActiveState());
  EXPECT_EQ(hook.hookTable()[0].oldProtection, win::PAGE_EXECUTE_READ);
  EXPECT_EQ(hook.hookPageBase(library, "hookTargetAdd"), pageOf(add));

  // Pausing twice, or resuming an active hook, changes nothing and succeeds.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(hook.pauseHook(library, "hookTargetAdd"));
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_EQ(entryOf(add), addBefore);
    EXPECT_EQ(hook.hookTable()[0].hookState, hookPausedState());
    EXPECT_TRUE(hook.isHooked(library, "hookTargetAdd"));
  }
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(hook.resumeHook(library, "hookTargetAdd"));
    EXPECT_EQ(add(2, 3), 1006);
    EXPECT_EQ(entryOf(add), patchedEntry(addBefore, &multiplyInstead));
    EXPECT_EQ(hook.hookTable()[0].hookState, hookActiveState());
  }

  ASSERT_TRUE(hook.uninstallHook(library, "hookTargetAdd"));
  EXPECT_EQ(add(2, 3), 5);
  EXPECT_EQ(entryOf(add), addBefore);
  EXPECT_EQ(protectionAt(add), win::PAGE_EXECUTE_READ);
  EXPECT_TRUE(hook.hookTable().empty());
  EXPECT_FALSE(hook.isHooked(library, "hookTargetAdd"));
  EXPECT_EQ(hook.hookPageBase(library, "hookTargetAdd"), -1);
  EXPECT_FALSE(hook.uninstallHook(library, "hookTargetAdd"));
  EXPECT_FALSE(hook.pauseHook(library, "hookTargetAdd"));
  EXPECT_FALSE(hook.resumeHook(library, "hookTargetAdd"));
}

TEST_F(ApiHookTest, InstallingAgainKeepsOneRecordAndResumesIt) {
  ApiHook hook;
  ASSERT_TRUE(installAdd(hook));
  Text library = "HOOKTARGET.DLL";
  ASSERT_TRUE(hook.pauseHook(library, "hookTargetAdd"));
  // The second installation resumes the first, replacement included.
  Text again = "hooktarget.dll";
  ASSERT_TRUE(hook.installHook(again, "HookTargetAdd", asProc(&sevenInstead)));
  ASSERT_EQ(hook.hookTable().size(), 1u);
  EXPECT_EQ(hook.hookTable()[0].hookState, hookActiveState());
  EXPECT_EQ(add(2, 3), 1006);
}

TEST(NormaliseLibraryName, AppendsDllOnlyWhenTheNameDoesNotEndInIt) {
  const struct {
    Text name;
    Text normalised;
  } cases[] = {
      {"comdlg32.dll", "comdlg32.dll"}, {"COMDLG32.DLL", "COMDLG32.DLL"}, {"comdlg32", "comdlg32.dll"},
      {"mydll", "mydll"},               {"MyDLL", "MyDLL"},               {"", ".dll"},
      {"dl", "dl.dll"},
      // The last three characters: here a double-byte character ending in 'd', then "ll".
      {"x\x81" "dll", "x\x81" "dll.dll"},
  };
  for (const auto& c : cases) EXPECT_EQ(normaliseLibraryName(c.name), c.normalised) << c.name;
}

TEST_F(ApiHookTest, EverySpellingOfTheLibraryAddressesTheSameHook) {
  ApiHook hook;
  Text installed = "hooktarget.dll";
  ASSERT_TRUE(hook.installHook(installed, "hookTargetAdd", asProc(&multiplyInstead)));
  const struct {
    Text spelling;
    Text normalised;
  } cases[] = {
      {"hooktarget.dll", "hooktarget.dll"}, {"hooktarget", "hooktarget.dll"}, {"HOOKTARGET.DLL", "HOOKTARGET.DLL"},
      {"HookTarget", "HookTarget.dll"},
  };
  for (const auto& c : cases) {
    Text library = c.spelling;
    EXPECT_TRUE(hook.isHooked(library, "hookTargetAdd")) << c.spelling;
    EXPECT_EQ(library, c.normalised);
    library = c.spelling;
    EXPECT_EQ(hook.hookPageBase(library, "HOOKTARGETADD"), pageOf(add)) << c.spelling;
  }
  Text other = "hooktarget.dl";
  EXPECT_FALSE(hook.isHooked(other, "hookTargetAdd"));
  Text removal = "HOOKTARGET";
  EXPECT_TRUE(hook.uninstallHook(removal, "hookTargetAdd"));
  expectOriginals();
}

TEST_F(ApiHookTest, RefusedInstallationsKeepNoRecordAndPatchNothing) {
  const struct {
    const char* library;
    const char* function;
    win::FARPROC replacement;
  } cases[] = {
      {"nosuchlibrary.dll", "hookTargetAdd", asProc(&multiplyInstead)},
      {"hooktarget", "noSuchFunction", asProc(&multiplyInstead)},
      {"hooktarget", "malloc", asProc(&multiplyInstead)},  // only a dependency's export
      {"hooktarget", "hookTargetAdd", nullptr},
      // Never called: the jump could not reach it.
      {"hooktarget", "hookTargetAdd", reinterpret_cast<win::FARPROC>(std::uintptr_t{0x100000000})},
      {"hooktarget", "hookTargetAdd", reinterpret_cast<win::FARPROC>(std::uintptr_t{0x7F0012345670})},
  };
  ApiHook hook;
  for (const auto& c : cases) {
    Text library = c.library;
    EXPECT_FALSE(hook.installHook(library, c.function, c.replacement)) << c.library << " " << c.function;
    EXPECT_TRUE(hook.hookTable().empty());
    expectOriginals();
  }
}

TEST_F(ApiHookTest, OneEntryCannotBeHookedUnderTwoNames) {
  auto value = exported<Value>("hookdll", "hookDllValue");
  ASSERT_NE(value, nullptr);
  Entry before = entryOf(value);
  {
    ApiHook hook;
    Text bare = "hookdll";
    ASSERT_TRUE(hook.installHook(bare, "hookDllValue", asProc(&sevenInstead)));
    EXPECT_EQ(bare, "hookdll");  // ends in "dll" already
    Text dotted = "hookdll.dll";  // a different key for the same library and entry
    EXPECT_FALSE(hook.installHook(dotted, "hookDllValue", asProc(&sevenInstead)));
    EXPECT_EQ(hook.hookTable().size(), 1u);
    EXPECT_EQ(value(), 7);
  }
  EXPECT_EQ(value(), 5);
  EXPECT_EQ(entryOf(value), before);
}

TEST_F(ApiHookTest, DestructionRestoresEveryHook) {
  {
    ApiHook hook;
    ASSERT_TRUE(installAdd(hook));
    ASSERT_TRUE(installTriple(hook));
    EXPECT_EQ(add(2, 3), 1006);
    EXPECT_EQ(triple(4), -4);
    Text library = "hooktarget";
    ASSERT_TRUE(hook.pauseHook(library, "hookTargetTriple"));
  }
  expectOriginals();
  EXPECT_EQ(protectionAt(add), win::PAGE_EXECUTE_READ);
  EXPECT_EQ(protectionAt(triple), win::PAGE_EXECUTE_READ);
}

TEST_F(ApiHookTest, RemovingAllHooksStartsFromTheLastInstalled) {
  RecordingHook hook;
  ASSERT_TRUE(installAdd(hook));
  ASSERT_TRUE(installTriple(hook));
  hook.uninstallAllHooks();
  EXPECT_EQ(hook.restored, (std::vector<std::uintptr_t>{addressOf(triple), addressOf(add)}));
  EXPECT_TRUE(hook.hookTable().empty());
  expectOriginals();
}

TEST_F(ApiHookTest, APatchThatCannotBeWrittenLeavesTheHookAsItWas) {
  RecordingHook hook;
  hook.failPatches = true;
  EXPECT_FALSE(installAdd(hook));
  EXPECT_TRUE(hook.hookTable().empty());

  hook.failPatches = false;
  ASSERT_TRUE(installAdd(hook));
  Text library = "hooktarget";
  hook.failPatches = true;
  EXPECT_FALSE(hook.pauseHook(library, "hookTargetAdd"));
  EXPECT_EQ(hook.hookTable()[0].hookState, hookActiveState());
  EXPECT_EQ(add(2, 3), 1006);

  hook.failPatches = false;
  ASSERT_TRUE(hook.pauseHook(library, "hookTargetAdd"));
  hook.failPatches = true;
  EXPECT_FALSE(hook.resumeHook(library, "hookTargetAdd"));
  EXPECT_FALSE(installAdd(hook));  // an installation that resumes reports the resumption
  EXPECT_EQ(hook.hookTable()[0].hookState, hookPausedState());
  EXPECT_EQ(add(2, 3), 5);
  hook.failPatches = false;
}

TEST_F(ApiHookTest, CopyHoldsTheRecordsAndPatchesNothing) {
  ApiHook hook;
  ASSERT_TRUE(installAdd(hook));
  Text library = "hooktarget";
  ASSERT_TRUE(hook.pauseHook(library, "hookTargetAdd"));
  std::unique_ptr<ApiHook> copy = hook.copy();
  ASSERT_EQ(copy->hookTable().size(), 1u);
  EXPECT_EQ(copy->hookTable()[0].hookKey, hook.hookTable()[0].hookKey);
  EXPECT_EQ(copy->hookTable()[0].target, addressOf(add));
  EXPECT_EQ(copy->hookTable()[0].hookState, hookPausedState());
  EXPECT_EQ(entryOf(add), addBefore);
  EXPECT_TRUE(copy->isHooked(library, "hookTargetAdd"));
}

}  // namespace
}  // namespace trenmoor
