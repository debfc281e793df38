#include <gtest/gtest.h>

#include "driver/page_driver.h"
#include "platform/object_results.h"
#include "standin/desktop/desktop.h"

namespace trenmoor {
namespace {

// A document object that answers one member: its name.
class NamedDocument : public Dispatch {
 public:
  explicit NamedDocument(std::u16string name) : name_(std::move(name)) {}
  bool getMember(std::u16string_view member, Variant& result) override {
    if (!memberNameEquals(member, "title")) return false;
    result = Variant(name_);
    return true;
  }
  bool putMember(std::u16string_view, const Variant&) override { return false; }
  bool invoke(std::u16string_view, std::span<const Variant>, Variant&) override { return false; }

 private:
  std::u16string name_;
};

class AttachTest : public ::testing::Test {
 protected:
  // A document window that hands out the named document when asked.
  desktop::Handle documentWindow(desktop::Handle parent, std::u16string name) {
    desktop::Handle window = desktop_.createWindow("Internet Explorer_Server", parent, {}, true);
    auto message = desktop_.registerWindowMessage("WM_HTML_GETOBJECT");
    DispatchRef document(new NamedDocument(std::move(name)));
    desktop_.setMessageHandler(window, [=](std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
      if (m != message) return 0;
      return win::LresultFromObject(win::IID_IHTMLDocument, 0, document);
    });
    return window;
  }
  desktop::Handle window(desktop::Handle parent, const char* className = "Frame") {
    return desktop_.createWindow(className, parent, {}, true);
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  PageDriver driver_;
};

TEST_F(AttachTest, FindsTheDocumentWindowDepthFirstFromTheMainWindow) {
  desktop::Handle main = window(0);
  desktop::Handle box = window(main);
  desktop::Handle embedding = window(box, "Shell Embedding");
  desktop::Handle view = window(embedding, "Shell DocObject View");
  documentWindow(view, u"deep first");
  documentWindow(main, u"shallow but later");
  EXPECT_TRUE(driver_.getDocument().empty());
  ASSERT_TRUE(driver_.attach(main));
  EXPECT_EQ(driver_.getDocument().getText("title"), "deep first");
}

TEST_F(AttachTest, UsesTheDocumentWindowItselfWithoutSearching) {
  desktop::Handle outer = documentWindow(window(0), u"outer");
  documentWindow(outer, u"inner");
  ASSERT_TRUE(driver_.attach(outer));
  EXPECT_EQ(driver_.getDocument().getText("title"), "outer");
}

TEST_F(AttachTest, KeepsThePreviousDocumentWhenTheNewWindowFails) {
  desktop::Handle main = window(0);
  documentWindow(main, u"first");
  ASSERT_TRUE(driver_.attach(main));

  desktop::Handle gone = window(0);
  desktop_.destroyWindow(gone);
  EXPECT_FALSE(driver_.attach(gone));
  EXPECT_EQ(driver_.getDocument().getText("title"), "first");

  // A window without a browser, and a browser that does not answer: the old document stays.
  desktop::Handle empty = window(0);
  EXPECT_TRUE(driver_.attach(empty));
  desktop::Handle hung = desktop_.createWindow("Internet Explorer_Server", 0, {}, true);
  desktop_.setMessageHandler(hung, [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::optional<std::intptr_t>(); });
  std::int64_t before = desktop_.tickCount();
  EXPECT_TRUE(driver_.attach(hung));
  EXPECT_GE(desktop_.tickCount() - before, 1000);  // the send gave up after its time-out
  EXPECT_EQ(driver_.getDocument().getText("title"), "first");

  driver_.releaseDocument();
  EXPECT_TRUE(driver_.getDocument().empty());
  EXPECT_FALSE(driver_.attach(empty));
}

TEST_F(AttachTest, EventsRunBetweenSiblingsDuringTheSearch) {
  desktop::Handle main = window(0);
  window(window(main));
  window(main);
  documentWindow(window(main), u"found");
  bool ran = false;
  desktop_.post([&] { ran = true; });
  ASSERT_TRUE(driver_.attach(main));
  EXPECT_TRUE(ran);
}

TEST_F(AttachTest, ClassNamesAreReadThroughAFiftyByteBuffer) {
  desktop::Handle w = desktop_.createWindow(std::string(60, 'x'), 0, {}, true);
  EXPECT_EQ(PageDriver::windowClassName(w), std::string(49, 'x'));
  EXPECT_EQ(PageDriver::windowClassName(0), "");
}

}  // namespace
}  // namespace trenmoor
