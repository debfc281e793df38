#include "standin/registry/registry_hive.h"

#include "platform/text.h"

#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace trenmoor::standin {
namespace {

constexpr int kSchemaVersion = 2;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS registry_key(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS registry_value(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  key INTEGER NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE(key, folded));
CREATE INDEX IF NOT EXISTS registry_value_by_key ON registry_value(key);
INSERT OR IGNORE INTO registry_key(id, parent, name, folded) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
  (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
  (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
  (4, 0, 'HKEY_USERS', 'HKEY_USERS'),
  (5, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG');
INSERT OR IGNORE INTO registry_key(parent, name, folded)
  VALUES (3, CAST('SOFTWARE' AS BLOB), CAST('SOFTWARE' AS BLOB));
INSERT OR IGNORE INTO registry_key(parent, name, folded)
  SELECT id, CAST('Classes' AS BLOB), CAST('CLASSES' AS BLOB) FROM registry_key
  WHERE parent = 3 AND folded = CAST('SOFTWARE' AS BLOB);
)sql";

// The machine's classes: HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
constexpr const char* kMachineClasses =
    "(SELECT c.id FROM registry_key c JOIN registry_key s ON c.parent = s.id "
    "WHERE s.parent = 3 AND s.folded = CAST('SOFTWARE' AS BLOB) "
    "AND c.folded = CAST('CLASSES' AS BLOB))";

// Hives of the first schema kept the classes in the HKEY_CLASSES_ROOT root itself; they move
// below the machine's classes. A name that is already there keeps the key that was there.
const std::string kMoveClassesOfFirstSchema =
    std::string("UPDATE OR IGNORE registry_key SET parent = ") + kMachineClasses +
    " WHERE parent = 1; UPDATE OR IGNORE registry_value SET key = " + kMachineClasses +
    " WHERE key = 1;";

// Names are stored and compared as blobs (a text never equals a blob in SQLite).

// The statements the hive runs, prepared once per connection.
enum Query : std::size_t {
  kKeyExists,
  kFindChild,
  kInsertChild,
  kHasChildren,
  kDeleteValuesOfKey,
  kDeleteKey,
  kChildNames,
  kValueIds,
  kValueById,
  kFindValue,
  kWriteValue,
  kDeleteValue,
  kDataVersion,
  kBegin,
  kCommit,
  kRollback,
  kQueryCount
};

constexpr std::array<const char*, kQueryCount> kQueries = {
    "SELECT 1 FROM registry_key WHERE id = ?1",
    "SELECT id FROM registry_key WHERE parent = ?1 AND folded = ?2",
    "INSERT INTO registry_key(parent, name, folded) VALUES (?1, ?2, ?3)",
    "SELECT 1 FROM registry_key WHERE parent = ?1 LIMIT 1",
    "DELETE FROM registry_value WHERE key = ?1",
    "DELETE FROM registry_key WHERE id = ?1",
    "SELECT name FROM registry_key WHERE parent = ?1 ORDER BY folded, id",
    "SELECT id FROM registry_value WHERE key = ?1 ORDER BY id",
    "SELECT name, type, data FROM registry_value WHERE id = ?1",
    "SELECT name, type, data FROM registry_value WHERE key = ?1 AND folded = ?2",
    // Replacing a value updates its row, so it keeps its place in the listing.
    "INSERT INTO registry_value(key, name, folded, type, data) "
    "SELECT ?1, ?2, ?3, ?4, ?5 WHERE EXISTS (SELECT 1 FROM registry_key WHERE id = ?1) "
    "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM registry_value WHERE key = ?1 AND folded = ?2",
    "PRAGMA data_version",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
};

// Binds bytes as a blob; a zero-length blob still needs a non-null pointer, or it binds NULL.
int bindBytes(sqlite3_stmt* statement, int index, const void* data, std::size_t size) {
  return sqlite3_bind_blob64(statement, index, size == 0 ? "" : data, size, SQLITE_TRANSIENT);
}

std::string columnText(sqlite3_stmt* statement, int column) {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
  const int size = sqlite3_column_bytes(statement, column);
  return bytes == nullptr ? std::string() : std::string(bytes, static_cast<std::size_t>(size));
}

}  // namespace

std::string foldedName(std::string_view name) { return foldLetterCase(name, LetterCase::Upper); }

// One SQLite connection with its prepared statements. Each public operation runs its queries
// through `Run`, which resets the statement whatever happens.
struct RegistryHive::Connection {
  sqlite3* db = nullptr;
  std::string path;
  bool damageReported = false;
  std::array<sqlite3_stmt*, kQueryCount> statements{};
  std::uint64_t localChanges = 0;

  enum class Storage { File, Memory };
  // A connection set up as a hive; null on any failure.
  static std::unique_ptr<Connection> open(const std::string& path, Storage storage,
                                          Refusal* refusal);

  ~Connection() {
    for (sqlite3_stmt* statement : statements) sqlite3_finalize(statement);
    sqlite3_close(db);
  }

  bool prepare() {
    for (std::size_t i = 0; i < kQueryCount; ++i)
      if (sqlite3_prepare_v3(db, kQueries[i], -1, SQLITE_PREPARE_PERSISTENT, &statements[i],
                             nullptr) != SQLITE_OK)
        return false;
    return true;
  }

  // A statement in use: bound on creation, stepped, reset and unbound when it goes.
  class Run {
   public:
    template <typename... Args>
    Run(Connection& connection, Query query, Args&&... args)
        : statement_(connection.statements[query]) {
      int index = 1;
      (bind(index++, std::forward<Args>(args)), ...);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() {
      sqlite3_reset(statement_);
      sqlite3_clear_bindings(statement_);
    }
    // SQLITE_ROW, SQLITE_DONE or an error (a failed bind included).
    int step() { return failed_ ? SQLITE_ERROR : sqlite3_step(statement_); }
    sqlite3_stmt* get() const { return statement_; }

   private:
    void bind(int index, std::int64_t value) {
      failed_ |= sqlite3_bind_int64(statement_, index, value) != SQLITE_OK;
    }
    void bind(int index, std::string_view bytes) {
      failed_ |= bindBytes(statement_, index, bytes.data(), bytes.size()) != SQLITE_OK;
    }
    void bind(int index, std::pair<const std::uint8_t*, std::size_t> bytes) {
      failed_ |= bindBytes(statement_, index, bytes.first, bytes.second) != SQLITE_OK;
    }
    sqlite3_stmt* statement_;
    bool failed_ = false;
  };

  // The status of a failed step: damage of the file (said once on the standard error
  // stream, as nothing else tells the user which file it is) or another failure.
  HiveStatus failure(int code) {
    const int primary = code & 0xFF;
    if (primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) return HiveStatus::IoFailed;
    if (!damageReported) {
      damageReported = true;
      std::fprintf(stderr, "trenmoor: %s\n", damagedMessage(path).c_str());
    }
    return HiveStatus::Damaged;
  }

  // A step that should finish: Ok when it did, or its failure.
  HiveStatus done(int code) { return code == SQLITE_DONE ? HiveStatus::Ok : failure(code); }
  // A step that looks for a row: Ok when it found one, NotFound when not, or its failure.
  HiveStatus rowFound(int code) {
    switch (code) {
      case SQLITE_ROW: return HiveStatus::Ok;
      case SQLITE_DONE: return HiveStatus::NotFound;
      default: return failure(code);
    }
  }

  // Runs a statement that returns no rows.
  template <typename... Args>
  HiveStatus execute(Query query, Args&&... args) {
    Run run(*this, query, std::forward<Args>(args)...);
    return done(run.step());
  }

  // Runs a statement and reports whether it gave a row.
  template <typename... Args>
  HiveStatus exists(Query query, Args&&... args) {
    Run run(*this, query, std::forward<Args>(args)...);
    return rowFound(run.step());
  }

  HiveStatus findChild(KeyId parent, std::string_view folded, KeyId& found) {
    Run run(*this, kFindChild, parent, folded);
    const HiveStatus status = rowFound(run.step());
    if (status == HiveStatus::Ok) found = sqlite3_column_int64(run.get(), 0);
    return status;
  }

  HiveStatus readValue(Run& run, HiveValue& value) {
    const HiveStatus status = rowFound(run.step());
    if (status != HiveStatus::Ok) return status;
    value.name = columnText(run.get(), 0);
    value.type = static_cast<std::uint32_t>(sqlite3_column_int64(run.get(), 1));
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(run.get(), 2));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(run.get(), 2));
    value.data.assign(bytes, bytes == nullptr ? bytes : bytes + size);
    return HiveStatus::Ok;
  }

  // Runs `change` inside one immediate transaction, committed when it returns Ok.
  template <typename Change>
  HiveStatus transaction(Change&& change) {
    if (const HiveStatus begun = execute(kBegin); begun != HiveStatus::Ok) return begun;
    HiveStatus status = change();
    if (status == HiveStatus::Ok) status = execute(kCommit);
    if (status == HiveStatus::Ok) {
      ++localChanges;
      return status;
    }
    execute(kRollback);
    return status;
  }

  // Counts a change committed by a single statement.
  HiveStatus committed() {
    ++localChanges;
    return HiveStatus::Ok;
  }
};

RegistryHive::RegistryHive(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

RegistryHive::~RegistryHive() = default;

std::unique_ptr<RegistryHive> RegistryHive::openFile(const std::string& path, Refusal* refusal) {
  auto connection = Connection::open(path, Connection::Storage::File, refusal);
  if (!connection) return nullptr;
  return std::unique_ptr<RegistryHive>(new RegistryHive(std::move(connection)));
}

std::unique_ptr<RegistryHive> RegistryHive::openInMemory() {
  auto connection = Connection::open(":memory:", Connection::Storage::Memory, nullptr);
  if (!connection) return nullptr;
  return std::unique_ptr<RegistryHive>(new RegistryHive(std::move(connection)));
}

std::uint64_t RegistryHive::changeCount() {
  Connection::Run run(*connection_, kDataVersion);
  const std::uint64_t external =
      run.step() == SQLITE_ROW ? static_cast<std::uint64_t>(sqlite3_column_int64(run.get(), 0)) : 0;
  return external + connection_->localChanges;
}

HiveStatus RegistryHive::keyExists(KeyId key) {
  return connection_->exists(kKeyExists, key);
}

HiveStatus RegistryHive::findChild(KeyId parent, std::string_view name, KeyId& found) {
  return connection_->findChild(parent, foldedName(name), found);
}

HiveStatus RegistryHive::findKey(KeyId from, const std::vector<std::string>& names,
                                 KeyId& found) {
  KeyId key = from;
  for (const std::string& name : names) {
    const HiveStatus status = connection_->findChild(key, foldedName(name), key);
    if (status != HiveStatus::Ok) return status;
  }
  found = key;
  return HiveStatus::Ok;
}

HiveStatus RegistryHive::createKey(KeyId from, const std::vector<std::string>& names,
                                   KeyId& found, bool& created) {
  KeyId key = from;
  bool any = false;
  const HiveStatus status = connection_->transaction([&] {
    const HiveStatus start = key < 0 ? HiveStatus::Ok : connection_->exists(kKeyExists, key);
    if (start != HiveStatus::Ok) return start;
    for (const std::string& name : names) {
      const std::string folded = foldedName(name);
      const HiveStatus child = connection_->findChild(key, folded, key);
      if (child == HiveStatus::Ok) continue;
      if (child != HiveStatus::NotFound) return child;
      if (const HiveStatus inserted = connection_->execute(
              kInsertChild, key, std::string_view(name), std::string_view(folded));
          inserted != HiveStatus::Ok)
        return inserted;
      key = sqlite3_last_insert_rowid(connection_->db);
      any = true;
    }
    return HiveStatus::Ok;
  });
  if (status != HiveStatus::Ok) return status;
  found = key;
  created = any;
  return status;
}

HiveStatus RegistryHive::deleteKey(KeyId key) {
  return connection_->transaction([&] {
    const HiveStatus children = connection_->exists(kHasChildren, key);
    if (children == HiveStatus::Ok) return HiveStatus::HasSubKeys;
    if (children != HiveStatus::NotFound) return children;
    HiveStatus deleted = connection_->execute(kDeleteValuesOfKey, key);
    if (deleted == HiveStatus::Ok) deleted = connection_->execute(kDeleteKey, key);
    if (deleted != HiveStatus::Ok) return deleted;
    return sqlite3_changes(connection_->db) == 1 ? HiveStatus::Ok : HiveStatus::NotFound;
  });
}

HiveStatus RegistryHive::subKeyNames(KeyId key, std::vector<std::string>& names) {
  Connection::Run run(*connection_, kChildNames, key);
  names.clear();
  int step;
  while ((step = run.step()) == SQLITE_ROW) names.push_back(columnText(run.get(), 0));
  return connection_->done(step);
}

HiveStatus RegistryHive::valueIds(KeyId key, std::vector<ValueId>& ids) {
  Connection::Run run(*connection_, kValueIds, key);
  ids.clear();
  int step;
  while ((step = run.step()) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(run.get(), 0));
  return connection_->done(step);
}

HiveStatus RegistryHive::valueById(ValueId id, HiveValue& value) {
  Connection::Run run(*connection_, kValueById, id);
  return connection_->readValue(run, value);
}

HiveStatus RegistryHive::findValue(KeyId key, std::string_view name, HiveValue& value) {
  Connection::Run run(*connection_, kFindValue, key, std::string_view(foldedName(name)));
  return connection_->readValue(run, value);
}

HiveStatus RegistryHive::setValue(KeyId key, std::string_view name, std::uint32_t type,
                                  const std::uint8_t* data, std::size_t size) {
  const std::string folded = foldedName(name);
  const auto bytes = std::make_pair(data, size);
  // One statement, so each write is its own durable commit; none when the key is gone.
  if (const HiveStatus written = connection_->execute(kWriteValue, key, name,
                                                      std::string_view(folded),
                                                      static_cast<std::int64_t>(type), bytes);
      written != HiveStatus::Ok)
    return written;
  if (sqlite3_changes(connection_->db) == 0) return HiveStatus::NotFound;
  return connection_->committed();
}

HiveStatus RegistryHive::deleteValue(KeyId key, std::string_view name) {
  if (const HiveStatus deleted =
          connection_->execute(kDeleteValue, key, std::string_view(foldedName(name)));
      deleted != HiveStatus::Ok)
    return deleted;
  if (sqlite3_changes(connection_->db) == 0) return HiveStatus::NotFound;
  return connection_->committed();
}

HiveStatus RegistryHive::checkpoint() {
  const int result = sqlite3_wal_checkpoint_v2(connection_->db, nullptr,
                                               SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  return result == SQLITE_OK ? HiveStatus::Ok : connection_->failure(result);
}

namespace {

// What a database is to us.
enum class Kind { Hive, OlderHive, Empty, NewerHive, Foreign, Unreadable, Damaged };

// The kind of a database that SQLite failed to read with `code`.
Kind failedKind(int code) {
  switch (code & 0xFF) {
    case SQLITE_CORRUPT: return Kind::Damaged;
    case SQLITE_NOTADB: return Kind::Foreign;
    default: return Kind::Unreadable;
  }
}

// Runs `sql`; on failure `kind` tells what that makes of the database.
bool run(sqlite3* db, const char* sql, Kind& kind) {
  const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) kind = failedKind(code);
  return code == SQLITE_OK;
}

bool run(sqlite3* db, const char* sql) {
  Kind ignored = Kind::Unreadable;
  return run(db, sql, ignored);
}

// The first column of the first row of `sql`; false (with the result code) on failure.
bool readNumber(sqlite3* db, const char* sql, std::int64_t& number, int& code) {
  sqlite3_stmt* statement = nullptr;
  code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  if (code == SQLITE_OK) code = sqlite3_step(statement);
  const bool read = code == SQLITE_ROW;
  if (read) number = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return read;
}

Kind kindOf(sqlite3* db) {
  std::int64_t mark = 0;
  std::int64_t version = 0;
  std::int64_t tables = 0;
  std::int64_t ourTables = 0;
  int code = SQLITE_OK;
  if (!readNumber(db, "PRAGMA application_id", mark, code) ||
      !readNumber(db, "PRAGMA user_version", version, code) ||
      !readNumber(db, "SELECT count(*) FROM sqlite_master", tables, code) ||
      !readNumber(db,
                  "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                  "name IN ('registry_key', 'registry_value')",
                  ourTables, code))
    return failedKind(code);
  if (mark == kHiveApplicationId) {
    if (version > kSchemaVersion) return Kind::NewerHive;
    return version == kSchemaVersion ? Kind::Hive : Kind::OlderHive;
  }
  if (mark != 0) return Kind::Foreign;
  if (tables == 0) return Kind::Empty;
  // Hives of the first schema were not marked yet.
  return version == 1 && ourTables == 2 ? Kind::OlderHive : Kind::Foreign;
}

std::string refusalMessage(Kind kind, const std::string& path) {
  switch (kind) {
    case Kind::NewerHive:
      return "the registry hive " + path + " was written by a newer version; it is left alone";
    case Kind::Foreign:
      return "the file " + path +
             " is not a registry hive (another program's file or database); it is left alone";
    case Kind::Damaged: return damagedMessage(path);
    default: return "the registry hive " + path + " cannot be read";
  }
}

// Whether the file's size is a whole number of pages: a file cut short is damaged, though
// SQLite may not notice until it reads the last page.
bool wholePages(sqlite3* db, const std::string& path) {
  std::int64_t pageSize = 0;
  int code = SQLITE_OK;
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error || !readNumber(db, "PRAGMA page_size", pageSize, code) || pageSize <= 0) return true;
  return size % static_cast<std::uintmax_t>(pageSize) == 0;
}

}  // namespace

std::string damagedMessage(const std::string& path) {
  return "the registry hive " + path +
         " is damaged (cut short or overwritten); registry calls on it fail until it is "
         "restored or removed";
}

std::unique_ptr<RegistryHive::Connection> RegistryHive::Connection::open(const std::string& path,
                                                                       Storage storage,
                                                                       Refusal* refusal) {
  const auto refuse = [&](Kind kind) -> std::unique_ptr<Connection> {
    if (refusal != nullptr) {
      refusal->status = kind == Kind::Damaged ? HiveStatus::Damaged : HiveStatus::IoFailed;
      refusal->message = refusalMessage(kind, path);
    }
    return nullptr;
  };
  auto connection = std::make_unique<Connection>();
  connection->path = path;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &connection->db, flags, nullptr) != SQLITE_OK)
    return refuse(Kind::Unreadable);
  sqlite3* db = connection->db;
  // Only writes wait for another process's write (reads go on beside it in the log).
  sqlite3_busy_timeout(db, 5000);
  // Each commit reaches the disk before the write returns.
  Kind kind = Kind::Unreadable;
  if (storage == Storage::File && !run(db, "PRAGMA synchronous=FULL", kind)) return refuse(kind);
  kind = kindOf(db);
  if (kind == Kind::Hive && storage == Storage::File && !wholePages(db, path))
    kind = Kind::Damaged;
  if (kind == Kind::OlderHive || kind == Kind::Empty) {
    // Setting up takes the write lock, and another process may have set the file up meanwhile.
    if ((storage == Storage::File && !run(db, "PRAGMA journal_mode=WAL", kind)) ||
        !run(db, "BEGIN IMMEDIATE", kind))
      return refuse(kind);
    kind = kindOf(db);
    const std::string mark = "PRAGMA application_id=" + std::to_string(kHiveApplicationId) +
                             "; PRAGMA user_version=" + std::to_string(kSchemaVersion);
    const bool setUp = (kind == Kind::OlderHive || kind == Kind::Empty) && run(db, kSchema) &&
                       (kind == Kind::Empty || run(db, kMoveClassesOfFirstSchema.c_str())) &&
                       run(db, mark.c_str());
    if (setUp && run(db, "COMMIT")) {
      kind = Kind::Hive;
    } else {
      run(db, "ROLLBACK");
      if (kind == Kind::OlderHive || kind == Kind::Empty) kind = Kind::Unreadable;
    }
  }
  if (kind != Kind::Hive) return refuse(kind);
  if (!connection->prepare()) return refuse(Kind::Unreadable);
  return connection;
}

}  // namespace trenmoor::standin
