#include "hook/api_hook.h"

namespace trenmoor {

namespace {

constexpr std::size_t kSavedSize = 8;
constexpr std::uintptr_t kLargestReplacement = 0xFFFFFFFFu;

Text lowerCase(std::string_view text) { return foldLetterCase(text, LetterCase::Lower); }

bool rangesOverlap(std::uintptr_t a, std::uintptr_t b) {
  return a < b + kSavedSize && b < a + kSavedSize;
}

}  // namespace

const Text& hookActiveState() { return ansiLiteral<"继续">(); }
const Text& hookPausedState() { return ansiLiteral<"暂停">(); }

std::array<std::uint8_t, kHookPatchSize> hookPatch(const std::array<std::uint8_t, 4>& replacementBytes) {
  return {0xB8, replacementBytes[0], replacementBytes[1], replacementBytes[2], replacementBytes[3], 0xFF, 0xE0};
}

Text normaliseLibraryName(const Text& library) {
  // The last three characters, counted double-byte aware, must be the letters "dll".
  Text lowered = lowerCase(library);
  std::size_t starts[3] = {};
  std::size_t count = 0;
  for (std::size_t at = 0; at < lowered.size(); at += characterLength(lowered, at)) {
    starts[count % 3] = at;
    ++count;
  }
  bool endsInDll = count >= 3 && lowered.size() - starts[(count - 3) % 3] == 3 &&
                   lowered.compare(lowered.size() - 3, 3, "dll") == 0;
  return endsInDll ? library : library + ".dll";
}

ApiHook::~ApiHook() { uninstallAllHooks(); }

std::unique_ptr<ApiHook> ApiHook::copy() const { return std::unique_ptr<ApiHook>(new ApiHook(*this)); }

bool ApiHook::installHook(Text& library, const Text& function, win::FARPROC replacement) {
  // 1. Normalise the library name; 2. a hook of this name is resumed instead.
  if (findRecord(library, function) != nullptr) return resumeHook(library, function);

  // The jump loads a 32-bit address: a replacement out of its reach is refused.
  auto replacementAddress = reinterpret_cast<std::uintptr_t>(replacement);
  if (replacementAddress == 0 || replacementAddress > kLargestReplacement) return false;

  // 3. Find the library, loading it when needed.
  win::HMODULE module = win::GetModuleHandleA(library.c_str());
  if (module == nullptr) module = win::LoadLibraryA(library.c_str());
  if (module == nullptr) return false;

  // 4. Build the record.
  HookRecord record;
  record.hookKey = lowerCase(library + function);
  record.target = reinterpret_cast<std::uintptr_t>(win::GetProcAddress(module, function.c_str()));
  if (record.target == 0) return false;
  // A second patch over bytes already patched would save that patch as the original code.
  for (const HookRecord& other : hookTable_) {
    if (rangesOverlap(other.target, record.target)) return false;
  }
  if (win::ReadProcessMemory(win::GetCurrentProcess(), reinterpret_cast<const void*>(record.target),
                             record.savedBytes.data(), kSavedSize, nullptr) == 0) {
    return false;
  }
  for (std::size_t i = 0; i < record.replacementBytes.size(); ++i) {
    record.replacementBytes[i] = static_cast<std::uint8_t>(replacementAddress >> (8 * i));
  }

  // 5. Patch; 6. keep the record.
  if (applyPatch(true, record) == 0) return false;
  record.hookState = hookActiveState();
  hookTable_.push_back(record);
  return true;
}

std::int32_t ApiHook::applyPatch(bool apply, HookRecord& record) {
  if (record.target == 0) return 0;
  win::HANDLE process = win::GetCurrentProcess();
  auto* entry = reinterpret_cast<void*>(record.target);
  win::BOOL written = 0;
  std::size_t size = 0;
  if (apply) {
    win::MEMORY_BASIC_INFORMATION information{};
    if (win::VirtualQueryEx(process, entry, &information, sizeof information) == 0) return 0;
    win::DWORD old = 0;
    if (win::VirtualProtectEx(process, information.BaseAddress, kSavedSize, win::PAGE_EXECUTE_READWRITE, &old) == 0) {
      return 0;
    }
    record.oldProtection = old;
    record.pageBase = reinterpret_cast<std::uintptr_t>(information.BaseAddress);
    std::array<std::uint8_t, kHookPatchSize> patch = hookPatch(record.replacementBytes);
    size = patch.size();
    written = win::WriteProcessMemory(process, entry, patch.data(), size, nullptr);
  } else {
    size = record.savedBytes.size();
    written = win::WriteProcessMemory(process, entry, record.savedBytes.data(), size, nullptr);
  }
  if (written != 0) win::FlushInstructionCache(process, entry, size);
  return written != 0 ? 1 : 0;
}

bool ApiHook::resumeHook(Text& library, const Text& function) {
  return changeHookState(library, function, hookActiveState());
}

bool ApiHook::isHooked(Text& library, const Text& function) {
  return findRecord(library, function) != nullptr;
}

bool ApiHook::pauseHook(Text& library, const Text& function) {
  return changeHookState(library, function, hookPausedState());
}

std::intptr_t ApiHook::hookPageBase(Text& library, const Text& function) {
  const HookRecord* record = findRecord(library, function);
  return record == nullptr ? -1 : static_cast<std::intptr_t>(record->pageBase);
}

bool ApiHook::uninstallHook(Text& library, const Text& function) {
  const HookRecord* record = findRecord(library, function);
  if (record == nullptr) return false;
  removeRecord(static_cast<std::size_t>(record - hookTable_.data()));
  return true;
}

void ApiHook::uninstallAllHooks() {
  for (std::size_t index = hookTable_.size(); index > 0; --index) removeRecord(index - 1);
}

bool ApiHook::changeHookState(Text& library, const Text& function, const Text& state) {
  HookRecord* record = findRecord(library, function);
  if (record == nullptr) return false;
  if (record->hookState == state) return true;
  // A patch that could not be written leaves the hook in the state it was in, and says so.
  if (applyPatch(state == hookActiveState(), *record) == 0) return false;
  record->hookState = state;
  return true;
}

HookRecord* ApiHook::findRecord(Text& library, const Text& function) {
  library = normaliseLibraryName(library);
  // Keys are kept in lower case.
  Text key = lowerCase(library + function);
  for (HookRecord& record : hookTable_) {
    if (record.hookKey == key) return &record;
  }
  return nullptr;
}

void ApiHook::removeRecord(std::size_t index) {
  // The saved bytes go back in either state, and the page becomes execute-read whatever it was
  // before the hook.
  HookRecord& record = hookTable_[index];
  applyPatch(false, record);
  win::VirtualProtectEx(win::GetCurrentProcess(), reinterpret_cast<void*>(record.pageBase), kSavedSize,
                        win::PAGE_EXECUTE_READ, &record.oldProtection);
  hookTable_.erase(hookTable_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace trenmoor
