// The driver on pages shown in a browser box of a real main window, through the browser
// stand-in: attaching from the main window, and filling file inputs through the dialog hook.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/page_driver.h"
#include "platform/module_memory.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor {
namespace {

class BrowserPageTest : public ::testing::Test {
 protected:
  BrowserPageTest() {
    toolkit::Toolkit::current().reset();
    browsers_ = std::make_unique<browser::BrowserStandIn>();
    browsers_->network().setOutsideAccess(browser::OutsideAccess::Refused);
    browsers_->network().addSite("example.com", [this](const browser::SiteRequest&) {
      return browser::SiteResponse::page(page_);
    });
    window_ = ui::createMainWindow("w", 50, 50, 640, 520);
    window_->addPictureBox("header", {0, 0, 634, 86});
    box_ = &window_->addBrowserBox("browser", {6, 128, 620, 358}, "about:blank");
    window_->show();
  }
  ~BrowserPageTest() override {
    user_.reset();
    window_.reset();
    browsers_.reset();
    toolkit::Toolkit::current().reset();
  }
  // Shows the page in the browser box and attaches the driver from the main window.
  void show(std::string markup) {
    page_ = std::move(markup);
    box_->setAddress("http://example.com/upload.html");
    ASSERT_TRUE(desktop_.runUntil([&] { return box_->readyState() == ui::kReadyStateComplete; }));
    ASSERT_TRUE(driver_.attach(window_->windowHandle()));
  }
  void play(const std::string& scenario) {
    std::string error;
    user_ = std::make_unique<toolkit::ScriptedUser>(*toolkit::ScriptedUser::parse(scenario, "/data", error));
    user_->start();
  }
  ComObject byId(const char* id) {
    return driver_.getDocument().callObject("getElementById", {ComObject::textArgument(id)});
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  std::unique_ptr<browser::BrowserStandIn> browsers_;
  std::unique_ptr<ui::ApplicationWindow> window_;
  ui::BrowserBox* box_ = nullptr;
  std::unique_ptr<toolkit::ScriptedUser> user_;
  std::string page_;
  PageDriver driver_;
};

TEST_F(BrowserPageTest, AttachingFromTheMainWindowReadsThePageOfTheBrowserBox) {
  show("<html><head><title>上传</title></head><body><p id=p>第一段</p><p>two</p>"
       "<input name=q value=v><a id=l href=next.html>next</a></body></html>");
  ComObject document = driver_.getDocument();
  EXPECT_EQ(ansiToUtf8(document.getText("title")), "上传");
  EXPECT_EQ(ansiToUtf8(byId("p").getText("innerText")), "第一段");
  EXPECT_EQ(driver_.getTextInputValue("q"), "v");
  EXPECT_EQ(byId("l").getText("href"), "http://example.com/next.html");
  EXPECT_EQ(document.getObject("body").getObject("all").callObject("tags", {ComObject::textArgument("p")}).getInteger("length"), 2);
  std::vector<std::int32_t> windows;
  EXPECT_TRUE(driver_.collectBrowserServerWindows(window_->windowHandle(), windows));
  EXPECT_EQ(windows.size(), 1u);
  EXPECT_EQ(PageDriver::windowClassName(static_cast<win::HWND>(windows[0])), "Internet Explorer_Server");
}

TEST_F(BrowserPageTest, ClickLinkWithClearTargetStaysInTheBox) {
  show("<a id=blank href='/other.html' target=_blank>b</a><a id=again href='/again.html' target=_blank>a</a>");
  EXPECT_TRUE(driver_.clickLink("b"));
  desktop_.runUntil([&] { return false; });
  EXPECT_EQ(browsers_->popups().size(), 1u);  // without clearing: a new window
  EXPECT_EQ(ansiToUtf8(box_->address()), "http://example.com/upload.html");
  EXPECT_TRUE(driver_.clickLink("a", 0, true));
  desktop_.runUntil([&] { return false; });
  EXPECT_EQ(browsers_->popups().size(), 1u);
  EXPECT_EQ(ansiToUtf8(box_->address()), "http://example.com/again.html");
}

const char* const kUploadPage =
    "<form><input type=text name=note id=note><input type=file name=upload id=upload></form>";

TEST_F(BrowserPageTest, FillFileInputAnswersTheDialogWithThePath) {
  show(kUploadPage);
  const Text path = utf8ToAnsi("/home/用户/报告.pdf");
  driver_.fillFileInput("upload", path);
  EXPECT_EQ(byId("upload").getText("value"), path);
  // The entry point is itself again: the next dialog is the user's.
  play("choose /tmp/mine.txt");
  ui::OpenFileRequest request;
  EXPECT_EQ(ui::openFileDialog(request), (std::vector<Text>{"/tmp/mine.txt"}));
}

TEST_F(BrowserPageTest, FillFileInputEdgeCases) {
  show(kUploadPage);
  driver_.fillFileInput("upload", "");  // an empty path: the dialog's buffer as prepared
  EXPECT_EQ(byId("upload").getText("value"), "");
  driver_.fillFileInput("nothing", "/tmp/a.txt");  // no such input: nothing happens
  EXPECT_EQ(byId("upload").getText("value"), "");
  driver_.fillFileInput("note", "/tmp/a.txt");  // a text input opens no dialog
  EXPECT_EQ(byId("note").getText("value"), "");
  driver_.fillFileInput("upload", Text(300, 'x'));  // longer than the dialog's buffer: refused
  EXPECT_EQ(byId("upload").getText("value"), "");
  // The entry point was left as it was every time.
  win::HMODULE library = win::GetModuleHandleA("comdlg32.dll");
  ASSERT_NE(library, nullptr);
  auto entry = reinterpret_cast<const std::uint8_t*>(win::GetProcAddress(library, "GetOpenFileNameW"));
  ASSERT_NE(entry, nullptr);
  EXPECT_NE(entry[0], 0xB8);  // no jump written over it
}

}  // namespace
}  // namespace trenmoor
