#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "app_fixture.h"

using namespace std::string_literals;

namespace trenmoor::app {
namespace {

using LinkImportTest = AppFixture;

struct CountCase {
  std::vector<std::string> files;
  std::int32_t count;
  std::string list;
};

TEST_F(LinkImportTest, CountsLinesAsTheSplitRuleDoes) {
  const std::vector<CountCase> cases = {
      {{"a b\r\nc d\r\n"}, 3, "a b\r\nc d\r\n\r\n"},
      {{"a b\r\nc d"}, 2, "a b\r\nc d\r\n"},
      {{""}, 1, "\r\n"},
      {{"a b\r\n", "c d"}, 3, "a b\r\n\r\nc d\r\n"},
      {{"a b\0hidden"s}, 1, "a b\r\n"},
      {{"a b\x1A" "after"}, 1, "a b\r\n"},
      {{"\x81\x0D\x0A x\xFF"}, 1, "\x81\x0D\x0A x\xFF\r\n"},  // not valid code page 936: kept as it is
      // Lines ended by a line feed alone read as CR LF; a CR LF file reads as before.
      {{"a b\nc d\n"}, 3, "a b\r\nc d\r\n\r\n"},
      {{"a b\nc d"}, 2, "a b\r\nc d\r\n"},
      {{"a b\r\nc d\ne f\r\n"}, 4, "a b\r\nc d\r\ne f\r\n\r\n"},
      {{"\n\n"}, 3, "\r\n\r\n\r\n"},
      {{"a\rb\r\r\n"}, 2, "a\rb\r\r\n\r\n"},  // a carriage return alone is no line end
  };
  for (const auto& c : cases) {
    state_.linkListText.clear();
    state_.linkCount = 0;
    std::string choose = "choose";
    for (std::size_t i = 0; i < c.files.size(); ++i) choose += " f" + std::to_string(i) + ".txt";
    for (std::size_t i = 0; i < c.files.size(); ++i) file("f" + std::to_string(i) + ".txt", c.files[i]);
    play("at 10 click login\nat 20 click addfile\nanswer OK\n" + choose);
    EXPECT_EQ(state_.linkCount, c.count) << c.list;
    EXPECT_EQ(state_.linkListText, c.list);
    EXPECT_TRUE(transcriptHas("text=\"共获取" + std::to_string(c.count) + "条记录\\r\\n请确认已登录网盘，然后点击 【开始转存】\" buttons=OK icon=information"));
  }
}

TEST_F(LinkImportTest, SecondImportAppendsAndCancelChangesNothing) {
  file("a.txt", "a 1\r\nb 2");
  file("b.txt", "c 3");
  play("at 10 click login\nat 20 click addfile\nchoose a.txt\nanswer OK\nat 30 click addfile\nchoose b.txt\nanswer OK\n"
       "at 40 click addfile\nchoose");
  EXPECT_EQ(state_.linkListText, "a 1\r\nb 2\r\nc 3\r\n");
  EXPECT_EQ(state_.linkCount, 3);
  EXPECT_TRUE(transcriptHas("共获取3条记录"));
  EXPECT_EQ(control("files")->text, "3");
}

TEST_F(LinkImportTest, UnreadableFilesAreNamedAndAddNothing) {
  std::string locked = file("locked.txt", "x 1");
  std::string readOnly = file("readonly.txt", "y 2");
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  int writer = ::open(locked.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(flock(writer, LOCK_EX), 0);  // another program writes it
  play("at 10 click login\nat 20 click addfile\nchoose locked.txt readonly.txt missing.txt\nanswer OK\nanswer OK");
  ::close(writer);
  EXPECT_EQ(state_.linkListText, "y 2\r\n");
  EXPECT_EQ(state_.linkCount, 1);
  EXPECT_TRUE(transcriptHas("共获取1条记录"));
  EXPECT_TRUE(transcriptHas("title=\"导入失败\""));
  EXPECT_TRUE(transcriptHas("locked.txt"));
  EXPECT_TRUE(transcriptHas("missing.txt"));
}

TEST_F(LinkImportTest, NothingReadableStillShowsTheCountAndKeepsStartDisabled) {
  play("at 10 click login\nat 20 click addfile\nchoose gone.txt\nanswer OK\nanswer OK");
  EXPECT_EQ(state_.linkCount, 0);
  EXPECT_TRUE(transcriptHas("共获取0条记录"));
  EXPECT_FALSE(control("start")->enabled);
  EXPECT_FALSE(control("stop")->enabled);
}

struct EncodingCase {
  const char* name;
  std::string bytes;
  std::string listUtf8;  // the list text expected, in UTF-8 for reading
  bool namedAsLossy;
};

TEST_F(LinkImportTest, Utf8FilesAreConvertedAndLostCharactersReported) {
  const std::string line = "链接:https://pan.baidu.com/s/1aBcD 密码:x7k2";
  const std::vector<EncodingCase> cases = {
      {"utf8", line + "\n", line + "\r\n\r\n", false},
      {"utf8-mark", "\xEF\xBB\xBF" + line + "\r\n", line + "\r\n\r\n", false},
      {"codepage", utf8ToAnsi(line) + "\r\n", line + "\r\n\r\n", false},
      {"outside", "a 😀\n" + line, "a ?\r\n" + line + "\r\n", true},
      {"ascii-mark", "\xEF\xBB\xBFx y", "x y\r\n", false},
  };
  for (const auto& c : cases) {
    state_.linkListText.clear();
    const std::string name = std::string(c.name) + ".txt";
    file(name, c.bytes);
    play("at 10 click login\nat 20 click addfile\nanswer OK\nanswer OK\nchoose " + name);
    EXPECT_EQ(ansiToUtf8(state_.linkListText), c.listUtf8) << c.name;
    const bool boxNamesIt = transcriptHas("已替换为“?”：\\r\\n" + (folder_ / name).string());
    EXPECT_EQ(boxNamesIt, c.namedAsLossy) << c.name << "\n" << transcript();
  }
}

TEST(LinkPrefixes, DeletedEverywhereWithoutChangingTheLineCount) {
  TransferState state;
  const Text link = utf8ToAnsi("链接:");
  const Text code = utf8ToAnsi("密码:");
  state.linkListText = link + "http://a/" + link + "x " + code + "c1\r\nhttp://b " + code + "c2\r\n";
  state.linkCount = 2;
  stripLinkPrefixes(state);
  EXPECT_EQ(state.linkListText, "http://a/x c1\r\nhttp://b c2\r\n");
  EXPECT_EQ(state.linkCount, 2);
  EXPECT_EQ(splitLinkLine("http://b c2 extra"), (std::vector<Text>{"http://b", "c2", "extra"}));
  // A space after a prefix's colon leaves an empty first field.
  EXPECT_EQ(splitLinkLine(" http://c c3")[0], "");
}

}  // namespace
}  // namespace trenmoor::app
