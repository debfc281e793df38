// ApiHook: redirects an exported function of a library loaded in this process to a replacement
// function of the program by writing a jump over the function's first bytes, and can pause,
// resume, query and remove that redirection. Every hook still in place is removed when the
// object is destroyed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/module_memory.h"
#include "platform/text.h"

namespace trenmoor {

// One hooked function.
struct HookRecord {
  std::uintptr_t pageBase = 0;                   // page holding the entry, at the last patch
  Text hookState;                                // hookActiveState() or hookPausedState()
  std::uintptr_t target = 0;                     // the hooked function's entry
  std::array<std::uint8_t, 4> replacementBytes{};  // replacement's address, little-endian
  win::DWORD oldProtection = 0;                  // from the last protection change
  std::array<std::uint8_t, 8> savedBytes{};      // the entry's first 8 bytes before patching
  Text hookKey;                                  // lower-case library name + function name
};

// hookState of a hook whose jump is in place ("继续") and of a paused one ("暂停").
const Text& hookActiveState();
const Text& hookPausedState();

// The jump written at a hooked function's entry: mov eax, replacement; jmp rax/eax. The
// replacement's address is loaded zero-extended, so it must lie below 4 GiB (the program is
// linked position-dependent for that).
constexpr std::size_t kHookPatchSize = 7;
std::array<std::uint8_t, kHookPatchSize> hookPatch(const std::array<std::uint8_t, 4>& replacementBytes);

// A library name as the hook tables keep it: a name whose last three characters are not "dll"
// (in any case) gets ".dll" appended; any other is left as it is.
Text normaliseLibraryName(const Text& library);

class ApiHook {
 public:
  ApiHook() = default;
  ApiHook& operator=(const ApiHook&) = delete;

  // Clean-up: uninstallAllHooks.
  virtual ~ApiHook();

  // A new ApiHook holding copies of all records; no code is patched. Both objects then restore
  // the same functions when they remove their hooks.
  virtual std::unique_ptr<ApiHook> copy() const;

  // Redirects `function` of `library` (normalised in place) to `replacement`, which must have
  // the same calling convention and arguments. The library is loaded when it is not yet (and
  // then never unloaded). An existing hook of the same name is resumed instead, with its own
  // replacement, and the result is resumeHook's. False, with no record kept and nothing
  // patched, for a library that cannot be loaded, a function it does not export, an entry that
  // cannot be read, queried, protected or written, a null replacement or one at or above
  // 4 GiB, and an entry that another record already hooks under a different name.
  virtual bool installHook(Text& library, const Text& function, win::FARPROC replacement);

  // Writes the jump (apply true: after making the entry's page execute-read-write and noting
  // its base and previous protection in the record) or the saved bytes (apply false; the
  // protection is left alone). Non-zero on success; 0 for a record without a target or when
  // the page cannot be queried, protected or written.
  virtual std::int32_t applyPatch(bool apply, HookRecord& record);

  // Puts the jump of a paused hook back. True when the hook is active afterwards (at once for
  // one that is active already); false, and the hook stays paused, when the jump cannot be
  // written; false when there is no such hook.
  virtual bool resumeHook(Text& library, const Text& function);

  // Whether a hook of that name is installed, active or paused.
  virtual bool isHooked(Text& library, const Text& function);

  // Puts the saved bytes back while keeping the record. True when the hook is paused
  // afterwards (at once for one that is paused already); false, and the hook stays active,
  // when the bytes cannot be written; false when there is no such hook.
  virtual bool pauseHook(Text& library, const Text& function);

  // The base of the page that held the entry at the hook's last patch; -1 when there is no
  // such hook.
  virtual std::intptr_t hookPageBase(Text& library, const Text& function);

  // Restores the entry's first 8 bytes, makes its page execute-read and forgets the hook,
  // active or paused. False when there is no such hook.
  virtual bool uninstallHook(Text& library, const Text& function);

  // uninstallHook for every hook, the last installed first.
  virtual void uninstallAllHooks();

  // The records in order of installation.
  const std::vector<HookRecord>& hookTable() const { return hookTable_; }

 protected:
  ApiHook(const ApiHook&) = default;

 private:
  // Writes the jump (active state) or the saved bytes (paused state) unless the hook is in
  // `state` already.
  bool changeHookState(Text& library, const Text& function, const Text& state);
  // Normalises `library` in place, then finds the record of library and function; null when
  // there is none.
  HookRecord* findRecord(Text& library, const Text& function);
  void removeRecord(std::size_t index);

  std::vector<HookRecord> hookTable_;
};

}  // namespace trenmoor
