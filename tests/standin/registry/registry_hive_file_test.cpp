// The hive in its file against what else may be there: another program's database, a newer
// hive, a hive of the first schema, a file cut short, another process writing, and the
// volatile hive that a restart empties.
#include "platform/registry_calls.h"
#include "standin/registry/registry_store.h"
#include "tests/standin/registry/fresh_registry.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace trenmoor::win {
namespace {

// Runs SQL on the file at `path` with a connection of its own.
bool runSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  const bool ran = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                   sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ran;
}

std::int64_t readNumber(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  std::int64_t number = -1;
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
      sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    number = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return number;
}

class HiveFileTest : public FreshRegistryFolder {
 protected:
  void SetUp() override {
    FreshRegistryFolder::SetUp();
    path_ = folder_ + "/registry.sqlite";
    volatile_ = folder_ + "/runtime/volatile.sqlite";
  }

  // A hive in the file with a key holding `values` values of 100 bytes, let go of afterwards.
  void writeHive(int values) {
    ASSERT_TRUE(standin::openRegistryStore(path_, volatile_));
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Tm", &key), ERROR_SUCCESS);
    const std::string data(100, 'd');
    for (int i = 0; i < values; ++i)
      ASSERT_EQ(RegSetValueExA(key, ("v" + std::to_string(i)).c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(data.data()), 100),
                ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_TRUE(standin::openMemoryRegistryStore());
  }

  static LSTATUS readValue(const char* name) {
    HKEY key = 0;
    LSTATUS status = RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Tm", &key);
    if (status != ERROR_SUCCESS) return status;
    DWORD size = 0;
    status = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
    RegCloseKey(key);
    return status;
  }

  std::string path_;
  std::string volatile_;
};

TEST_F(HiveFileTest, DatabasesThatAreNotOurHivesAreRefusedAndLeftAsTheyWere) {
  struct Case {
    const char* what;
    std::string sql;
    const char* said;
  } cases[] = {
      {"another program's tables", "CREATE TABLE notes(x); INSERT INTO notes VALUES (1);",
       "is not a registry hive"},
      {"another program's mark", "PRAGMA application_id=42; CREATE TABLE registry_key(x);",
       "is not a registry hive"},
      {"a hive of a newer version",
       "PRAGMA application_id=" + std::to_string(0x546D5267) + "; PRAGMA user_version=99;",
       "newer version"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path_);
    ASSERT_TRUE(runSql(path_, c.sql));
    const std::int64_t mark = readNumber(path_, "PRAGMA application_id");
    EXPECT_FALSE(standin::openRegistryStore(path_, volatile_));
    const std::string problem = standin::registryStoreProblem();
    EXPECT_NE(problem.find(path_), std::string::npos) << problem;
    EXPECT_NE(problem.find(c.said), std::string::npos) << problem;
    EXPECT_EQ(readNumber(path_, "PRAGMA application_id"), mark);
    EXPECT_EQ(readNumber(path_, "SELECT count(*) FROM sqlite_master WHERE name = 'registry_value'"),
              0);
  }
  // The registry in use was kept.
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  HKEY key = 0;
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Kept", &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(HiveFileTest, AHiveOfTheFirstSchemaIsMarkedAndItsClassesMoveBelowTheMachine) {
  ASSERT_TRUE(runSql(path_, R"sql(
    PRAGMA journal_mode=WAL; PRAGMA user_version=1;
    CREATE TABLE registry_key(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,
      name BLOB NOT NULL, folded BLOB NOT NULL, UNIQUE(parent, folded));
    CREATE TABLE registry_value(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,
      name BLOB NOT NULL, folded BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,
      UNIQUE(key, folded));
    INSERT INTO registry_key(id, parent, name, folded) VALUES
      (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'), (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
      (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'), (4, 0, 'HKEY_USERS', 'HKEY_USERS'),
      (5, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG'), (6, 1, CAST('.old' AS BLOB), CAST('.OLD' AS BLOB));
  )sql"));
  ASSERT_TRUE(standin::openRegistryStore(path_, volatile_));
  HKEY key = 0;
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.old", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".old", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_TRUE(standin::openMemoryRegistryStore());
  EXPECT_EQ(readNumber(path_, "PRAGMA application_id"), 0x546D5267);
}

TEST_F(HiveFileTest, OpensAndReadsGoOnWhileAnotherProcessWrites) {
  writeHive(1);
  int locked[2];
  int release[2];
  ASSERT_EQ(pipe(locked), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Holds a write transaction until told to let go (or the parent's end closes).
    sqlite3* db = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) _exit(2);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE; DELETE FROM registry_value;", nullptr, nullptr,
                     nullptr) != SQLITE_OK)
      _exit(3);
    char byte = 1;
    if (write(locked[1], &byte, 1) != 1) _exit(4);
    if (read(release[0], &byte, 1) < 0) _exit(5);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    _exit(0);
  }
  close(locked[1]);
  close(release[0]);
  pollfd ready = {locked[0], POLLIN, 0};
  ASSERT_EQ(poll(&ready, 1, 10000), 1);
  char byte = 0;
  ASSERT_EQ(read(locked[0], &byte, 1), 1);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(standin::openRegistryStore(path_, volatile_)) << standin::registryStoreProblem();
  EXPECT_EQ(readValue("v0"), ERROR_SUCCESS);  // the other's uncommitted delete is not seen
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  ASSERT_EQ(write(release[1], &byte, 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  close(locked[0]);
  close(release[1]);
  // Once the other has let go, writes go through.
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Tm\\After", &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(HiveFileTest, AFileCutShortIsADamagedHive) {
  writeHive(200);
  const auto size = std::filesystem::file_size(path_);
  std::filesystem::resize_file(path_, size - 1);
  EXPECT_FALSE(standin::openRegistryStore(path_, volatile_));
  const std::string problem = standin::registryStoreProblem();
  EXPECT_NE(problem.find("damaged"), std::string::npos) << problem;
  EXPECT_NE(problem.find(path_), std::string::npos) << problem;
}

TEST_F(HiveFileTest, DamageFoundLateIsReportedAsDamageNotAsADeletedKey) {
  writeHive(200);
  // The last pages overwritten: the file opens, and the damage shows when they are read.
  const auto pageSize = static_cast<std::size_t>(readNumber(path_, "PRAGMA page_size"));
  const auto size = static_cast<std::size_t>(std::filesystem::file_size(path_));
  FILE* file = std::fopen(path_.c_str(), "r+b");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fseek(file, static_cast<long>(size - 4 * pageSize), SEEK_SET), 0);
  const std::string garbage(4 * pageSize, '\xFF');
  ASSERT_EQ(std::fwrite(garbage.data(), 1, garbage.size(), file), garbage.size());
  std::fclose(file);
  ASSERT_TRUE(standin::openRegistryStore(path_, volatile_)) << standin::registryStoreProblem();

  testing::internal::CaptureStderr();
  std::vector<LSTATUS> results;
  for (int i = 0; i < 200; i += 20) results.push_back(readValue(("v" + std::to_string(i)).c_str()));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::find(results.begin(), results.end(), ERROR_BADDB), results.end());
  for (LSTATUS result : results)
    EXPECT_TRUE(result == ERROR_SUCCESS || result == ERROR_BADDB) << result;
  // Said once, naming the file.
  EXPECT_NE(said.find(path_), std::string::npos) << said;
  EXPECT_EQ(said.find("damaged"), said.rfind("damaged")) << said;
}

TEST_F(HiveFileTest, VolatileKeysLastUntilTheRuntimeFolderIsEmptied) {
  ASSERT_TRUE(standin::openRegistryStore(path_, volatile_));
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Lasting", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Session", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(std::filesystem::exists(volatile_));

  // Another start before the machine restarts sees both; after it (the runtime folder
  // emptied) only the lasting key is left.
  struct Case {
    bool runtimeEmptied;
    LSTATUS session;
  } cases[] = {{false, ERROR_SUCCESS}, {true, ERROR_FILE_NOT_FOUND}};
  for (const Case& c : cases) {
    ASSERT_TRUE(standin::openMemoryRegistryStore());
    if (c.runtimeEmptied) std::filesystem::remove_all(folder_ + "/runtime");
    ASSERT_TRUE(standin::openRegistryStore(path_, volatile_));
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Session", &key), c.session);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Lasting", &key), ERROR_SUCCESS);
    RegCloseKey(key);
  }
}

TEST(VolatileStorePath, FollowsTheRuntimeFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string kept = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
  const std::string one = standin::defaultVolatileStorePath("/home/u/a.sqlite");
  EXPECT_EQ(one.rfind("/run/user/7/trenmoor/registry-volatile-", 0), 0u) << one;
  EXPECT_NE(one, standin::defaultVolatileStorePath("/home/u/b.sqlite"));
  EXPECT_EQ(one, standin::defaultVolatileStorePath("/home/u/./a.sqlite"));
  EXPECT_EQ(standin::defaultVolatileStorePath(""), "");
  setenv("XDG_RUNTIME_DIR", "relative", 1);
  EXPECT_EQ(standin::defaultVolatileStorePath("/home/u/a.sqlite"), "");
  if (saved) setenv("XDG_RUNTIME_DIR", kept.c_str(), 1); else unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace trenmoor::win
