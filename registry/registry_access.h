// RegistryAccess: opens, creates, reads, writes, lists and deletes registry keys and values
// named by text paths such as "HKEY_CURRENT_USER\SOFTWARE\Example". Every operation opens the
// key it needs and closes it before it returns (openKey alone hands its key to the caller);
// the object keeps no state. Failures are results: 0, -1, false, empty bytes or empty text.
#pragma once

#include "platform/registry_calls.h"
#include "platform/text.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace trenmoor {

// A root name in full and in capitals ("HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
// "HKEY_LOCAL_MACHINE" or "HKEY_USERS"), one backslash and the sub-key path; the root name and
// a backslash alone name the root itself.
using RegistryPath = Text;

// The root codes that writeValueUnderRoot takes.
enum class RegistryRoot : std::int32_t {
  ClassesRoot = 1,
  CurrentConfig = 2,
  CurrentUser = 3,
  LocalMachine = 4,
  Users = 5,
};

class RegistryAccess {
 public:
  RegistryAccess() = default;
  RegistryAccess(const RegistryAccess&) = default;
  RegistryAccess& operator=(const RegistryAccess&) = default;

  virtual ~RegistryAccess();
  virtual std::unique_ptr<RegistryAccess> copy() const;

  // The open key, created with its missing parents when `create` is true; 0 on failure. The
  // caller closes it with win::RegCloseKey.
  virtual win::HKEY openKey(const RegistryPath& path, bool create = false);
  // Sub-key names into `names` (emptied first); their number, -1 when the key cannot be opened.
  virtual std::int32_t listSubKeys(const RegistryPath& path, std::vector<Text>& names);
  // Value names, data and types into the three arrays (emptied first); the number of values,
  // -1 when the key cannot be opened.
  virtual std::int32_t listValues(const RegistryPath& path, std::vector<Text>& names,
                                  std::vector<Bytes>& data, std::vector<std::int32_t>& types);
  // "REG_SZ - 字符串值，值为：1" and the like for a value of type 0 to 4 or 7 whose name equals
  // `valueName` byte for byte; empty text otherwise.
  virtual Text describeValueType(const RegistryPath& path, const Text& valueName);
  // Whether the key opens (empty value name) or holds the value, whatever its size.
  virtual bool keyOrValueExists(const RegistryPath& path, const Text& valueName = Text());
  virtual bool flushKey(const RegistryPath& path);
  // Writes raw data with a type (REG_NONE when omitted), creating missing keys.
  virtual bool writeValue(const RegistryPath& path, const Text& valueName, const Bytes& data,
                          std::int32_t type = 0);
  // Raw data; empty when the key or value is missing. `type` receives the value's type when
  // the value was found.
  virtual Bytes readValue(const RegistryPath& path, const Text& valueName,
                          std::int32_t* type = nullptr);
  // Writes under a root code (RegistryRoot) and a sub-key path, creating missing keys; false
  // for a code outside 1 to 5.
  virtual bool writeValueUnderRoot(std::int32_t root, const Text& subKeyPath,
                                   const Text& valueName, const Bytes& data,
                                   std::int32_t type = 1);
  virtual bool writeDword(const RegistryPath& path, const Text& valueName, std::int32_t number);
  // The first 4 bytes as a little-endian number, missing bytes as zero; the type is not checked.
  virtual std::int32_t readDword(const RegistryPath& path, const Text& valueName);
  virtual bool writeBinary(const RegistryPath& path, const Text& valueName, const Bytes& data);
  virtual Bytes readBinary(const RegistryPath& path, const Text& valueName);
  // Stored as the text's bytes without a terminating zero.
  virtual bool writeString(const RegistryPath& path, const Text& valueName, const Text& text);
  // The bytes up to the first zero byte.
  virtual Text readString(const RegistryPath& path, const Text& valueName);
  // Lines separated by CR LF become zero-terminated strings followed by one more zero byte.
  virtual bool writeMultiString(const RegistryPath& path, const Text& valueName,
                                const Text& text);
  // Every zero byte read as CR LF.
  virtual Text readMultiString(const RegistryPath& path, const Text& valueName);
  virtual bool writeExpandString(const RegistryPath& path, const Text& valueName,
                                 const Text& text);
  // As readString; environment references are not expanded.
  virtual Text readExpandString(const RegistryPath& path, const Text& valueName);
  // Deletes the key with everything below it, depth first; false for a path ending in a
  // backslash or when the key itself could not be deleted.
  virtual bool deleteKey(const RegistryPath& path);
  virtual bool deleteValue(const RegistryPath& path, const Text& valueName);
};

}  // namespace trenmoor
