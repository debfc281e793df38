// The registry calls over the process's hive: a table of open handles, the access each was
// granted, and the name and path rules of the registry.
#include "platform/registry_calls.h"

#include "platform/text.h"
#include "standin/registry/registry_hive.h"
#include "standin/registry/registry_store.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace trenmoor::standin {
namespace {

using namespace trenmoor::win;

constexpr std::size_t kMaxKeyNameCharacters = 255;
constexpr std::size_t kMaxValueNameCharacters = 16383;
constexpr HKEY kFirstHandle = 0x100;
constexpr HKEY kHandleStep = 4;
constexpr HKEY kLastHandle = 0x7FFFFFFC;
constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;
constexpr std::uint64_t kNeverRead = ~std::uint64_t{0};

LSTATUS statusOf(HiveStatus status, LSTATUS notFound) {
  switch (status) {
    case HiveStatus::Ok: return ERROR_SUCCESS;
    case HiveStatus::NotFound: return notFound;
    case HiveStatus::HasSubKeys: return ERROR_ACCESS_DENIED;
    case HiveStatus::IoFailed: break;
  }
  return ERROR_REGISTRY_IO_FAILED;
}

// A listing read through a handle, kept while the hive has not changed, so that walking an
// index from 0 to the end reads the listing once.
template <typename Item>
struct CachedListing {
  std::uint64_t version = kNeverRead;
  std::vector<Item> items;

  // Rereads the listing with `read(items)` when the hive changed since it was last read.
  template <typename Read>
  LSTATUS refresh(RegistryHive& hive, Read&& read) {
    const std::uint64_t now = hive.changeCount();
    if (version == now) return ERROR_SUCCESS;
    const LSTATUS status = statusOf(read(items), ERROR_KEY_DELETED);
    version = status == ERROR_SUCCESS ? now : kNeverRead;
    return status;
  }
};

// An open key: which key, under which root, with which access, and its listings.
struct OpenKey {
  KeyId id = 0;
  HKEY root = 0;
  REGSAM granted = 0;
  CachedListing<std::string> subKeys;
  CachedListing<ValueId> values;
};

struct Registry {
  std::mutex mutex;
  std::unique_ptr<RegistryHive> hive;
  MachineWideWrites machineWide = MachineWideWrites::Refused;
  std::unordered_map<HKEY, OpenKey> handles;
  HKEY nextHandle = kFirstHandle;

  void replaceHive(std::unique_ptr<RegistryHive> replacement) {
    hive = std::move(replacement);
    handles.clear();  // handle numbers are not reused, so old handles stay invalid
  }
};

Registry& registry() {
  static Registry instance;
  return instance;
}

std::unique_ptr<RegistryHive> openHiveAt(const std::string& path) {
  if (path.empty()) return RegistryHive::openInMemory();
  std::error_code error;
  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  return RegistryHive::openFile(path);
}

// The hive in use, opening the user's hive on first use; null when it cannot be opened.
RegistryHive* hiveOf(Registry& r) {
  if (!r.hive) r.hive = openHiveAt(defaultRegistryStorePath());
  return r.hive.get();
}

// Runs one call under the registry's lock; no exception leaves a registry call.
template <typename Call>
LSTATUS guarded(Call&& call) {
  try {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    RegistryHive* hive = hiveOf(r);
    if (hive == nullptr) return ERROR_REGISTRY_IO_FAILED;
    return call(r, *hive);
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

std::optional<HiveRoot> predefinedRoot(HKEY key) {
  switch (key) {
    case HKEY_CLASSES_ROOT: return HiveRoot::ClassesRoot;
    case HKEY_CURRENT_USER: return HiveRoot::CurrentUser;
    case HKEY_LOCAL_MACHINE: return HiveRoot::LocalMachine;
    case HKEY_USERS: return HiveRoot::Users;
    case HKEY_CURRENT_CONFIG: return HiveRoot::CurrentConfig;
    default: return std::nullopt;
  }
}

bool writable(const Registry& r, HKEY root) {
  return root == HKEY_CURRENT_USER || r.machineWide == MachineWideWrites::Allowed;
}

// The access a key under `root` gets for `desired`: write rights only where the user may
// write, and MAXIMUM_ALLOWED as everything the user may have.
LSTATUS grantAccess(const Registry& r, HKEY root, REGSAM desired, REGSAM& granted) {
  desired &= ~(KEY_WOW64_64KEY | KEY_WOW64_32KEY);
  const bool mayWrite = writable(r, root);
  if ((desired & kWriteRights) != 0 && !mayWrite) return ERROR_ACCESS_DENIED;
  granted = desired & ~MAXIMUM_ALLOWED;
  if ((desired & MAXIMUM_ALLOWED) != 0) granted |= mayWrite ? KEY_ALL_ACCESS : KEY_READ;
  return ERROR_SUCCESS;
}

// The open key behind a handle, checked against the hive. Predefined roots are entered into
// the table on first use and given everything the user may have, as of this call.
LSTATUS resolve(Registry& r, RegistryHive& hive, HKEY key, OpenKey*& open) {
  if (const auto root = predefinedRoot(key)) {
    OpenKey& entry = r.handles[key];
    entry.id = rootKeyId(*root);
    entry.root = key;
    grantAccess(r, key, MAXIMUM_ALLOWED, entry.granted);
    open = &entry;
    return ERROR_SUCCESS;
  }
  const auto found = r.handles.find(key);
  if (key == 0 || found == r.handles.end()) return ERROR_INVALID_HANDLE;
  open = &found->second;
  return statusOf(hive.keyExists(open->id), ERROR_KEY_DELETED);
}

// resolve() and a check that the handle carries `needed`.
LSTATUS resolveFor(Registry& r, RegistryHive& hive, HKEY key, REGSAM needed, OpenKey*& open) {
  const LSTATUS status = resolve(r, hive, key, open);
  if (status != ERROR_SUCCESS) return status;
  return (open->granted & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += characterLength(text, at)) ++count;
  return count;
}

// The key names of a sub-key path (null: none). Splitting steps over double-byte characters,
// whose second byte may be a backslash.
LSTATUS parsePath(const char* subKey, std::vector<std::string>& names) {
  names = splitText(subKey == nullptr ? "" : subKey, "\\");
  for (const std::string& name : names) {
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (characterCount(name) > kMaxKeyNameCharacters) return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

std::string_view valueNameOf(const char* valueName) {
  return valueName == nullptr ? std::string_view() : std::string_view(valueName);
}

enum class Creation { OpenOnly, CreateMissing };

LSTATUS openOrCreate(HKEY key, const char* subKey, REGSAM desired, Creation creation,
                     HKEY* result, DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = 0;
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* parent = nullptr;
    LSTATUS status = resolve(r, hive, key, parent);
    if (status != ERROR_SUCCESS) return status;
    const HKEY root = parent->root;
    std::vector<std::string> names;
    if ((status = parsePath(subKey, names)) != ERROR_SUCCESS) return status;

    KeyId found = 0;
    bool created = false;
    const HiveStatus lookup = hive.findKey(parent->id, names, found);
    if (lookup == HiveStatus::NotFound && creation == Creation::CreateMissing) {
      if ((parent->granted & KEY_CREATE_SUB_KEY) == 0 || !writable(r, root))
        return ERROR_ACCESS_DENIED;
      status = statusOf(hive.createKey(parent->id, names, found, created), ERROR_KEY_DELETED);
    } else {
      status = statusOf(lookup, ERROR_FILE_NOT_FOUND);
    }
    if (status != ERROR_SUCCESS) return status;

    REGSAM granted = 0;
    if ((status = grantAccess(r, root, desired, granted)) != ERROR_SUCCESS) return status;
    if (r.nextHandle > kLastHandle) return ERROR_OUTOFMEMORY;
    const HKEY handle = r.nextHandle;
    r.nextHandle += kHandleStep;
    OpenKey& opened = r.handles[handle];
    opened.id = found;
    opened.root = root;
    opened.granted = granted;
    *result = handle;
    if (disposition != nullptr)
      *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  });
}

// Reports a value's type, size and data into the caller's optional out-parameters. Data that
// do not fit give ERROR_MORE_DATA with the type and the size needed, and leave `data` alone.
LSTATUS reportValue(const HiveValue& value, DWORD* type, BYTE* data, DWORD* dataSize) {
  const auto size = static_cast<DWORD>(value.data.size());
  const bool fits = data == nullptr || size <= *dataSize;
  if (fits && data != nullptr && size > 0) std::memcpy(data, value.data.data(), size);
  if (type != nullptr) *type = value.type;
  if (dataSize != nullptr) *dataSize = size;
  return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

}  // namespace

std::string defaultRegistryStorePath() {
  const auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value == nullptr ? "" : value);
  };
  if (std::string path = variable("TRENMOOR_REGISTRY"); !path.empty()) return path;
  if (std::string data = variable("XDG_DATA_HOME"); !data.empty() && data.front() == '/')
    return data + "/trenmoor/registry.sqlite";
  if (std::string home = variable("HOME"); !home.empty())
    return home + "/.local/share/trenmoor/registry.sqlite";
  return {};
}

bool openRegistryStore(const std::string& path) {
  auto hive = openHiveAt(path);
  if (!hive) return false;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.replaceHive(std::move(hive));
  return true;
}

bool openMemoryRegistryStore() { return openRegistryStore(""); }

void setMachineWideWrites(MachineWideWrites writes) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.machineWide = writes;
}

}  // namespace trenmoor::standin

namespace trenmoor::win {

using standin::guarded;
using standin::HiveValue;
using standin::OpenKey;
using standin::Registry;
using standin::RegistryHive;

LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM desired,
                      HKEY* result) {
  if (options != 0) {
    if (result != nullptr) *result = 0;
    return ERROR_INVALID_PARAMETER;
  }
  return standin::openOrCreate(key, subKey, desired, standin::Creation::OpenOnly, result,
                               nullptr);
}

LSTATUS RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
  return RegOpenKeyExA(key, subKey, 0, MAXIMUM_ALLOWED, result);
}

LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char*, DWORD options,
                        REGSAM desired, const void*, HKEY* result, DWORD* disposition) {
  if (reserved != 0 || options != REG_OPTION_NON_VOLATILE) {
    if (result != nullptr) *result = 0;
    return ERROR_INVALID_PARAMETER;
  }
  return standin::openOrCreate(key, subKey, desired, standin::Creation::CreateMissing, result,
                               disposition);
}

LSTATUS RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
  return RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED,
                         nullptr, result, nullptr);
}

LSTATUS RegCloseKey(HKEY key) {
  if (standin::predefinedRoot(key)) return ERROR_SUCCESS;
  Registry& r = standin::registry();
  std::lock_guard lock(r.mutex);
  return key != 0 && r.handles.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* open = nullptr;
    LSTATUS status = standin::resolveFor(r, hive, key, KEY_ENUMERATE_SUB_KEYS, open);
    if (status != ERROR_SUCCESS) return status;
    if (name == nullptr) return ERROR_INVALID_PARAMETER;
    status = open->subKeys.refresh(hive, [&](auto& names) {
      return hive.subKeyNames(open->id, names);
    });
    if (status != ERROR_SUCCESS) return status;
    if (index >= open->subKeys.items.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& found = open->subKeys.items[index];
    if (found.size() + 1 > nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, found.c_str(), found.size() + 1);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                      DWORD* type, BYTE* data, DWORD* dataSize) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* open = nullptr;
    LSTATUS status = standin::resolveFor(r, hive, key, KEY_QUERY_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    if (name == nullptr || nameSize == nullptr || reserved != nullptr ||
        (data != nullptr && dataSize == nullptr))
      return ERROR_INVALID_PARAMETER;
    status = open->values.refresh(hive, [&](auto& ids) { return hive.valueIds(open->id, ids); });
    if (status != ERROR_SUCCESS) return status;
    if (index >= open->values.items.size()) return ERROR_NO_MORE_ITEMS;
    HiveValue value;
    if ((status = standin::statusOf(hive.valueById(open->values.items[index], value),
                                    ERROR_NO_MORE_ITEMS)) != ERROR_SUCCESS)
      return status;
    if (value.name.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameSize = static_cast<DWORD>(value.name.size());
    return standin::reportValue(value, type, data, dataSize);
  });
}

LSTATUS RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type,
                         BYTE* data, DWORD* dataSize) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* open = nullptr;
    LSTATUS status = standin::resolveFor(r, hive, key, KEY_QUERY_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr))
      return ERROR_INVALID_PARAMETER;
    HiveValue value;
    status = standin::statusOf(hive.findValue(open->id, standin::valueNameOf(valueName), value),
                               ERROR_FILE_NOT_FOUND);
    if (status != ERROR_SUCCESS) return status;
    return standin::reportValue(value, type, data, dataSize);
  });
}

LSTATUS RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD dataSize) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* open = nullptr;
    const LSTATUS status = standin::resolveFor(r, hive, key, KEY_SET_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    const std::string_view name = standin::valueNameOf(valueName);
    if ((data == nullptr && dataSize > 0) ||
        standin::characterCount(name) > standin::kMaxValueNameCharacters)
      return ERROR_INVALID_PARAMETER;
    return standin::statusOf(hive.setValue(open->id, name, type, data, dataSize),
                             ERROR_KEY_DELETED);
  });
}

LSTATUS RegDeleteKeyA(HKEY key, const char* subKey) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* parent = nullptr;
    LSTATUS status = standin::resolve(r, hive, key, parent);
    if (status != ERROR_SUCCESS) return status;
    if (subKey == nullptr || *subKey == '\0') return ERROR_INVALID_PARAMETER;
    std::vector<std::string> names;
    if ((status = standin::parsePath(subKey, names)) != ERROR_SUCCESS) return status;
    standin::KeyId target = 0;
    if ((status = standin::statusOf(hive.findKey(parent->id, names, target),
                                    ERROR_FILE_NOT_FOUND)) != ERROR_SUCCESS)
      return status;
    if (!standin::writable(r, parent->root)) return ERROR_ACCESS_DENIED;
    return standin::statusOf(hive.deleteKey(target), ERROR_FILE_NOT_FOUND);
  });
}

LSTATUS RegDeleteValueA(HKEY key, const char* valueName) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* open = nullptr;
    const LSTATUS status = standin::resolveFor(r, hive, key, KEY_SET_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    return standin::statusOf(hive.deleteValue(open->id, standin::valueNameOf(valueName)),
                             ERROR_FILE_NOT_FOUND);
  });
}

LSTATUS RegFlushKey(HKEY key) {
  return guarded([&](Registry& r, RegistryHive& hive) {
    OpenKey* open = nullptr;
    const LSTATUS status = standin::resolve(r, hive, key, open);
    if (status != ERROR_SUCCESS) return status;
    return standin::statusOf(hive.checkpoint(), ERROR_REGISTRY_IO_FAILED);
  });
}

}  // namespace trenmoor::win
