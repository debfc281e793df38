#include <gtest/gtest.h>

#include "driver/page_driver.h"
#include "registry/registry_access.h"
#include "standin/desktop/desktop.h"
#include "standin/registry/registry_store.h"

namespace trenmoor {
namespace {

class BrowserWindowsTest : public ::testing::Test {
 protected:
  desktop::Handle browserBox(desktop::Handle parent) {
    desktop::Handle box = desktop_.createWindow("TrenmoorBrowserBox", parent, {}, true);
    desktop::Handle embedding = desktop_.createWindow("Shell Embedding", box, {}, true);
    desktop::Handle view = desktop_.createWindow("Shell DocObject View", embedding, {}, true);
    return desktop_.createWindow("Internet Explorer_Server", view, {}, true);
  }
  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  PageDriver driver_;
};

TEST_F(BrowserWindowsTest, CollectsDocumentWindowsDepthFirstAndAppends) {
  desktop::Handle main = desktop_.createWindow("Main", 0, {}, true);
  desktop::Handle first = browserBox(main);
  desktop::Handle second = browserBox(main);
  std::vector<std::int32_t> handles{7};
  EXPECT_TRUE(driver_.collectBrowserServerWindows(main, handles));
  EXPECT_EQ(handles, (std::vector<std::int32_t>{7, std::int32_t(first), std::int32_t(second)}));
  driver_.collectBrowserServerWindows(main, handles);
  EXPECT_EQ(handles.size(), 5u);

  std::vector<std::int32_t> none;
  EXPECT_FALSE(driver_.collectBrowserServerWindows(desktop_.createWindow("Lonely", 0, {}, true), none));
  EXPECT_FALSE(driver_.collectBrowserServerWindows(0xDEAD, none));
  EXPECT_TRUE(none.empty());
}

TEST(RedirectWarning, WritesBothKeysOnlyWhereAllowed) {
  ASSERT_TRUE(standin::openMemoryRegistryStore());
  const Text user = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const Text machine = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  PageDriver driver;
  RegistryAccess registry;

  standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
  driver.setRedirectWarning(1);
  EXPECT_EQ(registry.readDword(user, "WarnOnHTTPSToHTTPRedirect"), 1);
  EXPECT_FALSE(registry.keyOrValueExists(machine, "WarnOnHTTPSToHTTPRedirect"));

  standin::setMachineWideWrites(standin::MachineWideWrites::Allowed);
  driver.setRedirectWarning();
  EXPECT_EQ(registry.readDword(user, "WarnOnHTTPSToHTTPRedirect"), 0);
  EXPECT_TRUE(registry.keyOrValueExists(machine, "WarnOnHTTPSToHTTPRedirect"));
  EXPECT_EQ(registry.readDword(machine, "WarnOnHTTPSToHTTPRedirect"), 0);
  standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
}

}  // namespace
}  // namespace trenmoor
