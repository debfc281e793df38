#include <gtest/gtest.h>

#include "driver/file_input.h"

namespace trenmoor {
namespace {

TEST(OpenFileNameReplacement, AnswersWithThePathWithinTheCallersBuffer) {
  struct Case {
    std::string utf8Path;
    std::uint32_t bufferCharacters;
    win::BOOL result;
    std::u16string buffer;  // what the caller's buffer holds afterwards (up to its first NUL)
  };
  const Case cases[] = {
      {"/tmp/报告.txt", 260, 1, u"/tmp/报告.txt"},
      {"", 260, 1, u"prepared"},                // empty: the buffer stays as prepared
      {"/tmp/a.txt", 11, 1, u"/tmp/a.txt"},     // exactly fits with its NUL
      {"/tmp/ab.txt", 11, 0, u"prepared"},      // one too long: refused, nothing written
  };
  for (const auto& c : cases) {
    setFileDialogPath(utf8ToAnsi(c.utf8Path));
    std::u16string buffer(c.bufferCharacters, u'#');
    std::u16string prepared = u"prepared";
    std::copy(prepared.begin(), prepared.end(), buffer.begin());
    buffer[prepared.size()] = u'\0';
    buffer.push_back(u'!');  // a guard just past the caller's buffer
    win::OPENFILENAMEW request{};
    request.lpstrFile = buffer.data();
    request.nMaxFile = c.bufferCharacters;
    EXPECT_EQ(openFileNameReplacement(&request), c.result) << c.utf8Path;
    EXPECT_EQ(std::u16string(buffer.c_str()), c.buffer) << c.utf8Path;
    EXPECT_EQ(buffer.back(), u'!');
  }
  releaseFileDialogPath();
  EXPECT_EQ(openFileNameReplacement(nullptr), 0);
}

}  // namespace
}  // namespace trenmoor
