#include <gtest/gtest.h>

#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor::toolkit {
namespace {

class ToolkitTest : public ::testing::Test {
 protected:
  ToolkitTest() { Toolkit::current().reset(); }
  ~ToolkitTest() override { Toolkit::current().reset(); }

  ScriptedUser& user(const std::string& scenario) {
    std::string error;
    auto parsed = ScriptedUser::parse(scenario, "/data", error);
    EXPECT_TRUE(parsed) << error;
    user_ = std::make_unique<ScriptedUser>(parsed.value_or(ScriptedUser::Scenario{}));
    user_->start();
    return *user_;
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  std::unique_ptr<ScriptedUser> user_;
};

TEST_F(ToolkitTest, TextChangedRunsInsideTheWriteEvenWhenUnchanged) {
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  auto& box = window->addEditBox("box", {0, 0, 10, 10}, "same");
  std::vector<std::string> seen;
  box.onTextChanged([&] { seen.push_back("changed:" + box.text()); });
  box.setText("same");
  seen.push_back("after write");
  box.setText("other");
  EXPECT_EQ(seen, (std::vector<std::string>{"changed:same", "after write", "changed:other"}));
}

TEST_F(ToolkitTest, DisabledOrHiddenButtonsIgnoreClicks) {
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  auto& button = window->addPictureButton("b", {0, 0, 10, 10});
  int clicks = 0;
  button.onClicked([&] { ++clicks; });
  EXPECT_TRUE(Toolkit::current().click("b"));
  button.setEnabled(false);
  EXPECT_FALSE(Toolkit::current().click("b"));
  button.setEnabled(true);
  button.setVisible(false);
  EXPECT_FALSE(Toolkit::current().click("b"));
  EXPECT_FALSE(Toolkit::current().click("missing"));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ToolkitTest, MessageBoxKeepsDispatchingEventsUntilAnswered) {
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  window->show();
  auto& button = window->addPictureButton("b", {0, 0, 10, 10});
  int clicks = 0;
  button.onClicked([&] { ++clicks; });
  user("at 100 click b\nat 200 click b\nat 300 answer Cancel");
  auto result = ui::messageBox("text", "title", ui::MessageBoxButtons::OkCancel, ui::MessageBoxIcon::None);
  EXPECT_EQ(result, ui::MessageBoxResult::Cancel);
  EXPECT_EQ(clicks, 2);  // both clicks ran while the box was open
  EXPECT_EQ(desktop_.tickCount(), 300);
}

TEST_F(ToolkitTest, AnswersWaitForTheirTitleAndRejectMissingButtons) {
  user("answer OK title second\nat 50 answer Yes\nat 60 answer OK");
  auto first = ui::messageBox("a", "first", ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::None);
  EXPECT_EQ(first, ui::MessageBoxResult::Ok);  // Yes has no button here; answered by the later OK
  EXPECT_EQ(desktop_.tickCount(), 60);
  EXPECT_EQ(ui::messageBox("b", "second", ui::MessageBoxButtons::OkCancel, ui::MessageBoxIcon::None),
            ui::MessageBoxResult::Ok);
}

TEST_F(ToolkitTest, OpenFileDialogReturnsEveryChosenPathThroughTheLibrary) {
  user("choose a.txt \"my dir/b.txt\" /abs/中文.txt\nchoose\nchoose /x/only.txt");
  ui::OpenFileRequest request;
  request.multiSelect = true;
  request.bufferCharacters = 200;
  auto paths = ui::openFileDialog(request);
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(paths[0], "/data/a.txt");
  EXPECT_EQ(paths[1], "/data/my dir/b.txt");
  EXPECT_EQ(ansiToUtf8(paths[2]), "/abs/中文.txt");
  EXPECT_TRUE(ui::openFileDialog(request).empty());  // cancelled
  request.bufferCharacters = 5;                       // too small for the name
  EXPECT_TRUE(ui::openFileDialog(request).empty());
}

TEST(ScenarioFormat, MalformedLinesNameTheirLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"at x click a", "line 1: 'at' needs a time in milliseconds"},
      {"# fine\nat 10 jump", "line 2: cannot read the action 'jump' with 0 argument(s)"},
      {"answer Maybe", "line 1: unknown button Maybe"},
      {"type \"open", "line 1: a quote is not closed"},
      {"at 5 tray sideways", "line 1: tray takes left-up, double-click or right-up"},
      {"wander", "line 1: unknown command 'wander'"},
  };
  for (const auto& [text, expected] : cases) {
    std::string error;
    EXPECT_FALSE(ScriptedUser::parse(text, "", error)) << text;
    EXPECT_EQ(error, expected);
  }
}

}  // namespace
}  // namespace trenmoor::toolkit
