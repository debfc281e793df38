#include "registry/registry_access.h"
#include "standin/desktop/desktop.h"

#include "platform/registry_calls.h"
#include "platform/text.h"
#include "standin/registry/registry_store.h"
#include "tests/standin/registry/fresh_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trenmoor {
namespace {

const RegistryPath kKey = "HKEY_CURRENT_USER\\Software\\Tm";
constexpr std::int32_t kSentinel = -99;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

class RegistryAccessTest : public FreshRegistry {
 protected:
  RegistryAccess registry;
};

TEST_F(RegistryAccessTest, OpenKeyTakesOnlyFullRootNamesFollowedByABackslash) {
  ASSERT_TRUE(registry.writeString(kKey, "v", "x"));
  struct Case {
    const char* path;
    bool opens;
  } cases[] = {
      {"HKEY_CURRENT_USER\\", true},  // the root itself
      {"HKEY_CURRENT_USER\\Software\\Tm", true},
      {"HKEY_CURRENT_USER\\SOFTWARE\\TM\\", true},
      {"HKEY_CURRENT_USER", false},
      {"HKCU\\Software\\Tm", false},
      {"hkey_current_user\\Software\\Tm", false},
      {"HKEY_CURRENT_CONFIG\\", false},  // not among the path roots
      {"HKEY_CURRENT_USER\\Software\\Missing", false},
      {"", false},
  };
  for (const Case& c : cases) {
    const win::HKEY key = registry.openKey(c.path);
    EXPECT_EQ(key != 0, c.opens) << c.path;
    EXPECT_EQ(registry.keyOrValueExists(c.path), c.opens) << c.path;
    if (key != 0) {
      EXPECT_EQ(win::RegCloseKey(key), win::ERROR_SUCCESS);
    }
  }
}

TEST_F(RegistryAccessTest, TypedValuesRoundTripAsStored) {
  ASSERT_TRUE(registry.writeString(kKey, "s", "abc"));
  ASSERT_TRUE(registry.writeExpandString(kKey, "e", "%TEMP%\\x"));
  ASSERT_TRUE(registry.writeMultiString(kKey, "m", "x\r\ny"));
  ASSERT_TRUE(registry.writeDword(kKey, "d", -2));
  ASSERT_TRUE(registry.writeBinary(kKey, "b", Bytes{1, 2}));
  ASSERT_TRUE(registry.writeValue(kKey, "n", Bytes{9}));
  const Text chinese = utf8ToAnsi("中文");
  ASSERT_TRUE(registry.writeString(kKey, chinese, chinese));

  struct Case {
    const char* name;
    std::int32_t type;
    Bytes stored;
  } cases[] = {
      {"s", 1, bytesOf("abc")},
      {"e", 2, bytesOf("%TEMP%\\x")},
      {"m", 7, Bytes{'x', 0, 'y', 0, 0}},
      {"d", 4, Bytes{0xFE, 0xFF, 0xFF, 0xFF}},
      {"b", 3, Bytes{1, 2}},
      {"n", 0, Bytes{9}},
  };
  for (const Case& c : cases) {
    std::int32_t type = kSentinel;
    EXPECT_EQ(registry.readValue(kKey, c.name, &type), c.stored) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
  }
  EXPECT_EQ(registry.readString(kKey, "s"), "abc");
  EXPECT_EQ(registry.readExpandString(kKey, "e"), "%TEMP%\\x");  // not expanded
  EXPECT_EQ(registry.readMultiString(kKey, "m"), "x\r\ny\r\n\r\n");
  EXPECT_EQ(registry.readString(kKey, "m"), "x");
  EXPECT_EQ(registry.readDword(kKey, "d"), -2);
  EXPECT_EQ(registry.readDword(kKey, "b"), 513);  // two bytes 1, 2; the type is not checked
  EXPECT_EQ(registry.readBinary(kKey, "b"), (Bytes{1, 2}));
  EXPECT_EQ(registry.readString(kKey, chinese), chinese);

  ASSERT_TRUE(registry.writeMultiString(kKey, "m", "a\r\nb\r\n"));
  EXPECT_EQ(registry.readValue(kKey, "m"), (Bytes{'a', 0, 'b', 0, 0, 0}));
  ASSERT_TRUE(registry.writeMultiString(kKey, "m", ""));
  EXPECT_EQ(registry.readValue(kKey, "m"), (Bytes{0, 0}));
}

TEST_F(RegistryAccessTest, MissingKeysAndValuesReadAsEmptyAndLeaveTheTypeAlone) {
  ASSERT_TRUE(registry.writeString(kKey, "empty", ""));
  for (const auto& [path, name] : {std::pair<Text, Text>{kKey, "missing"},
                                   {"HKEY_CURRENT_USER\\Nowhere", "v"},
                                   {"HKCU\\Software\\Tm", "empty"}}) {
    std::int32_t type = kSentinel;
    EXPECT_TRUE(registry.readValue(path, name, &type).empty());
    EXPECT_EQ(type, kSentinel) << path;
    EXPECT_EQ(registry.readDword(path, name), 0);
    EXPECT_EQ(registry.readString(path, name), "");
  }
  std::int32_t type = kSentinel;
  EXPECT_TRUE(registry.readValue(kKey, "EMPTY", &type).empty());
  EXPECT_EQ(type, 1);
}

TEST_F(RegistryAccessTest, DescribeValueTypeNamesSixTypesAndNothingElse) {
  const Text kDword = utf8ToAnsi("REG_DWORD - DWORD，值为：");
  struct Case {
    const char* name;
    std::int32_t type;
    std::string described;  // UTF-8
  } cases[] = {
      {"none", 0, "REG_NONE - 字节集，值为：0"},
      {"sz", 1, "REG_SZ - 字符串值，值为：1"},
      {"expand", 2, "REG_REG_EXPAND_SZ - 可扩充字符串值，值为：2"},
      {"binary", 3, "REG_BINARY - 二进制，值为：3"},
      {"dword", 4, "REG_DWORD - DWORD，值为：4"},
      {"big", 5, ""},
      {"multi", 7, "REG_MULTI_SZ - 多字符串值，值为：7"},
      {"qword", 11, ""},
  };
  for (const Case& c : cases) ASSERT_TRUE(registry.writeValue(kKey, c.name, Bytes{1}, c.type));
  for (const Case& c : cases)
    EXPECT_EQ(registry.describeValueType(kKey, c.name), utf8ToAnsi(c.described)) << c.name;
  EXPECT_EQ(registry.describeValueType(kKey, "absent"), "");
  EXPECT_EQ(registry.describeValueType(kKey, "DWORD"), "");  // compared byte for byte
  ASSERT_TRUE(registry.writeString(kKey + "\\Empty", "v", "x"));
  ASSERT_TRUE(registry.deleteValue(kKey + "\\Empty", "v"));
  EXPECT_EQ(registry.describeValueType(kKey + "\\Empty", "v"), "");
  EXPECT_EQ(registry.describeValueType("HKEY_CURRENT_USER\\Nowhere", "v"), "");
}

TEST_F(RegistryAccessTest, ExistenceOfKeysAndOfValuesOfAnySize) {
  ASSERT_TRUE(registry.writeBinary(kKey, "small", Bytes(4, 1)));
  ASSERT_TRUE(registry.writeBinary(kKey, "large", Bytes(1000, 1)));
  EXPECT_TRUE(registry.keyOrValueExists(kKey));
  EXPECT_TRUE(registry.keyOrValueExists(kKey, "small"));
  EXPECT_TRUE(registry.keyOrValueExists(kKey, "LARGE"));
  EXPECT_FALSE(registry.keyOrValueExists(kKey, "missing"));
  EXPECT_FALSE(registry.keyOrValueExists("HKEY_CURRENT_USER\\Nowhere", "small"));
  EXPECT_TRUE(registry.flushKey(kKey));
  EXPECT_FALSE(registry.flushKey("HKEY_CURRENT_USER\\Nowhere"));
}

TEST_F(RegistryAccessTest, ListValuesListsEveryValueWhateverItsDataOrNameLength) {
  const Text longName(300, 'n');
  const Text longerName = std::string(1000, 'o');
  std::vector<Text> expectedNames;
  std::vector<Bytes> expectedData;
  std::vector<std::int32_t> expectedTypes;
  for (std::size_t size : {0, 1, 255, 256, 257, 4096, 70000}) {
    const Text name =
        size == 256 ? longName : size == 4096 ? longerName : "v" + std::to_string(size);
    expectedNames.push_back(name);
    expectedData.emplace_back(size, static_cast<std::uint8_t>(size));
    expectedTypes.push_back(size % 2 == 0 ? 3 : 1);
    ASSERT_TRUE(registry.writeValue(kKey, name, expectedData.back(), expectedTypes.back()));
  }

  desktop::Desktop desktop(desktop::ClockKind::Virtual);
  bool dispatched = false;
  desktop.post([&] { dispatched = true; });  // window events run while the listing goes on
  std::vector<Text> names = {"stale"};
  std::vector<Bytes> data = {Bytes{1}};
  std::vector<std::int32_t> types = {9};
  EXPECT_EQ(registry.listValues(kKey, names, data, types), 7);
  EXPECT_EQ(names, expectedNames);
  EXPECT_EQ(data, expectedData);
  EXPECT_EQ(types, expectedTypes);
  EXPECT_TRUE(dispatched);
  EXPECT_EQ(registry.describeValueType(kKey, "v70000"),
            utf8ToAnsi("REG_BINARY - 二进制，值为：3"));

  EXPECT_EQ(registry.listValues("HKEY_CURRENT_USER\\Nowhere", names, data, types), -1);
  EXPECT_TRUE(names.empty() && data.empty() && types.empty());
}

TEST_F(RegistryAccessTest, ListSubKeysListsLongNamesAndEmptiesTheArrayFirst) {
  const Text doubleByteName = [] {
    Text name;
    for (int i = 0; i < 200; ++i) name += "\xB0\xA1";  // 200 characters, 400 bytes
    return name;
  }();
  for (const Text& name : {Text("b"), doubleByteName, Text("A"), Text("c")})
    ASSERT_TRUE(registry.writeDword(kKey + "\\" + name, "v", 1));

  desktop::Desktop desktop(desktop::ClockKind::Virtual);
  bool dispatched = false;
  desktop.post([&] { dispatched = true; });  // window events run while the listing goes on
  std::vector<Text> names = {"stale"};
  EXPECT_EQ(registry.listSubKeys(kKey, names), 4);
  EXPECT_EQ(names, (std::vector<Text>{"A", "b", "c", doubleByteName}));
  EXPECT_TRUE(dispatched);
  EXPECT_EQ(registry.listSubKeys(kKey + "\\A", names), 0);
  EXPECT_TRUE(names.empty());
  names = {"stale"};
  EXPECT_EQ(registry.listSubKeys("HKEY_CURRENT_USER\\Nowhere", names), -1);
  EXPECT_TRUE(names.empty());
}

TEST_F(RegistryAccessTest, DeleteKeyRemovesTheWholeTreeAndRefusesATrailingBackslash) {
  const RegistryPath tree = "HKEY_CURRENT_USER\\Software\\A";
  for (const char* below : {"\\B\\C\\D", "\\B\\E", "\\F"})
    ASSERT_TRUE(registry.writeString(tree + below, "v", "x"));
  ASSERT_TRUE(registry.writeString(tree, "v", "x"));
  ASSERT_TRUE(registry.writeString("HKEY_CURRENT_USER\\Software\\Kept", "v", "x"));

  EXPECT_FALSE(registry.deleteKey(tree + "\\"));
  EXPECT_TRUE(registry.keyOrValueExists(tree + "\\B\\C\\D", "v"));
  EXPECT_FALSE(registry.deleteKey("HKEY_CURRENT_USER\\Software\\Missing"));
  EXPECT_FALSE(registry.deleteKey("HKEY_CURRENT_USER"));

  EXPECT_TRUE(registry.deleteKey(tree));
  EXPECT_FALSE(registry.keyOrValueExists(tree));
  std::vector<Text> names;
  EXPECT_EQ(registry.listSubKeys("HKEY_CURRENT_USER\\Software", names), 1);
  EXPECT_EQ(names, std::vector<Text>{"Kept"});

  EXPECT_TRUE(registry.deleteValue("HKEY_CURRENT_USER\\Software\\Kept", "V"));
  EXPECT_FALSE(registry.deleteValue("HKEY_CURRENT_USER\\Software\\Kept", "v"));
  EXPECT_FALSE(registry.deleteValue("HKEY_CURRENT_USER\\Software\\Missing", "v"));
}

TEST_F(RegistryAccessTest, MachineWideWritesFailQuietlyUnlessAllowedAndTreesStayWhole) {
  const RegistryPath userKey =
      "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const RegistryPath machineKey =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const Text name = "WarnOnHTTPSToHTTPRedirect";
  EXPECT_TRUE(registry.writeDword(userKey, name, 0));
  EXPECT_FALSE(registry.writeDword(machineKey, name, 0));
  EXPECT_FALSE(registry.keyOrValueExists(machineKey));

  standin::setMachineWideWrites(standin::MachineWideWrites::Allowed);
  EXPECT_TRUE(registry.writeDword(machineKey, name, 1));
  ASSERT_TRUE(registry.writeDword(machineKey + "\\Below", name, 1));
  standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
  EXPECT_FALSE(registry.writeDword(machineKey, name, 0));  // existing key: still refused
  EXPECT_FALSE(registry.deleteKey(machineKey));
  EXPECT_EQ(registry.readDword(machineKey, name), 1);
  EXPECT_EQ(registry.readDword(machineKey + "\\Below", name), 1);
  EXPECT_EQ(registry.readDword(userKey, name), 0);
}

TEST_F(RegistryAccessTest, WriteValueUnderRootTakesCodesOneToFiveOnly) {
  standin::setMachineWideWrites(standin::MachineWideWrites::Allowed);
  const win::HKEY roots[] = {win::HKEY_CLASSES_ROOT, win::HKEY_CURRENT_CONFIG,
                             win::HKEY_CURRENT_USER, win::HKEY_LOCAL_MACHINE, win::HKEY_USERS};
  const auto holdsTm = [](win::HKEY root) {
    win::HKEY key = 0;
    const bool found = win::RegOpenKeyA(root, "New\\Tm", &key) == win::ERROR_SUCCESS;
    win::RegCloseKey(key);
    return found;
  };
  for (std::int32_t code : {-1, 0, 6, 1000}) {
    EXPECT_FALSE(registry.writeValueUnderRoot(code, "New\\Tm", "v", bytesOf("x")));
    for (win::HKEY root : roots) EXPECT_FALSE(holdsTm(root)) << code;
  }
  for (std::int32_t code = 1; code <= 5; ++code) {
    ASSERT_TRUE(registry.writeValueUnderRoot(code, "New\\Tm", "v", bytesOf("x")));
    for (std::size_t i = 0; i < 5; ++i)
      EXPECT_EQ(holdsTm(roots[i]), static_cast<std::int32_t>(i) < code) << code;
  }
  std::int32_t type = kSentinel;
  EXPECT_EQ(registry.readValue("HKEY_CURRENT_USER\\New\\Tm", "v", &type), bytesOf("x"));
  EXPECT_EQ(type, 1);
  ASSERT_TRUE(registry.writeValueUnderRoot(static_cast<std::int32_t>(RegistryRoot::CurrentUser),
                                           "New\\Tm", "d", Bytes{5, 0, 0, 0}, 4));
  EXPECT_EQ(registry.readDword("HKEY_CURRENT_USER\\New\\Tm", "d"), 5);

  standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
  EXPECT_FALSE(registry.writeValueUnderRoot(4, "Other", "v", bytesOf("x")));
  EXPECT_FALSE(registry.keyOrValueExists("HKEY_LOCAL_MACHINE\\Other"));
}

// An accessor that sees every openKey and writeValue: the operations reach one another
// through the table of virtual operations, so a derived accessor is heard from.
class CountingAccess : public RegistryAccess {
 public:
  win::HKEY openKey(const RegistryPath& path, bool create) override {
    ++opens;
    return RegistryAccess::openKey(path, create);
  }
  bool writeValue(const RegistryPath& path, const Text& valueName, const Bytes& data,
                  std::int32_t type) override {
    ++writes;
    return RegistryAccess::writeValue(path, valueName, data, type);
  }
  int opens = 0;
  int writes = 0;
};

TEST_F(RegistryAccessTest, OperationsCallOneAnotherThroughTheTable) {
  CountingAccess counting;
  RegistryAccess& access = counting;
  ASSERT_TRUE(access.writeDword(kKey + "\\A\\B", "v", 7));
  EXPECT_EQ(counting.writes, 1);
  EXPECT_EQ(counting.opens, 1);
  EXPECT_EQ(access.readDword(kKey + "\\A\\B", "v"), 7);
  EXPECT_EQ(counting.opens, 2);
  counting.opens = 0;
  EXPECT_TRUE(access.deleteKey(kKey + "\\A"));
  // Parent and listing of A, then parent and listing of A\B.
  EXPECT_EQ(counting.opens, 4);

  const std::unique_ptr<RegistryAccess> copy = registry.copy();
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->writeString(kKey, "copied", "yes"));
  EXPECT_EQ(registry.readString(kKey, "copied"), "yes");
}

}  // namespace
}  // namespace trenmoor
