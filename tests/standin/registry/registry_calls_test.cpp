// The registry calls as their callers know them: results, what out-parameters receive and what
// they keep (preset to sentinels), too-small buffers, bad handles, access and durability.
#include "platform/registry_calls.h"
#include "standin/registry/registry_hive.h"
#include "standin/registry/registry_store.h"
#include "tests/standin/registry/fresh_registry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace trenmoor::win {
namespace {

constexpr HKEY kSentinelKey = 0xDEADBEEF;
constexpr DWORD kSentinel = 0xA5A5A5A5;

HKEY create(HKEY root, const char* path) {
  HKEY key = 0;
  EXPECT_EQ(RegCreateKeyA(root, path, &key), ERROR_SUCCESS) << path;
  return key;
}

void set(HKEY key, const char* name, DWORD type, const std::string& data) {
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
}

using RegistryCallsTest = FreshRegistry;

TEST_F(RegistryCallsTest, CreatesMissingKeysOpensWithoutRegardToCaseAndReportsDisposition) {
  HKEY key = kSentinelKey;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tm", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, 0u);

  DWORD disposition = kSentinel;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tm\\Deep", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY again = 0;
  disposition = kSentinel;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\tm\\DEEP\\", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &again, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_NE(again, key);

  // Opening relative to an open key, and the key itself through an empty path.
  HKEY parent = create(HKEY_CURRENT_USER, "software\\TM");
  HKEY child = 0;
  EXPECT_EQ(RegOpenKeyA(parent, "deep", &child), ERROR_SUCCESS);
  HKEY self = 0;
  EXPECT_EQ(RegOpenKeyExA(parent, "", 0, KEY_READ, &self), ERROR_SUCCESS);
  EXPECT_NE(self, parent);

  // Keys keep the case they were created with.
  char name[64];
  EXPECT_EQ(RegEnumKeyA(parent, 0, name, sizeof name), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Deep");
  for (HKEY open : {key, again, parent, child, self}) EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);
}

TEST_F(RegistryCallsTest, BadPathsAndParametersFailAndClearTheResult) {
  const std::string longName(256, 'k');
  const std::string longestName(255, 'k');
  const std::string doubleByteName = std::string(254, 'k') + "\xB0\xA1";  // 255 characters
  struct Case {
    const char* path;
    DWORD options;
    LSTATUS expected;
  } cases[] = {
      {"\\Software", 0, ERROR_BAD_PATHNAME},
      {"Software\\\\Tm", 0, ERROR_BAD_PATHNAME},
      {"Software\\Tm\\\\\\", 0, ERROR_BAD_PATHNAME},  // three trailing backslashes
      {longName.c_str(), 0, ERROR_INVALID_PARAMETER},
      {longestName.c_str(), 0, ERROR_SUCCESS},
      {doubleByteName.c_str(), 0, ERROR_SUCCESS},
      {"Software", 2, ERROR_INVALID_PARAMETER},  // links are not offered
  };
  for (const Case& c : cases) {
    HKEY key = kSentinelKey;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, c.path, 0, nullptr, c.options, KEY_READ,
                              nullptr, &key, nullptr),
              c.expected)
        << c.path;
    EXPECT_EQ(key == 0, c.expected != ERROR_SUCCESS) << c.path;
    RegCloseKey(key);
  }
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  HKEY key = kSentinelKey;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 5, KEY_READ, &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key, 0u);
}

TEST_F(RegistryCallsTest, HandlesAreCheckedAndCloseOnlyOnce) {
  HKEY key = create(HKEY_CURRENT_USER, "Tm");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);  // predefined: nothing to close
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

  for (HKEY bad : {key, HKEY{0}, HKEY{0x12345678}, HKEY{0x80000004}}) {
    HKEY result = kSentinelKey;
    DWORD size = kSentinel;
    char name[8] = "intact";
    EXPECT_EQ(RegOpenKeyA(bad, "x", &result), ERROR_INVALID_HANDLE);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(RegQueryValueExA(bad, "v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(size, kSentinel);
    EXPECT_EQ(RegSetValueExA(bad, "v", 0, REG_SZ, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumKeyA(bad, 0, name, sizeof name), ERROR_INVALID_HANDLE);
    EXPECT_STREQ(name, "intact");
    EXPECT_EQ(RegDeleteKeyA(bad, "x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(bad), ERROR_INVALID_HANDLE);
  }

  // A store opened afresh invalidates every handle of the one before.
  HKEY old = create(HKEY_CURRENT_USER, "Tm");
  ASSERT_TRUE(standin::openMemoryRegistryStore());
  EXPECT_EQ(RegCloseKey(old), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryCallsTest, QueryReportsSizeAndTypeAndLeavesTooSmallBuffersAlone) {
  HKEY key = create(HKEY_CURRENT_USER, "Tm");
  set(key, "Text", REG_SZ, "abc");

  struct Case {
    bool withData;
    DWORD bufferSize;
    LSTATUS expected;
    std::string bytes;  // the buffer afterwards
  } cases[] = {
      {false, 0, ERROR_SUCCESS, "#####"},
      {true, 2, ERROR_MORE_DATA, "#####"},
      {true, 3, ERROR_SUCCESS, "abc##"},  // stored without a terminator, none added
      {true, 5, ERROR_SUCCESS, std::string("abc\0#", 5)},  // room for a terminator: added
  };
  for (const Case& c : cases) {
    std::string buffer = "#####";
    DWORD type = kSentinel;
    DWORD size = c.bufferSize;
    EXPECT_EQ(RegQueryValueExA(key, "TEXT", nullptr, &type,
                               c.withData ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr,
                               &size),
              c.expected);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer, c.bytes);
  }

  DWORD type = kSentinel;
  DWORD size = kSentinel;
  BYTE data[4] = {7, 7, 7, 7};
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, data, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, data, nullptr), ERROR_INVALID_PARAMETER);
  DWORD reserved = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Text", &reserved, &type, nullptr, &size),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(type, kSentinel);
  EXPECT_EQ(size, kSentinel);
  EXPECT_EQ(data[0], 7);

  // The default value is the empty name, absent until written.
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  set(key, "", REG_BINARY, std::string("\0\1", 2));
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(size, 2u);
  RegCloseKey(key);
}

TEST_F(RegistryCallsTest, ValuesKeepTheirTypeNameCaseAndPlaceWhenReplaced) {
  HKEY key = create(HKEY_CURRENT_USER, "Tm");
  set(key, "First", REG_QWORD, std::string(8, '\x01'));
  set(key, "Second", 0x1234, "");
  set(key, "FIRST", REG_SZ, "replaced");

  struct Expected {
    const char* name;
    DWORD type;
    std::string data;
  } expected[] = {{"First", REG_SZ, "replaced"}, {"Second", 0x1234, ""}};
  for (DWORD index = 0; index < 2; ++index) {
    char name[16];
    DWORD nameSize = sizeof name;
    DWORD type = kSentinel;
    BYTE data[16];
    DWORD size = sizeof data;
    ASSERT_EQ(RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, expected[index].name);
    EXPECT_EQ(nameSize, std::string(expected[index].name).size());
    EXPECT_EQ(type, expected[index].type);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), expected[index].data);
  }
  char name[16] = "intact";
  DWORD nameSize = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(nameSize, sizeof name);

  EXPECT_EQ(RegDeleteValueA(key, "first"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "first"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryCallsTest, EnumerationBuffersThatAreTooSmall) {
  HKEY key = create(HKEY_CURRENT_USER, "Tm");
  set(key, "Name", REG_BINARY, "12345678");
  RegCloseKey(create(key, "Child"));

  // A name that does not fit: only the type and the data size are written.
  char name[8] = "#######";
  DWORD nameSize = 4;
  DWORD type = kSentinel;
  DWORD size = kSentinel;
  EXPECT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, nullptr, &size),
            ERROR_MORE_DATA);
  EXPECT_STREQ(name, "#######");
  EXPECT_EQ(nameSize, 4u);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(size, 8u);

  // Data that do not fit: the name and type come back with the size needed; data untouched.
  BYTE data[4] = {0, 0, 0, 0};
  nameSize = sizeof name;
  size = sizeof data;
  EXPECT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &size), ERROR_MORE_DATA);
  EXPECT_STREQ(name, "Name");
  EXPECT_EQ(nameSize, 4u);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(data[0], 0);

  // Sub-key names need room for their terminator.
  char keyName[8] = "#######";
  EXPECT_EQ(RegEnumKeyA(key, 0, keyName, 5), ERROR_MORE_DATA);
  EXPECT_STREQ(keyName, "#######");
  EXPECT_EQ(RegEnumKeyA(key, 0, keyName, 6), ERROR_SUCCESS);
  EXPECT_STREQ(keyName, "Child");
  EXPECT_EQ(RegEnumKeyA(key, 1, keyName, 6), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegEnumKeyA(key, 0, nullptr, 6), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryCallsTest, SubKeysListInCaseInsensitiveNameOrderAndDoubleByteNamesStayWhole) {
  HKEY key = create(HKEY_CURRENT_USER, "Tm");
  // "\x81\x61" and "\x81\x41" differ in a trail byte that looks like a letter; "\x81\x5C" has a
  // trail byte that looks like a backslash.
  for (const char* name : {"beta", "Alpha", "\x81\x61", "\x81\x41", "\x81\x5C", "gamma"})
    RegCloseKey(create(key, name));
  RegCloseKey(create(key, "ALPHA"));  // the same key as "Alpha"

  std::vector<std::string> names;
  char name[16];
  for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index)
    names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "gamma", "\x81\x41", "\x81\x5C",
                                             "\x81\x61"}));
  RegCloseKey(key);
}

TEST_F(RegistryCallsTest, DeletingKeys) {
  HKEY key = create(HKEY_CURRENT_USER, "Tm\\Parent\\Child");
  HKEY tm = create(HKEY_CURRENT_USER, "Tm");
  EXPECT_EQ(RegDeleteKeyA(tm, "Parent"), ERROR_ACCESS_DENIED);  // it still has a sub-key
  EXPECT_EQ(RegDeleteKeyA(tm, "Parent\\Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(tm, ""), ERROR_ACCESS_DENIED);  // itself, but it has a sub-key
  EXPECT_EQ(RegDeleteKeyA(tm, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyA(tm, "PARENT\\child"), ERROR_SUCCESS);

  // A handle to a deleted key reports it; it can still be closed.
  DWORD size = kSentinel;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, nullptr, 0), ERROR_KEY_DELETED);
  HKEY below = kSentinelKey;
  EXPECT_EQ(RegCreateKeyA(key, "below", &below), ERROR_KEY_DELETED);
  EXPECT_EQ(below, 0u);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  // A re-created key of the same name is a new key.
  HKEY recreated = create(HKEY_CURRENT_USER, "Tm\\Parent\\Child");
  EXPECT_EQ(RegDeleteKeyA(tm, "Parent\\Child"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(tm, "Parent"), ERROR_SUCCESS);
  EXPECT_EQ(RegFlushKey(recreated), ERROR_KEY_DELETED);
  RegCloseKey(recreated);
  RegCloseKey(tm);
}

TEST_F(RegistryCallsTest, AccessFollowsWhatTheHandleWasGranted) {
  HKEY readOnly = 0;
  RegCloseKey(create(HKEY_CURRENT_USER, "Tm"));
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Tm", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(readOnly, "v", 0, REG_SZ, nullptr, 0), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(readOnly, "v"), ERROR_ACCESS_DENIED);

  HKEY writeOnly = 0;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Tm", 0, KEY_SET_VALUE, &writeOnly), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(writeOnly, "v", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(writeOnly, "v", nullptr, nullptr, nullptr, &size),
            ERROR_ACCESS_DENIED);
  char name[8];
  EXPECT_EQ(RegEnumKeyA(writeOnly, 0, name, sizeof name), ERROR_ACCESS_DENIED);
  RegCloseKey(readOnly);
  RegCloseKey(writeOnly);
}

TEST_F(RegistryCallsTest, MachineWideRootsRefuseWritesUnlessAllowed) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_CONFIG}) {
    SCOPED_TRACE(root);
    standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
    HKEY key = kSentinelKey;
    EXPECT_EQ(RegCreateKeyA(root, "Tm", &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(RegOpenKeyExA(root, "", 0, KEY_READ | KEY_WRITE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExA(root, "v", 0, REG_SZ, nullptr, 0), ERROR_ACCESS_DENIED);

    standin::setMachineWideWrites(standin::MachineWideWrites::Allowed);
    key = create(root, "Tm");
    set(key, "v", REG_DWORD, "1234");
    HKEY readable = 0;
    ASSERT_EQ(RegOpenKeyA(root, "Tm", &readable), ERROR_SUCCESS);

    // Refused again: existing keys open for reading, but neither change nor go.
    standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
    HKEY reopened = 0;
    ASSERT_EQ(RegCreateKeyA(root, "Tm", &reopened), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(reopened, "v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(reopened, "v", 0, REG_SZ, nullptr, 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(root, "Tm"), ERROR_ACCESS_DENIED);
    // A handle opened while writes were allowed keeps what it was given.
    EXPECT_EQ(RegSetValueExA(readable, "w", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    for (HKEY open : {key, readable, reopened}) RegCloseKey(open);
  }
}

// The calls as programs written for the system rely on them, one row per behaviour: each row
// runs its calls and gives back what they returned and wrote.
TEST_F(RegistryCallsTest, BehaveAsTheSystemDocuments) {
  using Outcome = std::vector<std::int64_t>;
  struct Row {
    const char* behaviour;
    Outcome (*calls)();
    Outcome expected;
  };
  static const Row rows[] = {
      {"RegDeleteKeyA(key, \"\") deletes the key itself; its handles then report it",
       [] {
         HKEY gone = create(HKEY_CURRENT_USER, "Tm\\Gone");
         HKEY other = create(HKEY_CURRENT_USER, "Tm\\Gone");
         HKEY probe = kSentinelKey;
         DWORD size = kSentinel;
         char name[8];
         return Outcome{RegDeleteKeyA(gone, ""),
                        RegOpenKeyA(HKEY_CURRENT_USER, "Tm\\Gone", &probe),
                        RegQueryValueExA(other, "v", nullptr, nullptr, nullptr, &size),
                        RegSetValueExA(gone, "v", 0, REG_SZ, nullptr, 0),
                        RegEnumKeyA(gone, 0, name, sizeof name),
                        RegOpenKeyA(gone, "", &probe),
                        RegDeleteKeyA(gone, ""),
                        size,
                        RegCloseKey(gone),
                        RegCloseKey(other)};
       },
       {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_KEY_DELETED, ERROR_KEY_DELETED,
        ERROR_KEY_DELETED, ERROR_KEY_DELETED, ERROR_KEY_DELETED, kSentinel, ERROR_SUCCESS,
        ERROR_SUCCESS}},
      {"RegDeleteKeyA(root, \"\") leaves the root alone",
       [] { return Outcome{RegDeleteKeyA(HKEY_CURRENT_USER, "")}; },
       {ERROR_ACCESS_DENIED}},
      {"creating a sub-key needs no right on the parent's handle",
       [] {
         RegCloseKey(create(HKEY_CURRENT_USER, "Tm"));
         HKEY notify = 0;
         HKEY child = 0;
         const LSTATUS opened = RegOpenKeyExA(HKEY_CURRENT_USER, "Tm", 0, KEY_NOTIFY, &notify);
         const LSTATUS created = RegCreateKeyA(notify, "Child", &child);
         RegCloseKey(child);
         RegCloseKey(notify);
         return Outcome{opened, created, child != 0};
       },
       {ERROR_SUCCESS, ERROR_SUCCESS, 1}},
      {"one or two trailing backslashes are ignored",
       [] {
         HKEY a = 0, b = 0, c = 0;
         DWORD disposition = kSentinel;
         const Outcome outcome{
             RegCreateKeyExA(HKEY_CURRENT_USER, "Tm\\Two\\\\", 0, nullptr, 0, KEY_READ,
                             nullptr, &a, &disposition),
             disposition, RegOpenKeyA(HKEY_CURRENT_USER, "TM\\TWO\\", &b),
             RegOpenKeyA(HKEY_CURRENT_USER, "Tm\\Two\\\\", &c)};
         for (HKEY key : {a, b, c}) RegCloseKey(key);
         return outcome;
       },
       {ERROR_SUCCESS, REG_CREATED_NEW_KEY, ERROR_SUCCESS, ERROR_SUCCESS}},
      {"RegOpenKeyA and RegCreateKeyA with an empty or null sub-key give back the handle",
       [] {
         HKEY key = create(HKEY_CURRENT_USER, "Tm");
         HKEY same[4] = {kSentinelKey, kSentinelKey, kSentinelKey, kSentinelKey};
         HKEY bad = kSentinelKey;
         const Outcome outcome{RegOpenKeyA(key, "", &same[0]),      RegOpenKeyA(key, nullptr, &same[1]),
                               RegCreateKeyA(key, "", &same[2]),    RegCreateKeyA(key, nullptr, &same[3]),
                               same[0] == key && same[1] == key && same[2] == key && same[3] == key,
                               RegOpenKeyA(HKEY{0x12345678}, "", &bad), bad,
                               RegOpenKeyA(HKEY_CURRENT_USER, "", &same[0]), same[0]};
         RegCloseKey(key);
         return outcome;
       },
       {ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS, 1, ERROR_INVALID_HANDLE, 0,
        ERROR_SUCCESS, HKEY_CURRENT_USER}},
      {"a string read with room for one more byte ends in a zero; binary data do not",
       [] {
         HKEY key = create(HKEY_CURRENT_USER, "Tm");
         set(key, "s", REG_EXPAND_SZ, "abc");
         set(key, "b", REG_BINARY, "abc");
         BYTE text[5] = {'#', '#', '#', '#', '#'};
         BYTE binary[5] = {'#', '#', '#', '#', '#'};
         BYTE listed[5] = {'#', '#', '#', '#', '#'};
         DWORD textSize = 4, binarySize = 4, listedSize = 4;
         char name[4];
         DWORD nameSize = sizeof name;
         const Outcome outcome{
             RegQueryValueExA(key, "s", nullptr, nullptr, text, &textSize), text[3], text[4],
             textSize, RegQueryValueExA(key, "b", nullptr, nullptr, binary, &binarySize),
             binary[3], RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, listed,
                                      &listedSize),
             listed[3], listedSize};
         RegCloseKey(key);
         return outcome;
       },
       {ERROR_SUCCESS, 0, '#', 3, ERROR_SUCCESS, '#', ERROR_SUCCESS, 0, 3}},
      {"a query of a missing value without a data buffer sets the size to 0",
       [] {
         HKEY key = create(HKEY_CURRENT_USER, "Tm");
         DWORD type = kSentinel, size = kSentinel, withBuffer = 4;
         BYTE data[4];
         const Outcome outcome{
             RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size), size, type,
             RegQueryValueExA(key, "missing", nullptr, nullptr, data, &withBuffer), withBuffer};
         RegCloseKey(key);
         return outcome;
       },
       {ERROR_FILE_NOT_FOUND, 0, kSentinel, ERROR_FILE_NOT_FOUND, 4}},
      {"RegEnumValueA with a name buffer too small still reports type and data size",
       [] {
         HKEY key = create(HKEY_CURRENT_USER, "Tm");
         set(key, "LongName", REG_DWORD, "1234");
         char name[4] = "##";
         DWORD nameSize = sizeof name, type = kSentinel, size = kSentinel;
         const Outcome outcome{
             RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, nullptr, &size), type, size,
             nameSize, name[0]};
         RegCloseKey(key);
         return outcome;
       },
       {ERROR_MORE_DATA, REG_DWORD, 4, 4, '#'}},
      {"HKEY_CLASSES_ROOT shows the user's classes over the machine's",
       [] {
         standin::setMachineWideWrites(standin::MachineWideWrites::Allowed);
         HKEY machine = create(HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt");
         set(machine, "", REG_SZ, "machine");
         RegCloseKey(create(HKEY_LOCAL_MACHINE, "Software\\Classes\\MachineOnly"));
         standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
         HKEY user = create(HKEY_CURRENT_USER, "Software\\Classes\\.TXT");
         set(user, "", REG_SZ, "user");
         RegCloseKey(create(HKEY_CURRENT_USER, "Software\\Classes\\UserOnly"));

         HKEY txt = 0, machineOnly = 0;
         char value[16] = {};
         DWORD size = sizeof value;
         std::string listed;
         char name[16];
         for (DWORD i = 0; RegEnumKeyA(HKEY_CLASSES_ROOT, i, name, sizeof name) == 0; ++i)
           listed += std::string(name) + ";";
         const Outcome outcome{
             RegOpenKeyA(HKEY_CLASSES_ROOT, ".txt", &txt),
             RegQueryValueExA(txt, "", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
             std::string(value) == "user", listed == ".TXT;MachineOnly;UserOnly;",
             // Values written below a key of the user's classes go there.
             RegSetValueExA(txt, "x", 0, REG_SZ, nullptr, 0),
             RegQueryValueExA(user, "x", nullptr, nullptr, nullptr, &size),
             // A leading backslash is taken; the machine's keys stay read-only.
             RegOpenKeyA(HKEY_CLASSES_ROOT, "\\MachineOnly", &machineOnly),
             RegSetValueExA(machineOnly, "x", 0, REG_SZ, nullptr, 0),
             RegCreateKeyA(HKEY_CLASSES_ROOT, "New", &machineOnly)};
         for (HKEY key : {machine, user, txt}) RegCloseKey(key);
         return outcome;
       },
       {ERROR_SUCCESS, ERROR_SUCCESS, 1, 1, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS,
        ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED}},
      {"a volatile key holds only volatile sub-keys and keeps its parent from going",
       [] {
         HKEY key = 0, child = 0, other = 0;
         DWORD disposition = kSentinel;
         const auto createWith = [](HKEY parent, const char* path, DWORD options, HKEY* out,
                                    DWORD* made = nullptr) {
           return RegCreateKeyExA(parent, path, 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                                  out, made);
         };
         const Outcome outcome{
             createWith(HKEY_CURRENT_USER, "Tm\\Volatile", REG_OPTION_VOLATILE, &key,
                        &disposition),
             disposition,
             createWith(key, "Lasting", REG_OPTION_NON_VOLATILE, &other),
             createWith(HKEY_CURRENT_USER, "Tm\\Volatile\\A\\B", REG_OPTION_NON_VOLATILE,
                        &other),
             other,
             createWith(key, "Sub", REG_OPTION_VOLATILE, &child),
             // Opening an existing volatile key needs no option.
             RegCreateKeyA(HKEY_CURRENT_USER, "tm\\volatile\\sub", &other),
             RegDeleteKeyA(HKEY_CURRENT_USER, "Tm\\Volatile"),
             RegDeleteKeyA(HKEY_CURRENT_USER, "Tm\\Volatile\\Sub"),
             RegDeleteKeyA(HKEY_CURRENT_USER, "Tm"),
             RegDeleteKeyA(key, ""),
             RegDeleteKeyA(HKEY_CURRENT_USER, "Tm")};
         for (HKEY open : {key, child, other}) RegCloseKey(open);
         return outcome;
       },
       {ERROR_SUCCESS, REG_CREATED_NEW_KEY, ERROR_CHILD_MUST_BE_VOLATILE,
        ERROR_CHILD_MUST_BE_VOLATILE, 0, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_ACCESS_DENIED,
        ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_SUCCESS, ERROR_SUCCESS}},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(standin::openMemoryRegistryStore());
    EXPECT_EQ(row.calls(), row.expected) << row.behaviour;
  }
}

class RegistryFileTest : public FreshRegistryFolder {
 protected:
  void SetUp() override {
    FreshRegistryFolder::SetUp();
    path_ = folder_ + "/nested/registry.sqlite";
  }
  std::string path_;
};

TEST_F(RegistryFileTest, AWriteSurvivesTheProcessBeingKilledRightAfter) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Only async-signal-safe ways out: the child reports through its exit status.
    if (!standin::openRegistryStore(path_)) _exit(2);
    HKEY key = 0;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Tm", &key) != ERROR_SUCCESS) _exit(3);
    const BYTE data[] = {'o', 'k'};
    if (RegSetValueExA(key, "Written", 0, REG_SZ, data, 2) != ERROR_SUCCESS) _exit(4);
    kill(getpid(), SIGKILL);
    _exit(5);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "child exit status " << WEXITSTATUS(status);

  ASSERT_TRUE(standin::openRegistryStore(path_));
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "SOFTWARE\\TM", &key), ERROR_SUCCESS);
  char data[4] = {};
  DWORD size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "written", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                             &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(data, "ok");
  EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryFileTest, ListingsSeeWritesOfAnotherConnection) {
  ASSERT_TRUE(standin::openRegistryStore(path_));
  HKEY key = create(HKEY_CURRENT_USER, "Tm");
  set(key, "first", REG_SZ, "1");
  char name[16];
  DWORD nameSize = sizeof name;
  ASSERT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);

  auto other = standin::RegistryHive::openFile(path_);
  ASSERT_NE(other, nullptr);
  standin::KeyId tm = 0;
  ASSERT_EQ(other->findKey(standin::rootKeyId(standin::HiveRoot::CurrentUser), {"TM"}, tm),
            standin::HiveStatus::Ok);
  const std::uint8_t two = '2';
  ASSERT_EQ(other->setValue(tm, "second", REG_SZ, &two, 1), standin::HiveStatus::Ok);

  nameSize = sizeof name;
  ASSERT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "second");
  RegCloseKey(key);
}

TEST_F(RegistryFileTest, AFileThatIsNotAHiveIsRefusedAndTheStoreInUseKept) {
  HKEY key = create(HKEY_CURRENT_USER, "Kept");
  std::filesystem::create_directories(folder_ + "/nested");
  FILE* file = std::fopen(path_.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("not a database, and long enough to be looked at as one by SQLite ......", file);
  std::fclose(file);
  EXPECT_FALSE(standin::openRegistryStore(path_));
  EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(RegistryStorePath, FollowsTheEnvironment) {
  struct Case {
    const char* registry;
    const char* dataHome;
    const char* home;
    std::string expected;
  } cases[] = {
      {"/tmp/r.sqlite", "/data", "/home/u", "/tmp/r.sqlite"},
      {"", "/data", "/home/u", "/data/trenmoor/registry.sqlite"},
      {nullptr, "relative", "/home/u", "/home/u/.local/share/trenmoor/registry.sqlite"},
      {nullptr, nullptr, nullptr, ""},
  };
  const auto put = [](const char* name, const char* value) {
    if (value == nullptr)
      unsetenv(name);
    else
      setenv(name, value, 1);
  };
  const auto saved = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const auto registry = saved("TRENMOOR_REGISTRY");
  const auto dataHome = saved("XDG_DATA_HOME");
  const auto home = saved("HOME");
  for (const Case& c : cases) {
    put("TRENMOOR_REGISTRY", c.registry);
    put("XDG_DATA_HOME", c.dataHome);
    put("HOME", c.home);
    EXPECT_EQ(standin::defaultRegistryStorePath(), c.expected);
  }
  put("TRENMOOR_REGISTRY", registry ? registry->c_str() : nullptr);
  put("XDG_DATA_HOME", dataHome ? dataHome->c_str() : nullptr);
  put("HOME", home ? home->c_str() : nullptr);
}

}  // namespace
}  // namespace trenmoor::win
