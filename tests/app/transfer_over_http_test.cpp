// Two links end to end: the whole program on the real clock, the stand-in site over loopback
// HTTP, logged in by the user inside the browser box.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/site/loopback_server.h"
#include "standin/site/site.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor::app {
namespace {

TEST(TransferOverHttp, TwoLinksAreSavedThroughARealConnection) {
  const auto folder = std::filesystem::temp_directory_path() / "trenmoor-transfer-over-http";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "links.txt", std::ios::binary)
      << utf8ToAnsi("链接:https://pan.baidu.com/s/one 密码:c0de\r\nhttps://pan.baidu.com/s/two t2wo\r\n");

  auto parsed = site::parseSiteDescription(
      "latency 20\naccount demo pw\nfolder _disk_id_14 我的资源\nshare one c0de files=a.txt\nshare two t2wo files=b.txt\n");
  ASSERT_TRUE(parsed.ok());
  site::Site cloudDisk(std::move(parsed.description));

  toolkit::Toolkit::current().reset();
  desktop::Desktop desktop(desktop::ClockKind::Real, desktop::ProcessStarts::Recorded);
  browser::BrowserStandIn browsers;
  browsers.network().setOutsideAccess(browser::OutsideAccess::Refused);
  site::LoopbackServer server(cloudDisk.handler());
  ASSERT_TRUE(server.start());
  browsers.network().addRoute(site::kSiteHost, server.origin());

  std::string error;
  auto scenario = toolkit::ScriptedUser::parse(
      "answer OK title 导入成功\nanswer OK title 提示信息\nchoose links.txt\nat 50 click login\n"
      "at 600 page-type browser account demo\nat 650 page-type browser password pw\n"
      "at 700 page-click browser loginButton\nat 1300 type delay 1\nat 1350 click addfile\nat 1400 click start\n"
      // A guard: whatever happens, the run is closed after 30 seconds.
      "at 30000 close\nanswer OK title 确认信息",
      folder.string(), error);
  ASSERT_TRUE(scenario) << error;
  toolkit::ScriptedUser user(std::move(*scenario));
  user.start();
  runApplication();

  const auto records = cloudDisk.recordsText();
  EXPECT_NE(records.find("saved one to 我的资源 (_disk_id_14) by demo: a.txt"), std::string::npos) << records;
  EXPECT_NE(records.find("saved two to 我的资源 (_disk_id_14) by demo: b.txt"), std::string::npos) << records;
  ASSERT_EQ(desktop.startedProcesses().size(), 1u);  // the restart after the completion message
  EXPECT_LT(desktop.tickCount(), 30000);
  server.stop();
  toolkit::Toolkit::current().reset();
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace trenmoor::app
