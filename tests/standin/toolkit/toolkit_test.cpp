#include <gtest/gtest.h>

#include "standin/browser/browser_standin.h"
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
      {"# fine\nat 10 jump", "line 2: unknown action 'jump'"},
      {"at 10 click", "line 1: 'click' takes 1 word(s) after it"},
      {"at 10 click a b", "line 1: too many words after 'click'"},
      {"when ready", "line 1: 'ready' takes 1 word(s) after it"},
      {"when glows a click b", "line 1: unknown condition 'glows'"},
      {"when enabled start", "line 1: action is missing"},
      {"at 1 page-key browser i F13", "line 1: unknown key F13 (a character, Enter, Tab, Escape, Space or Backspace)"},
      {"expect box", "line 1: expect [anywhere] <kind> <text>"},
      {"limit soon", "line 1: limit <ms>"},
      {"answer Maybe", "line 1: unknown button Maybe"},
      {"type \"open", "line 1: a quote is not closed"},
      {"at 5 tray sideways", "line 1: tray takes left-up, double-click or right-up"},
      {"at 1 page-select browser p 3", "line 1: page-select takes both ends of its characters, or neither"},
      {"at 1 page-select browser p 4 2", "line 1: page-select ends its characters at or after their start"},
      {"at 1 page-select browser p -1 2", "line 1: page-select takes character positions 0 and up"},
      {"wander", "line 1: unknown command 'wander'"},
  };
  for (const auto& [text, expected] : cases) {
    std::string error;
    EXPECT_FALSE(ScriptedUser::parse(text, "", error)) << text;
    EXPECT_EQ(error, expected);
  }
}

// The parser and the transcript read and write actions and conditions from one table.
TEST(ScenarioFormat, ActionsAndConditionsReadBackAsDescribed) {
  const char* actions[] = {"click login", "type delay \"1\"", "page-type browser account \"d e\"",
                           "page-click browser x", "page-key browser x Enter", "page-key browser x q",
                           "page-select browser p", "page-select browser p 2 5",
                           "minimise", "close", "tray double-click", "mouse 3 -4", "answer Cancel"};
  for (const char* line : actions) {
    std::string error;
    auto scenario = ScriptedUser::parse(std::string("at 0 ") + line, "", error);
    ASSERT_TRUE(scenario) << line << ": " << error;
    EXPECT_EQ(describeAction(scenario->timed.at(0).action), line);
  }
  const char* conditions[] = {"enabled start", "disabled stop", "shows now \"2\"", "ready browser",
                              "address browser \"/disk\"", "element browser userName", "box \"提示信息\""};
  for (const char* condition : conditions) {
    std::string error;
    auto scenario = ScriptedUser::parse(std::string("when ") + condition + " click b", "", error);
    ASSERT_TRUE(scenario) << condition << ": " << error;
    EXPECT_EQ(describeCondition(scenario->conditional.at(0).condition), condition);
    EXPECT_EQ(describeAction(scenario->conditional.at(0).action), "click b");
  }
}

TEST_F(ToolkitTest, WhenActsOnceAsSoonAsItsConditionHoldsAndReportsWhatNeverHeld) {
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  window->show();
  auto& button = window->addPictureButton("b", {0, 0, 10, 10});
  auto& edit = window->addEditBox("e", {0, 0, 10, 10}, "");
  button.setEnabled(false);
  std::vector<std::int64_t> clicks;
  button.onClicked([&] {
    clicks.push_back(desktop_.tickCount());
    edit.setText("clicked");
    ui::messageBox("sure?", "ask", ui::MessageBoxButtons::OkCancel, ui::MessageBoxIcon::None);
  });
  desktop_.setTimer(100, [&] { button.setEnabled(true); });
  desktop_.setTimer(200, [&] { button.setEnabled(false); });
  desktop_.setTimer(300, [&] { button.setEnabled(true); });
  auto& scripted = user("when enabled b click b\nwhen box ask answer OK\nwhen shows e clicked type e done\n"
                        "when disabled e click b");
  desktop_.runUntil([] { return false; });
  EXPECT_EQ(clicks, (std::vector<std::int64_t>{100}));
  EXPECT_EQ(edit.text(), "done");
  EXPECT_TRUE(Toolkit::current().openMessageBoxes().empty());
  EXPECT_EQ(scripted.conditionsNeverMet(), (std::vector<std::string>{"when disabled e click b"}));
}

TEST_F(ToolkitTest, ExpectationsHoldInOrderOrAnywhere) {
  auto& scripted = user("expect box \"open\"\nexpect anywhere user \"click a\"\nexpect box \"answered OK\"\n"
                        "expect user \"click a\"");
  scripted.note("user", "click a");
  scripted.note("box", "open title=\"x\"");
  scripted.note("box", "answered OK title=\"x\"");
  // The last one must come after the box was answered: it does not.
  EXPECT_EQ(scripted.unmetExpectations(), (std::vector<std::string>{"expect user \"click a\""}));
  scripted.note("user", "click a");
  EXPECT_TRUE(scripted.unmetExpectations().empty());
}

TEST_F(ToolkitTest, TrayDoubleClickArrivesAfterTheRelease) {
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  window->show();
  std::vector<ui::TrayAction> seen;
  window->onTrayEvent([&](ui::TrayAction action) { seen.push_back(action); });
  window->addTrayIcon({}, "tip");
  EXPECT_TRUE(Toolkit::current().trayEvent(ui::TrayAction::LeftDoubleClick));
  EXPECT_EQ(seen, (std::vector<ui::TrayAction>{ui::TrayAction::LeftButtonUp, ui::TrayAction::LeftDoubleClick}));
}

// A person's typing and keys on a page reach the page's handlers in a person's order.
TEST_F(ToolkitTest, TypingAndKeysOnAPageFireTheirEvents) {
  browser::BrowserStandIn browsers;
  browsers.network().addSite("site.test", [](const browser::SiteRequest&) {
    return browser::SiteResponse::page(
        "<script>function log(t){document.title+=t+',';}</script>"
        "<input id=i onfocus=\"log('focus')\" onpropertychange=\"log('propertychange:'+this.value)\" "
        "oninput=\"log('input')\" onchange=\"log('change')\" onkeydown=\"log('down'+event.keyCode)\" "
        "onkeypress=\"log('press'+event.keyCode)\" onkeyup=\"log('up'+event.keyCode)\">");
  });
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  auto& box = window->addBrowserBox("browser", {0, 0, 50, 50}, "http://site.test/");
  window->show();
  desktop_.runUntil([&] { return box.readyState() == ui::kReadyStateComplete; });
  auto& toolkit = Toolkit::current();
  ASSERT_TRUE(toolkit.pageHasElement("browser", "i"));
  EXPECT_FALSE(toolkit.pageHasElement("browser", "missing"));
  EXPECT_TRUE(toolkit.typeIntoPage("browser", "i", "ab"));
  EXPECT_TRUE(toolkit.pressKeyInPage("browser", "i", 13));
  EXPECT_FALSE(toolkit.typeIntoPage("browser", "missing", "x"));
  auto document = window ? dynamic_cast<MainWindowControls&>(*window).browserDocument("browser") : ComObject();
  EXPECT_EQ(document.getText("title"), "focus,propertychange:ab,input,change,down13,press13,up13,");
}

// A person's selection on a page: the page may refuse it, and what is selected is the page's
// selection.
TEST_F(ToolkitTest, SelectingOnAPageMakesTheDocumentsSelection) {
  browser::BrowserStandIn browsers;
  browsers.network().addSite("site.test", [](const browser::SiteRequest&) {
    return browser::SiteResponse::page("<p id=p>one <b>two</b> three</p><p id=locked onselectstart='return false'>no</p>");
  });
  auto window = ui::createMainWindow("w", 0, 0, 100, 100);
  auto& box = window->addBrowserBox("browser", {0, 0, 50, 50}, "http://site.test/");
  window->show();
  desktop_.runUntil([&] { return box.readyState() == ui::kReadyStateComplete; });
  auto& toolkit = Toolkit::current();
  auto document = dynamic_cast<MainWindowControls&>(*window).browserDocument("browser");
  auto selected = [&] { return document.getObject("selection").callObject("createRange").getText("htmlText"); };

  EXPECT_TRUE(toolkit.selectInPage("browser", "p", -1, -1));
  EXPECT_EQ(selected(), "<P id=\"p\">one <B>two</B> three</P>");
  EXPECT_TRUE(toolkit.selectInPage("browser", "p", 2, 6));
  EXPECT_EQ(selected(), "e <B>tw</B>");
  EXPECT_FALSE(toolkit.selectInPage("browser", "locked", -1, -1));
  EXPECT_EQ(selected(), "e <B>tw</B>");
  EXPECT_FALSE(toolkit.selectInPage("browser", "missing", -1, -1));
}

}  // namespace
}  // namespace trenmoor::toolkit
