#include "registry/registry_access.h"

#include "platform/window_calls.h"

#include <array>
#include <limits>
#include <string_view>

namespace trenmoor {
namespace {

using win::BYTE;
using win::DWORD;
using win::ERROR_MORE_DATA;
using win::ERROR_SUCCESS;
using win::HKEY;
using win::LSTATUS;

// Names are fetched into buffers of this size first. A longer name is fetched again into a
// buffer twice as large, up to the largest name the registry holds, so that a long name is
// listed instead of ending the listing.
constexpr std::size_t kNameBufferSize = 256;
constexpr std::size_t kLargestNameBuffer = 65536;

constexpr win::REGSAM kReadWriteAccess = win::KEY_READ | win::KEY_WRITE;

struct RootName {
  std::string_view name;
  HKEY root;
};
constexpr std::array<RootName, 4> kRootNames = {{
    {"HKEY_CLASSES_ROOT", win::HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", win::HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", win::HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", win::HKEY_USERS},
}};

// Indexed by root code - 1.
constexpr std::array<HKEY, 5> kRootCodes = {win::HKEY_CLASSES_ROOT, win::HKEY_CURRENT_CONFIG,
                                            win::HKEY_CURRENT_USER, win::HKEY_LOCAL_MACHINE,
                                            win::HKEY_USERS};

// Closes a key handed out by openKey when the operation ends, whichever way it ends.
class KeyCloser {
 public:
  explicit KeyCloser(HKEY key) : key_(key) {}
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;
  ~KeyCloser() {
    if (key_ != 0) win::RegCloseKey(key_);
  }

 private:
  HKEY key_;
};

// Position of the last backslash, stepping over double-byte characters; npos when none.
std::size_t lastBackslash(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t at = findText(path, "\\"); at != std::string_view::npos;
       at = findText(path, "\\", at + 1))
    last = at;
  return last;
}

// The name of the sub-key at `index`.
LSTATUS enumSubKeyName(HKEY key, DWORD index, Text& name) {
  Text buffer(kNameBufferSize, '\0');
  for (;;) {
    const LSTATUS status =
        win::RegEnumKeyA(key, index, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (status == ERROR_MORE_DATA && buffer.size() < kLargestNameBuffer) {
      buffer.assign(buffer.size() * 2, '\0');
      continue;
    }
    if (status == ERROR_SUCCESS) name.assign(buffer.c_str());
    return status;
  }
}

// The name of the value at `index` with its type and data size (each optional); `buffer` is
// left at a size that holds the name.
LSTATUS enumValueName(HKEY key, DWORD index, Text& buffer, Text& name, DWORD* type,
                      DWORD* dataSize) {
  buffer.assign(kNameBufferSize, '\0');
  for (;;) {
    auto nameSize = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        win::RegEnumValueA(key, index, buffer.data(), &nameSize, nullptr, type, nullptr, dataSize);
    if (status == ERROR_MORE_DATA && buffer.size() < kLargestNameBuffer) {
      buffer.assign(buffer.size() * 2, '\0');
      continue;
    }
    if (status == ERROR_SUCCESS) name.assign(buffer.data(), nameSize);
    return status;
  }
}

bool setValue(HKEY key, const Text& valueName, const Bytes& data, std::int32_t type) {
  if (data.size() > std::numeric_limits<DWORD>::max()) return false;
  return win::RegSetValueExA(key, valueName.c_str(), 0, static_cast<DWORD>(type), data.data(),
                             static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

Bytes textBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Text bytesText(const Bytes& bytes) { return Text(bytes.begin(), bytes.end()); }

const Text& valueTypeText(std::int32_t type) {
  static const Text kNone;
  switch (type) {
    case 0: return ansiLiteral<"REG_NONE - 字节集，值为：">();
    case 1: return ansiLiteral<"REG_SZ - 字符串值，值为：">();
    case 2: return ansiLiteral<"REG_REG_EXPAND_SZ - 可扩充字符串值，值为：">();
    case 3: return ansiLiteral<"REG_BINARY - 二进制，值为：">();
    case 4: return ansiLiteral<"REG_DWORD - DWORD，值为：">();
    case 7: return ansiLiteral<"REG_MULTI_SZ - 多字符串值，值为：">();
    default: return kNone;
  }
}

}  // namespace


RegistryAccess::~RegistryAccess() = default;

std::unique_ptr<RegistryAccess> RegistryAccess::copy() const {
  return std::make_unique<RegistryAccess>(*this);
}

win::HKEY RegistryAccess::openKey(const RegistryPath& path, bool create) {
  // 1. The root name is the text before the first backslash, the sub-key path what follows.
  const std::size_t cut = findText(path, "\\");
  if (cut == std::string_view::npos) return 0;
  const std::string_view rootName = std::string_view(path).substr(0, cut);
  const char* subKey = path.c_str() + cut + 1;
  // 2. The root name must be one of the four, exactly.
  for (const RootName& entry : kRootNames) {
    if (entry.name != rootName) continue;
    // 3. Open, or create with the missing parents.
    HKEY key = 0;
    const LSTATUS status = create ? win::RegCreateKeyA(entry.root, subKey, &key)
                                  : win::RegOpenKeyA(entry.root, subKey, &key);
    // 4. The caller owns the handle.
    return status == ERROR_SUCCESS ? key : 0;
  }
  return 0;
}

std::int32_t RegistryAccess::listSubKeys(const RegistryPath& path, std::vector<Text>& names) {
  names.clear();
  const HKEY key = openKey(path);
  if (key == 0) return -1;
  KeyCloser closer(key);
  Text name;
  for (DWORD index = 0; enumSubKeyName(key, index, name) == ERROR_SUCCESS; ++index) {
    names.push_back(name);
    processPendingEvents();
  }
  return static_cast<std::int32_t>(names.size());
}

std::int32_t RegistryAccess::listValues(const RegistryPath& path, std::vector<Text>& names,
                                        std::vector<Bytes>& data,
                                        std::vector<std::int32_t>& types) {
  names.clear();
  data.clear();
  types.clear();
  const HKEY key = openKey(path);
  if (key == 0) return -1;
  KeyCloser closer(key);
  Text buffer;
  Text name;
  for (DWORD index = 0;; ++index) {
    // 1. The name, type and data size.
    DWORD type = 0;
    DWORD size = 0;
    if (enumValueName(key, index, buffer, name, &type, &size) != ERROR_SUCCESS) break;
    // 2. The data, into a buffer of the reported size.
    Bytes bytes(size);
    auto nameSize = static_cast<DWORD>(buffer.size());
    DWORD dataSize = size;
    // 3. A value that changed in between is skipped; the listing goes on.
    if (win::RegEnumValueA(key, index, buffer.data(), &nameSize, nullptr, &type, bytes.data(),
                           &dataSize) == ERROR_SUCCESS) {
      bytes.resize(dataSize);
      names.emplace_back(buffer.data(), nameSize);
      data.push_back(std::move(bytes));
      types.push_back(static_cast<std::int32_t>(type));
    }
    // 4. Let the window events in.
    processPendingEvents();
  }
  return static_cast<std::int32_t>(names.size());
}

Text RegistryAccess::describeValueType(const RegistryPath& path, const Text& valueName) {
  const HKEY key = openKey(path);
  if (key == 0) return {};
  KeyCloser closer(key);
  Text buffer;
  Text name;
  DWORD type = 0;
  for (DWORD index = 0; enumValueName(key, index, buffer, name, &type, nullptr) == ERROR_SUCCESS;
       ++index) {
    if (name != valueName) continue;
    const auto kind = static_cast<std::int32_t>(type);
    const Text& text = valueTypeText(kind);
    return text.empty() ? Text() : text + integerToText(kind);
  }
  return {};
}

bool RegistryAccess::keyOrValueExists(const RegistryPath& path, const Text& valueName) {
  const HKEY key = openKey(path);
  if (key == 0) return false;
  KeyCloser closer(key);
  if (valueName.empty()) return true;
  // Asking for the size alone finds a value of any size.
  DWORD size = 0;
  return win::RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, nullptr, &size) ==
         ERROR_SUCCESS;
}

bool RegistryAccess::flushKey(const RegistryPath& path) {
  const HKEY key = openKey(path);
  if (key == 0) return false;
  KeyCloser closer(key);
  return win::RegFlushKey(key) == ERROR_SUCCESS;
}

bool RegistryAccess::writeValue(const RegistryPath& path, const Text& valueName,
                                const Bytes& data, std::int32_t type) {
  const HKEY key = openKey(path, true);
  if (key == 0) return false;
  KeyCloser closer(key);
  return setValue(key, valueName, data, type);
}

Bytes RegistryAccess::readValue(const RegistryPath& path, const Text& valueName,
                                std::int32_t* type) {
  const HKEY key = openKey(path);
  if (key == 0) return {};
  KeyCloser closer(key);
  DWORD kind = 0;
  DWORD size = 0;
  if (win::RegQueryValueExA(key, valueName.c_str(), nullptr, &kind, nullptr, &size) !=
      ERROR_SUCCESS)
    return {};
  if (type != nullptr) *type = static_cast<std::int32_t>(kind);
  Bytes bytes(size);
  if (win::RegQueryValueExA(key, valueName.c_str(), nullptr, &kind, bytes.data(), &size) !=
      ERROR_SUCCESS)
    return {};
  if (type != nullptr) *type = static_cast<std::int32_t>(kind);
  bytes.resize(size);
  return bytes;
}

bool RegistryAccess::writeValueUnderRoot(std::int32_t root, const Text& subKeyPath,
                                         const Text& valueName, const Bytes& data,
                                         std::int32_t type) {
  // 1. A code outside 1 to 5 names no root: nothing is written.
  if (root < 1 || root > static_cast<std::int32_t>(kRootCodes.size())) return false;
  // 2. The root itself, for reading and writing.
  HKEY rootKey = 0;
  if (win::RegOpenKeyExA(kRootCodes[static_cast<std::size_t>(root - 1)], "", 0, kReadWriteAccess,
                         &rootKey) != ERROR_SUCCESS)
    return false;
  KeyCloser rootCloser(rootKey);
  // 3. The sub-key, created when missing, and the value in it.
  HKEY key = 0;
  if (win::RegCreateKeyExA(rootKey, subKeyPath.c_str(), 0, nullptr, win::REG_OPTION_NON_VOLATILE,
                           kReadWriteAccess, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  KeyCloser closer(key);
  return setValue(key, valueName, data, type);
}

bool RegistryAccess::writeDword(const RegistryPath& path, const Text& valueName,
                                std::int32_t number) {
  const auto bits = static_cast<std::uint32_t>(number);
  const Bytes bytes = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                       static_cast<std::uint8_t>(bits >> 16),
                       static_cast<std::uint8_t>(bits >> 24)};
  return writeValue(path, valueName, bytes, win::REG_DWORD);
}

std::int32_t RegistryAccess::readDword(const RegistryPath& path, const Text& valueName) {
  const Bytes bytes = readValue(path, valueName);
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
    bits |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

bool RegistryAccess::writeBinary(const RegistryPath& path, const Text& valueName,
                                 const Bytes& data) {
  return writeValue(path, valueName, data, win::REG_BINARY);
}

Bytes RegistryAccess::readBinary(const RegistryPath& path, const Text& valueName) {
  return readValue(path, valueName);
}

bool RegistryAccess::writeString(const RegistryPath& path, const Text& valueName,
                                 const Text& text) {
  return writeValue(path, valueName, textBytes(text), win::REG_SZ);
}

Text RegistryAccess::readString(const RegistryPath& path, const Text& valueName) {
  const Text text = bytesText(readValue(path, valueName));
  return text.substr(0, text.find('\0'));
}

bool RegistryAccess::writeMultiString(const RegistryPath& path, const Text& valueName,
                                      const Text& text) {
  Text list = replaceText(text, "\r\n", std::string_view("\0", 1));
  list.append(2, '\0');
  return writeValue(path, valueName, textBytes(list), win::REG_MULTI_SZ);
}

Text RegistryAccess::readMultiString(const RegistryPath& path, const Text& valueName) {
  return replaceText(bytesText(readValue(path, valueName)), std::string_view("\0", 1), "\r\n");
}

bool RegistryAccess::writeExpandString(const RegistryPath& path, const Text& valueName,
                                       const Text& text) {
  return writeValue(path, valueName, textBytes(text), win::REG_EXPAND_SZ);
}

Text RegistryAccess::readExpandString(const RegistryPath& path, const Text& valueName) {
  return readString(path, valueName);
}

bool RegistryAccess::deleteKey(const RegistryPath& fullPath) {
  // The calls beneath read the path up to its first zero byte; so does the walk below, which
  // otherwise would list the shorter key's sub-keys under the longer path without end.
  const RegistryPath path = fullPath.c_str();
  // 1. A trailing backslash names no key to delete.
  const std::size_t cut = lastBackslash(path);
  if (cut == std::string_view::npos || cut + 1 == path.size()) return false;
  // 2. The parent path keeps its backslash; the key name follows it.
  const RegistryPath parentPath = path.substr(0, cut + 1);
  const Text keyName = path.substr(cut + 1);
  // 3. The parent must open.
  const HKEY parent = openKey(parentPath);
  if (parent == 0) return false;
  KeyCloser closer(parent);
  // 4. Everything below the key first, depth first; what remains makes step 5 fail.
  std::vector<Text> subKeys;
  listSubKeys(path, subKeys);
  for (const Text& subKey : subKeys) deleteKey(path + "\\" + subKey);
  // 5. The key itself.
  return win::RegDeleteKeyA(parent, keyName.c_str()) == ERROR_SUCCESS;
}

bool RegistryAccess::deleteValue(const RegistryPath& path, const Text& valueName) {
  const HKEY key = openKey(path);
  if (key == 0) return false;
  KeyCloser closer(key);
  return win::RegDeleteValueA(key, valueName.c_str()) == ERROR_SUCCESS;
}

}  // namespace trenmoor
