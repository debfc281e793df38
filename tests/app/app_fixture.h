// The program on a virtual-clock desktop, wired as it runs, played by a scripted user.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/link_import.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor::app {

class AppFixture : public ::testing::Test {
 protected:
  AppFixture() {
    ui::onProgramEnd([this] { ++shutdowns_; });  // after the program's own routine
  }
  ~AppFixture() override {
    user_.reset();
    app_.reset();
    browsers_.reset();
    toolkit::Toolkit::current().reset();
    std::filesystem::remove_all(folder_);
  }

  // Writes a file in the test's folder and returns its path.
  std::string file(const std::string& name, const std::string& bytes) {
    auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  // Plays the scenario through the program's own event loop until the window is gone, the
  // program has ended, or nothing is left to happen.
  void play(const std::string& scenario) {
    std::string error;
    auto parsed = toolkit::ScriptedUser::parse(scenario, folder_.string(), error);
    ASSERT_TRUE(parsed) << error;
    user_ = std::make_unique<toolkit::ScriptedUser>(std::move(*parsed));
    user_->start();
    app_->runEvents();
  }

  std::optional<toolkit::ControlState> control(const std::string& name) {
    return toolkit::Toolkit::current().control(name);
  }
  bool transcriptHas(const std::string& text) const {
    for (const auto& line : user_->transcript())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  std::string transcript() const {
    std::string all;
    for (const auto& line : user_->transcript()) all += line + "\n";
    return all;
  }

  static bool resetToolkit() {
    toolkit::Toolkit::current().reset();
    return true;
  }
  static std::unique_ptr<browser::BrowserStandIn> loopbackOnlyBrowsers() {
    auto browsers = std::make_unique<browser::BrowserStandIn>();
    browsers->network().setOutsideAccess(browser::OutsideAccess::Refused);
    return browsers;
  }
  static std::filesystem::path testFolder() {
    return std::filesystem::temp_directory_path() /
           ("trenmoor-app-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  // In this order: the desktop, a fresh toolkit, the browser engine the window's browser box
  // takes, then the program wired as it runs.
  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  bool toolkitReset_ = resetToolkit();
  std::unique_ptr<browser::BrowserStandIn> browsers_ = loopbackOnlyBrowsers();
  std::filesystem::path folder_ = (std::filesystem::create_directories(testFolder()), testFolder());
  std::unique_ptr<Application> app_ = std::make_unique<Application>();
  TransferState& state_ = app_->state();
  MainWindow* const window_ = &app_->window();
  std::unique_ptr<toolkit::ScriptedUser> user_;
  int shutdowns_ = 0;
};

}  // namespace trenmoor::app
