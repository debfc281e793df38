#include "platform/text.h"

#include <gtest/gtest.h>

#include <limits>

namespace trenmoor {
namespace {

TEST(CodePage, RoundTripsChineseThroughWideAndUtf8) {
  const std::string utf8 = "链接:http://x 密码:ab12";
  Text ansi = utf8ToAnsi(utf8);
  EXPECT_EQ(ansi.size(), utf8.size() - 4);  // four Chinese characters, two bytes each
  EXPECT_EQ(ansiToUtf8(ansi), utf8);
  EXPECT_EQ(wideToAnsi(ansiToWide(ansi)), ansi);
  EXPECT_EQ(ansiToWide(ansi), u"链接:http://x 密码:ab12");
}

TEST(CodePage, Utf8AndWideConvertDirectly) {
  EXPECT_EQ(utf8ToWide("x\U0001F600é"), u"x\U0001F600é");
  EXPECT_EQ(wideToUtf8(u"x\U0001F600é"), "x\U0001F600é");
}

TEST(CodePage, InvalidBytesBecomeReplacementsWithoutLosingTheRest) {
  Text bad = "a\x80";  // a lone lead byte at the end
  bad += "\xFF" "b";
  std::u16string wide = ansiToWide(bad);
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(wide.front(), u'a');
  EXPECT_EQ(wide.back(), u'b');
  EXPECT_EQ(wideToAnsi(u"x\U0001F600y").front(), 'x');  // no GBK form: replaced, rest kept
  EXPECT_EQ(wideToAnsi(u"x\U0001F600y").back(), 'y');
}

TEST(Numbers, LeadingIntegerRules) {
  struct Case { std::string utf8; std::int32_t expected; };
  const Case cases[] = {
      {"3", 3}, {"  -12abc", -12}, {"+7", 7}, {"abc", 0}, {"", 0}, {"１２", 12},
      {"　５", 5}, {"4.9", 4}, {"- 3", 0}, {"99999999999999", std::numeric_limits<std::int32_t>::max()},
      {"-99999999999999", std::numeric_limits<std::int32_t>::min()}, {"\t8", 8},
  };
  for (const auto& c : cases) EXPECT_EQ(leadingInteger(utf8ToAnsi(c.utf8)), c.expected) << c.utf8;
}

TEST(Numbers, TruncatedRealRules) {
  struct Case { std::string utf8; std::int32_t expected; };
  const Case cases[] = {{"2.9", 2}, {"-2.9", -2}, {"３.５x", 3}, {".5", 0}, {"1e3", 1000},
                        {"x1", 0}, {"1e999", std::numeric_limits<std::int32_t>::max()}};
  for (const auto& c : cases) EXPECT_EQ(truncatedInteger(utf8ToAnsi(c.utf8)), c.expected) << c.utf8;
  EXPECT_EQ(saturatingMultiply(3000000, 1000), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(saturatingMultiply(-3000000, 1000), std::numeric_limits<std::int32_t>::min());
}

TEST(Numbers, ToText) {
  EXPECT_EQ(integerToText(0), "0");
  EXPECT_EQ(integerToText(-42), "-42");
  EXPECT_EQ(realToText(2.5), "2.5");
  EXPECT_EQ(realToText(3.0), "3");
  EXPECT_EQ(ansiToUtf8(logicalToText(true)), "真");
}

TEST(Substring, StepsOverDoubleByteCharacters) {
  // "陆" is C2 BD in code page 936; "\xBD\xC2" must not match across two characters.
  Text text = utf8ToAnsi("陆陆");
  ASSERT_EQ(text, "\xC2\xBD\xC2\xBD");
  EXPECT_EQ(findText(text, "\xBD\xC2"), std::string_view::npos);
  EXPECT_EQ(findText(text, utf8ToAnsi("陆"), 1), std::string_view::npos);  // 1 is inside a character
  EXPECT_EQ(findText(text, utf8ToAnsi("陆"), 2), 2u);
  EXPECT_TRUE(containsText("abc", ""));
  EXPECT_FALSE(containsText("", ""));
  EXPECT_FALSE(containsText("abc", "B"));
}

TEST(Substring, ReplaceEverywhere) {
  Text prefix = utf8ToAnsi("链接:");
  Text text = prefix + "http://a" + prefix + "b " + utf8ToAnsi("密码:") + "x";
  Text once = replaceText(text, prefix, "");
  EXPECT_EQ(replaceText(once, utf8ToAnsi("密码:"), ""), "http://ab x");
  EXPECT_EQ(replaceText("aaa", "", "x"), "aaa");
}

TEST(LetterCase, FoldsAsciiLettersAndKeepsDoubleByteCharactersWhole) {
  struct Case { std::string text; LetterCase to; std::string folded; };
  const std::vector<Case> cases = {
      {"ComDlg32.DLL", LetterCase::Lower, "comdlg32.dll"},
      {"Software\\Key_[x]", LetterCase::Upper, "SOFTWARE\\KEY_[X]"},
      // "\x81\x41" and "\x81\x61" are single characters whose second byte reads as a letter.
      {"\x81\x41" "Bc", LetterCase::Lower, "\x81\x41" "bc"},
      {"\x81\x61" "bC", LetterCase::Upper, "\x81\x61" "BC"},
      {"Ab\x81", LetterCase::Upper, "AB\x81"},  // a lead byte at the end stands alone
      {"", LetterCase::Lower, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(foldLetterCase(c.text, c.to), c.folded) << c.text;
}

TEST(Split, MembersFollowTheRuntimeRule) {
  struct Case { std::string text; std::string delimiter; std::vector<std::string> members; };
  const std::vector<Case> cases = {
      {"", "\r\n", {}},
      {"A\r\n\r\nB", "\r\n", {"A", "", "B"}},
      {"A\r\nB\r\n", "\r\n", {"A", "B"}},
      {"\r\n", "\r\n", {""}},
      {"\r\n\r\n", "\r\n", {"", ""}},
      {"a b c", " ", {"a", "b", "c"}},
      {" a", " ", {"", "a"}},
      {"abc", "", {"abc"}},
      {"ab", "abc", {"ab"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(splitText(c.text, c.delimiter), c.members) << c.text;
    EXPECT_EQ(countSplitMembers(c.text, c.delimiter), c.members.size()) << c.text;
  }
  // A delimiter byte inside a double-byte character does not split it ("\x81\x20" is one).
  EXPECT_EQ(splitText("\x81\x20x y", " "), (std::vector<Text>{"\x81\x20x", "y"}));
}

TEST(Literal, ConvertsOnce) {
  const Text& a = ansiLiteral<"确认信息">();
  EXPECT_EQ(&a, &ansiLiteral<"确认信息">());
  EXPECT_EQ(ansiToUtf8(a), "确认信息");
}

}  // namespace
}  // namespace trenmoor
