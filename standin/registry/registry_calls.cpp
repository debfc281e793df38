// The registry calls over the process's hives (the persistent one and the volatile one): a
// table of open handles, the access each was granted, and the name and path rules of the
// registry.
#include "platform/registry_calls.h"

#include "platform/text.h"
#include "standin/registry/registry_hive.h"
#include "standin/registry/registry_store.h"

#include <algorithm>
#include <cstdio>
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
    case HiveStatus::Damaged: return ERROR_BADDB;
    case HiveStatus::IoFailed: break;
  }
  return ERROR_REGISTRY_IO_FAILED;
}

// Which hive a key lives in: the persistent one, or the volatile one in the user's runtime
// folder, which the system empties at boot.
enum class Store { Persistent, Volatile };

struct KeyPlace {
  Store store = Store::Persistent;
  KeyId id = 0;
};

// The versions of both hives a listing was read at.
struct HiveVersions {
  std::uint64_t persistent = kNeverRead;
  std::uint64_t volatileHive = kNeverRead;
  bool operator==(const HiveVersions&) const = default;
};

// A listing read through a handle, kept while the hives have not changed, so that walking an
// index from 0 to the end reads the listing once.
template <typename Item>
struct CachedListing {
  HiveVersions version;
  std::vector<Item> items;

  // Rereads the listing with `read(items)` when the hives changed since it was last read.
  template <typename Read>
  LSTATUS refresh(const HiveVersions& now, Read&& read) {
    if (version == now) return ERROR_SUCCESS;
    const LSTATUS status = statusOf(read(items), ERROR_KEY_DELETED);
    version = status == ERROR_SUCCESS ? now : HiveVersions{};
    return status;
  }
};

// An open key: which key, with which access, and its listings. `root` is the tree whose write
// rules apply. A key seen through HKEY_CLASSES_ROOT also knows the keys of its path in the
// user's and the machine's classes; `place` is the user's when there is one.
struct OpenKey {
  KeyPlace place;
  HKEY root = 0;
  REGSAM granted = 0;
  bool classesView = false;
  std::optional<KeyPlace> userClasses;
  std::optional<KeyPlace> machineClasses;
  CachedListing<std::string> subKeys;
  CachedListing<ValueId> values;
};

struct Registry {
  std::mutex mutex;
  std::unique_ptr<RegistryHive> hive;
  std::unique_ptr<RegistryHive> volatileHive;
  std::string volatilePath;  // empty: the volatile hive lives in memory
  std::optional<RegistryHive::Refusal> refusal;  // why the user's hive did not open
  std::string problem;  // why the last hive asked for did not open
  MachineWideWrites machineWide = MachineWideWrites::Refused;
  std::unordered_map<HKEY, OpenKey> handles;
  HKEY nextHandle = kFirstHandle;

  void replaceHives(std::unique_ptr<RegistryHive> replacement, std::string volatileAt) {
    hive = std::move(replacement);
    volatileHive.reset();
    volatilePath = std::move(volatileAt);
    refusal.reset();
    handles.clear();  // handle numbers are not reused, so old handles stay invalid
  }

  RegistryHive& hiveOf(Store store) { return store == Store::Volatile ? *volatileHive : *hive; }

  // The volatile hive: opened when its file exists or `create` asks for it; null otherwise.
  enum class Need { IfPresent, Create };
  RegistryHive* volatileHiveFor(Need need);

  HiveVersions versions() {
    return {hive->changeCount(), volatileHive ? volatileHive->changeCount() : kNeverRead};
  }
};

Registry& registry() {
  static Registry instance;
  return instance;
}

std::unique_ptr<RegistryHive> openHiveAt(const std::string& path,
                                         RegistryHive::Refusal* refusal = nullptr) {
  if (path.empty()) return RegistryHive::openInMemory();
  std::error_code error;
  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  return RegistryHive::openFile(path, refusal);
}

RegistryHive* Registry::volatileHiveFor(Need need) {
  if (volatileHive) return volatileHive.get();
  std::error_code error;
  if (need == Need::Create || (!volatilePath.empty() && std::filesystem::exists(volatilePath, error)))
    volatileHive = openHiveAt(volatilePath);
  return volatileHive.get();
}

// The user's hive, opened on first use. A hive that cannot be opened is said once on the
// standard error stream, and every call fails until another store is opened.
bool openDefaultHive(Registry& r) {
  if (r.hive) return true;
  if (r.refusal) return false;
  const std::string path = defaultRegistryStorePath();
  RegistryHive::Refusal refusal;
  r.hive = openHiveAt(path, &refusal);
  if (r.hive) {
    r.volatilePath = defaultVolatileStorePath(path);
    return true;
  }
  std::fprintf(stderr, "trenmoor: %s\n", refusal.message.c_str());
  r.problem = refusal.message;
  r.refusal = refusal;
  return false;
}

// Runs one call under the registry's lock; no exception leaves a registry call.
template <typename Call>
LSTATUS guarded(Call&& call) {
  try {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (!openDefaultHive(r))
      return r.refusal->status == HiveStatus::Damaged ? ERROR_BADDB : ERROR_REGISTRY_IO_FAILED;
    return call(r);
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

// --- keys across the two hives ---------------------------------------------------------------

// The sub-key `name` of `parent`: a volatile key may hang below a persistent one, never the
// other way round.
HiveStatus findChild(Registry& r, KeyPlace parent, std::string_view name, KeyPlace& found) {
  KeyId id = 0;
  if (parent.store == Store::Persistent) {
    const HiveStatus status = r.hive->findChild(parent.id, name, id);
    if (status == HiveStatus::Ok) found = {Store::Persistent, id};
    if (status != HiveStatus::NotFound) return status;
  }
  RegistryHive* volatileHive = r.volatileHiveFor(Registry::Need::IfPresent);
  if (volatileHive == nullptr) return HiveStatus::NotFound;
  const KeyId parentId = parent.store == Store::Persistent ? -parent.id : parent.id;
  const HiveStatus status = volatileHive->findChild(parentId, name, id);
  if (status == HiveStatus::Ok) found = {Store::Volatile, id};
  return status;
}

// Walks `names` from `from` as far as the keys exist: `reached` is the last key found and
// `depth` the number of names walked. Ok when the whole path exists, NotFound when not.
HiveStatus walk(Registry& r, KeyPlace from, const std::vector<std::string>& names,
                KeyPlace& reached, std::size_t& depth) {
  reached = from;
  for (depth = 0; depth < names.size(); ++depth) {
    const HiveStatus status = findChild(r, reached, names[depth], reached);
    if (status != HiveStatus::Ok) return status;
  }
  return HiveStatus::Ok;
}

std::optional<KeyPlace> find(Registry& r, KeyPlace from, const std::vector<std::string>& names,
                             HiveStatus& status) {
  KeyPlace found;
  std::size_t depth = 0;
  status = walk(r, from, names, found, depth);
  if (status != HiveStatus::Ok) return std::nullopt;
  return found;
}

HiveStatus keyExists(Registry& r, KeyPlace place) {
  if (place.store == Store::Volatile && !r.volatileHive) return HiveStatus::NotFound;
  return r.hiveOf(place.store).keyExists(place.id);
}

// Sub-key names of one key, its volatile sub-keys included, ordered by their folded names.
HiveStatus subKeyNamesOf(Registry& r, KeyPlace place, std::vector<std::string>& names) {
  const bool persistent = place.store == Store::Persistent;
  if (!persistent && !r.volatileHive) return HiveStatus::NotFound;
  HiveStatus status = r.hiveOf(place.store).subKeyNames(place.id, names);
  RegistryHive* volatileHive = r.volatileHiveFor(Registry::Need::IfPresent);
  if (status != HiveStatus::Ok || !persistent || volatileHive == nullptr) return status;
  std::vector<std::string> volatileNames;
  status = volatileHive->subKeyNames(-place.id, volatileNames);
  names.insert(names.end(), volatileNames.begin(), volatileNames.end());
  return status;
}

// Orders names by their folded form; of names that fold alike, the first listed stays.
void mergeNames(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(foldedName(name), std::move(name));
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  names.clear();
  for (std::size_t i = 0; i < keyed.size(); ++i)
    if (i == 0 || keyed[i].first != keyed[i - 1].first) names.push_back(std::move(keyed[i].second));
}

// The sub-keys of an open key: under HKEY_CLASSES_ROOT the user's and the machine's together,
// the user's first where both have a name.
HiveStatus subKeyNames(Registry& r, const OpenKey& open, std::vector<std::string>& names) {
  if (!open.classesView) {
    const HiveStatus status = subKeyNamesOf(r, open.place, names);
    if (status == HiveStatus::Ok && r.volatileHive) mergeNames(names);
    return status;
  }
  names.clear();
  for (const auto& place : {open.userClasses, open.machineClasses}) {
    if (!place) continue;
    std::vector<std::string> more;
    const HiveStatus status = subKeyNamesOf(r, *place, more);
    if (status == HiveStatus::NotFound) continue;  // that side was deleted meanwhile
    if (status != HiveStatus::Ok) return status;
    names.insert(names.end(), more.begin(), more.end());
  }
  mergeNames(names);
  return HiveStatus::Ok;
}

// Deletes a key without sub-keys (volatile ones included), with its values.
HiveStatus deleteKey(Registry& r, KeyPlace place) {
  if (place.store == Store::Persistent) {
    if (RegistryHive* volatileHive = r.volatileHiveFor(Registry::Need::IfPresent)) {
      std::vector<std::string> volatileNames;
      const HiveStatus status = volatileHive->subKeyNames(-place.id, volatileNames);
      if (status != HiveStatus::Ok) return status;
      if (!volatileNames.empty()) return HiveStatus::HasSubKeys;
    }
  } else if (!r.volatileHive) {
    return HiveStatus::NotFound;
  }
  return r.hiveOf(place.store).deleteKey(place.id);
}

enum class Volatility { NonVolatile, Volatile };

// Creates the missing keys of `names` below `from`, all in the hive of `volatility`.
LSTATUS createKeys(Registry& r, KeyPlace from, const std::vector<std::string>& names,
                   Volatility volatility, KeyPlace& found, bool& created) {
  KeyPlace reached;
  std::size_t depth = 0;
  const HiveStatus walked = walk(r, from, names, reached, depth);
  if (walked == HiveStatus::Ok) {
    found = reached;
    created = false;
    return ERROR_SUCCESS;
  }
  if (walked != HiveStatus::NotFound) return statusOf(walked, ERROR_KEY_DELETED);
  const std::vector<std::string> missing(names.begin() + static_cast<std::ptrdiff_t>(depth),
                                         names.end());
  if (volatility == Volatility::NonVolatile) {
    if (reached.store == Store::Volatile) return ERROR_CHILD_MUST_BE_VOLATILE;
    found.store = Store::Persistent;
    return statusOf(r.hive->createKey(reached.id, missing, found.id, created), ERROR_KEY_DELETED);
  }
  RegistryHive* volatileHive = r.volatileHiveFor(Registry::Need::Create);
  if (volatileHive == nullptr) return ERROR_REGISTRY_IO_FAILED;
  // A persistent parent is named by its negated id in the volatile hive.
  const KeyId parent = reached.store == Store::Persistent ? -reached.id : reached.id;
  found.store = Store::Volatile;
  return statusOf(volatileHive->createKey(parent, missing, found.id, created), ERROR_KEY_DELETED);
}

// --- handles ---------------------------------------------------------------------------------

const std::vector<std::string> kUserClassesPath = {"Software", "Classes"};

// Fills the classes fields of `open` for the path `names` below the classes keys of `from`:
// NotFound when neither the user nor the machine has that key.
HiveStatus seeThroughClasses(Registry& r, const OpenKey& from,
                             const std::vector<std::string>& names, OpenKey& open) {
  HiveStatus status = HiveStatus::NotFound;
  open.classesView = true;
  open.userClasses.reset();
  open.machineClasses.reset();
  if (from.userClasses) open.userClasses = find(r, *from.userClasses, names, status);
  if (status != HiveStatus::Ok && status != HiveStatus::NotFound) return status;
  if (from.machineClasses) open.machineClasses = find(r, *from.machineClasses, names, status);
  if (status != HiveStatus::Ok && status != HiveStatus::NotFound) return status;
  if (!open.userClasses && !open.machineClasses) return HiveStatus::NotFound;
  open.place = open.userClasses ? *open.userClasses : *open.machineClasses;
  open.root = open.userClasses ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
  return HiveStatus::Ok;
}

// HKEY_CLASSES_ROOT: the user's classes over the machine's. Writes through the root itself go
// to the machine's classes, as keys written there are the machine's.
HiveStatus openClassesRoot(Registry& r, OpenKey& entry) {
  HiveStatus status = HiveStatus::Ok;
  const KeyPlace userRoot{Store::Persistent, rootKeyId(HiveRoot::CurrentUser)};
  const KeyPlace machineRoot{Store::Persistent, rootKeyId(HiveRoot::LocalMachine)};
  entry.classesView = true;
  entry.userClasses = find(r, userRoot, kUserClassesPath, status);
  if (status != HiveStatus::Ok && status != HiveStatus::NotFound) return status;
  entry.machineClasses = find(r, machineRoot, {"SOFTWARE", "Classes"}, status);
  if (status != HiveStatus::Ok && status != HiveStatus::NotFound) return status;
  if (!entry.machineClasses)
    entry.machineClasses = KeyPlace{Store::Persistent, rootKeyId(HiveRoot::ClassesRoot)};
  entry.place = *entry.machineClasses;
  entry.root = HKEY_CLASSES_ROOT;
  return HiveStatus::Ok;
}

// The open key behind a handle, checked against the hive. Predefined roots are entered into
// the table on first use and given everything the user may have, as of this call.
LSTATUS resolve(Registry& r, HKEY key, OpenKey*& open) {
  if (const auto root = predefinedRoot(key)) {
    OpenKey& entry = r.handles[key];
    if (*root == HiveRoot::ClassesRoot) {
      if (const HiveStatus status = openClassesRoot(r, entry); status != HiveStatus::Ok)
        return statusOf(status, ERROR_KEY_DELETED);
    } else {
      entry.place = {Store::Persistent, rootKeyId(*root)};
      entry.root = key;
    }
    grantAccess(r, key, MAXIMUM_ALLOWED, entry.granted);
    open = &entry;
    return ERROR_SUCCESS;
  }
  const auto found = r.handles.find(key);
  if (key == 0 || found == r.handles.end()) return ERROR_INVALID_HANDLE;
  open = &found->second;
  return statusOf(keyExists(r, open->place), ERROR_KEY_DELETED);
}

// resolve() and a check that the handle carries `needed`.
LSTATUS resolveFor(Registry& r, HKEY key, REGSAM needed, OpenKey*& open) {
  const LSTATUS status = resolve(r, key, open);
  if (status != ERROR_SUCCESS) return status;
  return (open->granted & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += characterLength(text, at)) ++count;
  return count;
}

// The key names of a sub-key path (null: none). Splitting steps over double-byte characters,
// whose second byte may be a backslash. Up to two trailing backslashes are ignored (the split
// drops the first); below HKEY_CLASSES_ROOT a leading one is too.
enum class LeadingBackslash { Refused, Ignored };
LSTATUS parsePath(const char* subKey, LeadingBackslash leading, std::vector<std::string>& names) {
  names = splitText(subKey == nullptr ? "" : subKey, "\\");
  if (names.size() > 1 && names.back().empty()) names.pop_back();
  if (leading == LeadingBackslash::Ignored && names.size() > 1 && names.front().empty())
    names.erase(names.begin());
  for (const std::string& name : names) {
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (characterCount(name) > kMaxKeyNameCharacters) return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

LSTATUS parsePathBelow(const OpenKey& parent, const char* subKey,
                       std::vector<std::string>& names) {
  return parsePath(subKey,
                   parent.classesView ? LeadingBackslash::Ignored : LeadingBackslash::Refused,
                   names);
}

// The key at `names` below `parent`, filled into `found` (place, root and classes fields).
LSTATUS locate(Registry& r, const OpenKey& parent, const std::vector<std::string>& names,
               OpenKey& found) {
  if (parent.classesView)
    return statusOf(seeThroughClasses(r, parent, names, found), ERROR_FILE_NOT_FOUND);
  HiveStatus status = HiveStatus::Ok;
  const auto place = find(r, parent.place, names, status);
  if (!place) return statusOf(status, ERROR_FILE_NOT_FOUND);
  found.place = *place;
  found.root = parent.root;
  return ERROR_SUCCESS;
}

std::string_view valueNameOf(const char* valueName) {
  return valueName == nullptr ? std::string_view() : std::string_view(valueName);
}

enum class Creation { OpenOnly, CreateMissing };

LSTATUS openOrCreate(HKEY key, const char* subKey, REGSAM desired, Creation creation,
                     Volatility volatility, HKEY* result, DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = 0;
  return guarded([&](Registry& r) {
    OpenKey* parent = nullptr;
    LSTATUS status = resolve(r, key, parent);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::string> names;
    if ((status = parsePathBelow(*parent, subKey, names)) != ERROR_SUCCESS) return status;

    OpenKey opened;
    bool created = false;
    status = locate(r, *parent, names, opened);
    if (status == ERROR_FILE_NOT_FOUND && creation == Creation::CreateMissing) {
      // Creating needs a writable tree, not any right on the parent's handle. Below
      // HKEY_CLASSES_ROOT new keys go to the user's classes when the parent is the user's.
      if (!writable(r, parent->root)) return ERROR_ACCESS_DENIED;
      KeyPlace made;
      status = createKeys(r, parent->place, names, volatility, made, created);
      if (status == ERROR_SUCCESS) status = locate(r, *parent, names, opened);
    }
    if (status != ERROR_SUCCESS) return status;

    if ((status = grantAccess(r, opened.root, desired, opened.granted)) != ERROR_SUCCESS)
      return status;
    if (r.nextHandle > kLastHandle) return ERROR_OUTOFMEMORY;
    const HKEY handle = r.nextHandle;
    r.nextHandle += kHandleStep;
    r.handles[handle] = std::move(opened);
    *result = handle;
    if (disposition != nullptr)
      *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  });
}

// RegOpenKeyA and RegCreateKeyA: an empty or null sub-key gives back the handle passed in.
LSTATUS sameHandle(HKEY key, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = 0;
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    const LSTATUS status = resolve(r, key, open);
    if (status == ERROR_SUCCESS) *result = key;
    return status;
  });
}

bool isStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Reports a value's type, size and data into the caller's optional out-parameters. Data that
// do not fit give ERROR_MORE_DATA with the type and the size needed, and leave `data` alone.
// A string read into a buffer with room for one more byte gets a terminating zero there; the
// size reported stays the stored one.
LSTATUS reportValue(const HiveValue& value, DWORD* type, BYTE* data, DWORD* dataSize) {
  const auto size = static_cast<DWORD>(value.data.size());
  const bool fits = data == nullptr || size <= *dataSize;
  if (fits && data != nullptr) {
    if (size > 0) std::memcpy(data, value.data.data(), size);
    if (isStringType(value.type) && *dataSize > size) data[size] = 0;
  }
  if (type != nullptr) *type = value.type;
  if (dataSize != nullptr) *dataSize = size;
  return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

// 64-bit FNV-1a: a name for a file that stays the same from one build to the next.
std::uint64_t stableHash(std::string_view text) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3u;
  }
  return hash;
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

std::string defaultVolatileStorePath(const std::string& hivePath) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (hivePath.empty() || runtime == nullptr || runtime[0] != '/') return {};
  std::error_code error;
  std::string absolute = std::filesystem::absolute(hivePath, error).lexically_normal().string();
  if (error) absolute = hivePath;
  char name[64];
  std::snprintf(name, sizeof name, "/trenmoor/registry-volatile-%016llx.sqlite",
                static_cast<unsigned long long>(stableHash(absolute)));
  return runtime + std::string(name);
}

bool openRegistryStore(const std::string& path, const std::string& volatilePath) {
  RegistryHive::Refusal refusal;
  auto hive = openHiveAt(path, &refusal);
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.problem = refusal.message;
  if (!hive) return false;
  r.replaceHives(std::move(hive), volatilePath);
  return true;
}

bool openRegistryStore(const std::string& path) {
  return openRegistryStore(path, defaultVolatileStorePath(path));
}

bool openMemoryRegistryStore() { return openRegistryStore("", ""); }

std::string registryStoreProblem() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.problem;
}

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

LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM desired,
                      HKEY* result) {
  if (options != 0) {
    if (result != nullptr) *result = 0;
    return ERROR_INVALID_PARAMETER;
  }
  return standin::openOrCreate(key, subKey, desired, standin::Creation::OpenOnly,
                               standin::Volatility::NonVolatile, result, nullptr);
}

LSTATUS RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
  if (subKey == nullptr || *subKey == '\0') return standin::sameHandle(key, result);
  return RegOpenKeyExA(key, subKey, 0, MAXIMUM_ALLOWED, result);
}

LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char*, DWORD options,
                        REGSAM desired, const void*, HKEY* result, DWORD* disposition) {
  if (reserved != 0 || (options != REG_OPTION_NON_VOLATILE && options != REG_OPTION_VOLATILE)) {
    if (result != nullptr) *result = 0;
    return ERROR_INVALID_PARAMETER;
  }
  const auto volatility = options == REG_OPTION_VOLATILE ? standin::Volatility::Volatile
                                                         : standin::Volatility::NonVolatile;
  return standin::openOrCreate(key, subKey, desired, standin::Creation::CreateMissing,
                               volatility, result, disposition);
}

LSTATUS RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
  if (subKey == nullptr || *subKey == '\0') return standin::sameHandle(key, result);
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
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    LSTATUS status = standin::resolveFor(r, key, KEY_ENUMERATE_SUB_KEYS, open);
    if (status != ERROR_SUCCESS) return status;
    if (name == nullptr) return ERROR_INVALID_PARAMETER;
    status = open->subKeys.refresh(r.versions(), [&](auto& names) {
      return standin::subKeyNames(r, *open, names);
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
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    LSTATUS status = standin::resolveFor(r, key, KEY_QUERY_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    if (name == nullptr || nameSize == nullptr || reserved != nullptr ||
        (data != nullptr && dataSize == nullptr))
      return ERROR_INVALID_PARAMETER;
    standin::RegistryHive& hive = r.hiveOf(open->place.store);
    status = open->values.refresh(r.versions(), [&](auto& ids) {
      return hive.valueIds(open->place.id, ids);
    });
    if (status != ERROR_SUCCESS) return status;
    if (index >= open->values.items.size()) return ERROR_NO_MORE_ITEMS;
    HiveValue value;
    if ((status = standin::statusOf(hive.valueById(open->values.items[index], value),
                                    ERROR_NO_MORE_ITEMS)) != ERROR_SUCCESS)
      return status;
    if (value.name.size() + 1 > *nameSize) {
      // The name does not fit: the type and data size are still reported.
      if (type != nullptr) *type = value.type;
      if (dataSize != nullptr) *dataSize = static_cast<DWORD>(value.data.size());
      return ERROR_MORE_DATA;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameSize = static_cast<DWORD>(value.name.size());
    return standin::reportValue(value, type, data, dataSize);
  });
}

LSTATUS RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type,
                         BYTE* data, DWORD* dataSize) {
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    LSTATUS status = standin::resolveFor(r, key, KEY_QUERY_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr))
      return ERROR_INVALID_PARAMETER;
    HiveValue value;
    status = standin::statusOf(r.hiveOf(open->place.store)
                                   .findValue(open->place.id, standin::valueNameOf(valueName),
                                              value),
                               ERROR_FILE_NOT_FOUND);
    if (status == ERROR_FILE_NOT_FOUND && data == nullptr && dataSize != nullptr) *dataSize = 0;
    if (status != ERROR_SUCCESS) return status;
    return standin::reportValue(value, type, data, dataSize);
  });
}

LSTATUS RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD dataSize) {
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    const LSTATUS status = standin::resolveFor(r, key, KEY_SET_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    const std::string_view name = standin::valueNameOf(valueName);
    if ((data == nullptr && dataSize > 0) ||
        standin::characterCount(name) > standin::kMaxValueNameCharacters)
      return ERROR_INVALID_PARAMETER;
    return standin::statusOf(
        r.hiveOf(open->place.store).setValue(open->place.id, name, type, data, dataSize),
        ERROR_KEY_DELETED);
  });
}

LSTATUS RegDeleteKeyA(HKEY key, const char* subKey) {
  return guarded([&](Registry& r) {
    OpenKey* parent = nullptr;
    LSTATUS status = standin::resolve(r, key, parent);
    if (status != ERROR_SUCCESS) return status;
    if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
    // An empty sub-key deletes the key of the handle itself; a root is never deleted.
    if (*subKey == '\0' && standin::predefinedRoot(key)) return ERROR_ACCESS_DENIED;
    std::vector<std::string> names;
    if ((status = standin::parsePathBelow(*parent, subKey, names)) != ERROR_SUCCESS)
      return status;
    OpenKey target;
    if ((status = standin::locate(r, *parent, names, target)) != ERROR_SUCCESS) return status;
    if (!standin::writable(r, target.root)) return ERROR_ACCESS_DENIED;
    return standin::statusOf(standin::deleteKey(r, target.place), ERROR_FILE_NOT_FOUND);
  });
}

LSTATUS RegDeleteValueA(HKEY key, const char* valueName) {
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    const LSTATUS status = standin::resolveFor(r, key, KEY_SET_VALUE, open);
    if (status != ERROR_SUCCESS) return status;
    return standin::statusOf(r.hiveOf(open->place.store)
                                 .deleteValue(open->place.id, standin::valueNameOf(valueName)),
                             ERROR_FILE_NOT_FOUND);
  });
}

LSTATUS RegFlushKey(HKEY key) {
  return guarded([&](Registry& r) {
    OpenKey* open = nullptr;
    const LSTATUS status = standin::resolve(r, key, open);
    if (status != ERROR_SUCCESS) return status;
    return standin::statusOf(r.hive->checkpoint(), ERROR_REGISTRY_IO_FAILED);
  });
}

}  // namespace trenmoor::win
