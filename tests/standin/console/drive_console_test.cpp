// The driver console on one small page: each line and what it prints, and the table's reach over
// every operation the driver declares.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "standin/console/drive_console.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::console {
namespace {

constexpr const char* kPage = R"(<html><head><meta charset="utf-8"><title>分享</title></head><body>
<input type="text" id="user" name="who" value="alice"><input type="password" id="code">
<a href="http://example.com/a" id="first">First</a><a href="http://example.com/b" id="second">第二</a>
<select id="s"><option value="1">one</option><option value="2">二</option></select>
</body></html>)";

class DriveConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() / ("console_page_" + std::to_string(::getpid()) + ".html");
    std::ofstream(path_) << kPage;
    network_->setOutsideAccess(browser::OutsideAccess::Refused);
    ASSERT_TRUE(console_.load(path_.string()));
  }
  void TearDown() override { std::filesystem::remove(path_); }

  // What the line printed, one string per printed line.
  std::vector<std::string> run(const std::string& line) {
    printed_.clear();
    ok_ = console_.runLine(line, 7);
    return printed_;
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  std::shared_ptr<browser::Network> network_ = std::make_shared<browser::Network>();
  std::vector<std::string> printed_;
  bool ok_ = false;
  DriveConsole console_{network_, [this](const std::string& line) { printed_.push_back(line); }};
  std::filesystem::path path_;
};

TEST_F(DriveConsoleTest, LinesPrintResultsOutsAndErrors) {
  struct Case {
    std::string line;
    bool ok;
    std::vector<std::string> printed;
  };
  const Case cases[] = {
      // text argument, optional integer omitted; UTF-8 on the console both ways
      {"getTextInputValue who", true, {"result \"alice\""}},
      {"getTitle", true, {"result \"分享\""}},
      {"setTextInputValue code \"12 34\"", true, {"result true"}},
      {"getTextInputValue code 0", true, {"result \"12 34\""}},
      {"selectOptionByText 1 二", true, {"result true"}},
      {"getSelectedIndex 1", true, {"result 1"}},
      // logical argument; integer result
      {"countTextInputs false", true, {"result 2"}},
      // out-parameters after the result, by argument position
      {"textInputInfo 1",
       true,
       {"result true", "out 2 \"alice\"", "out 3 \"who\"", "out 4 \"user\"", "out 5 \"text\"",
        "out 6 element input \"user\""}},
      // arrays: their size, then one line per item
      {"listLinks",
       true,
       {"result 2", "out 1 array 2", "out 1[1] \"First\"", "out 1[2] \"第二\"", "out 2 array 2",
        "out 2[1] \"http://example.com/a\"", "out 2[2] \"http://example.com/b\"", "out 3 array 2", "out 3[1] \"\"",
        "out 3[2] \"\"", "out 4 array 2", "out 4[1] \"first\"", "out 4[2] \"second\""}},
      // an element argument by id, and the last element given back as @
      {"getInnerText second", true, {"result \"第二\""}},
      {"lookupLink a first 0", true, {"result element a \"first\"", "out 4 1"}},
      {"getOuterText @", true, {"result \"First\""}},
      {"getInnerText -", true, {"result \"\""}},
      // in/out texts left empty take the driver's defaults; a void result
      {"highlightKeyword nothing-here", true, {"result none", "out 2 \"ff0000\"", "out 3 \"D6F20D\""}},
      {"help getTextInputValue", true, {"getTextInputValue <text> [<integer>] -> text"}},
      {"# a comment", true, {}},
      {"", true, {}},
      // errors name the line
      {"fetchEverything 1", false, {"error line 7: unknown operation \"fetchEverything\""}},
      {"getOptionText 1 2x", false, {"error line 7: argument 2 of getOptionText is not an integer: \"2x\""}},
      {"getOptionText 1 99999999999", false,
       {"error line 7: argument 2 of getOptionText is not an integer: \"99999999999\""}},
      {"countTextInputs yes", false, {"error line 7: argument 1 of countTextInputs is not true or false: \"yes\""}},
      {"clickLink", false,
       {"error line 7: clickLink takes 1 to 3 arguments, not 0: clickLink <text> [<integer>] [<logical>] -> logical"}},
      {"getTitle \"unclosed", false, {"error line 7: a double quote is not closed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(run(c.line), c.printed);
    EXPECT_EQ(ok_, c.ok);
  }
}

TEST_F(DriveConsoleTest, PageLinesReloadAttachAndPrintMarkup) {
  run("setBodyHtml \"<p id=x>new</p>\"");
  auto markup = run("html");
  ASSERT_EQ(markup.size(), 1u);
  EXPECT_NE(markup[0].find("<P id=\"x\">new</P>"), std::string::npos) << markup[0];
  EXPECT_EQ(run("load " + path_.string()), std::vector<std::string>{"ready \"file://" + path_.string() + "\""});
  EXPECT_EQ(run("attach"), std::vector<std::string>{"result true"});
  EXPECT_EQ(run("getInnerText x"), std::vector<std::string>{"result \"\""});
  EXPECT_EQ(run("wait-ready 5"), std::vector<std::string>{"ready \"file://" + path_.string() + "\""});
  EXPECT_FALSE(run("wait-ready soon").empty());
  EXPECT_FALSE(ok_);
}

// Every declared operation has an entry, in declaration order: the slot test pins the shared list
// to the driver's table, so an operation the list lacks fails there, and here the console's table
// must hold the list entry for entry.
TEST_F(DriveConsoleTest, EveryDeclaredOperationIsReachable) {
  std::vector<std::string_view> declared;
#define TRENMOOR_LISTED(name) declared.push_back(#name);
  TRENMOOR_PAGE_DRIVER_OPERATIONS(TRENMOOR_LISTED)
#undef TRENMOOR_LISTED
  ASSERT_EQ(std::size(kOperations), declared.size());
  for (std::size_t i = 0; i < declared.size(); ++i) {
    const Operation& operation = kOperations[i];
    SCOPED_TRACE(std::string(operation.name));
    EXPECT_EQ(operation.name, declared[i]);
    EXPECT_EQ(findOperation(declared[i]), &operation);
    EXPECT_LE(operation.required, operation.arguments.size());
  }
}

}  // namespace
}  // namespace trenmoor::console
