// The registry hive: a tree of keys holding typed values, kept in an SQLite database. Key and
// value names are unique without regard to case and keep the case they were created with.
// Every change is committed before the call returns (write-ahead log, full synchronous
// commits), so it survives the process ending right after. Reads never wait for another
// process's write; only writes do.
//
// A hive file carries the mark kHiveApplicationId in SQLite's application_id; a database
// without it is another program's and is refused (an unmarked database of the first schema,
// with our tables, is adopted and marked).
//
// A key whose parent id is negative hangs below the key of the negated id in another hive:
// the volatile hive keeps its keys below keys of the persistent one this way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trenmoor::standin {

using KeyId = std::int64_t;
using ValueId = std::int64_t;

// Damaged: the file is not a sound SQLite database (cut, overwritten); reported on the
// standard error stream once per hive.
enum class HiveStatus { Ok, NotFound, HasSubKeys, IoFailed, Damaged };

// The mark of our hives in SQLite's application_id ("TmRg").
constexpr std::int32_t kHiveApplicationId = 0x546D5267;

struct HiveValue {
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// The five roots, created with every hive.
enum class HiveRoot { ClassesRoot = 1, CurrentUser, LocalMachine, Users, CurrentConfig };
constexpr KeyId rootKeyId(HiveRoot root) { return static_cast<KeyId>(root); }

// The sentence that reports the hive in the file at `path` as damaged.
std::string damagedMessage(const std::string& path);

// The name as it is compared: ASCII letters in capitals; double-byte characters of code page
// 936 are kept whole, so a trail byte is never mistaken for a letter.
std::string foldedName(std::string_view name);

class RegistryHive {
 public:
  // Why a file could not be opened as a hive.
  struct Refusal {
    HiveStatus status = HiveStatus::Ok;  // IoFailed (unreadable, foreign, newer) or Damaged
    std::string message;                 // one sentence naming the file
  };
  // The hive in the file at `path`, created with its roots when missing; null when the file
  // cannot be opened or is not a hive, with the reason in *refusal when given. Opening an
  // existing hive reads only; a new file is set up under the write lock.
  static std::unique_ptr<RegistryHive> openFile(const std::string& path,
                                                Refusal* refusal = nullptr);
  // A fresh, empty hive in memory.
  static std::unique_ptr<RegistryHive> openInMemory();

  RegistryHive(const RegistryHive&) = delete;
  RegistryHive& operator=(const RegistryHive&) = delete;
  ~RegistryHive();

  // A number that grows whenever the hive changes, through this object or another connection.
  std::uint64_t changeCount();

  HiveStatus keyExists(KeyId key);
  // The sub-key `name` of `parent`.
  HiveStatus findChild(KeyId parent, std::string_view name, KeyId& found);
  // Walks `names` down from `from`.
  HiveStatus findKey(KeyId from, const std::vector<std::string>& names, KeyId& found);
  // Walks `names` down from `from`, creating the missing keys in one transaction; `created`
  // tells whether any was. A negative `from` names a key of another hive, taken as existing.
  HiveStatus createKey(KeyId from, const std::vector<std::string>& names, KeyId& found,
                       bool& created);
  // Deletes a key without sub-keys, with its values.
  HiveStatus deleteKey(KeyId key);
  // Sub-key names, ordered by their folded names.
  HiveStatus subKeyNames(KeyId key, std::vector<std::string>& names);

  // Value ids in the order the values were first written.
  HiveStatus valueIds(KeyId key, std::vector<ValueId>& ids);
  HiveStatus valueById(ValueId id, HiveValue& value);
  HiveStatus findValue(KeyId key, std::string_view name, HiveValue& value);
  // Writes a value; one of the same name (without regard to case) is replaced in place.
  HiveStatus setValue(KeyId key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::size_t size);
  HiveStatus deleteValue(KeyId key, std::string_view name);

  // Folds the write-ahead log back into the database file.
  HiveStatus checkpoint();

 private:
  struct Connection;
  explicit RegistryHive(std::unique_ptr<Connection> connection);
  std::unique_ptr<Connection> connection_;
};

}  // namespace trenmoor::standin
