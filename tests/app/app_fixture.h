// A main window on a virtual-clock desktop, played by a scripted user.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/link_import.h"
#include "app/main_window.h"
#include "app/transfer.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor::app {

class AppFixture : public ::testing::Test {
 protected:
  AppFixture() {
    toolkit::Toolkit::current().reset();
    browsers_ = std::make_unique<browser::BrowserStandIn>();
    browsers_->network().setOutsideAccess(browser::OutsideAccess::Refused);  // loopback only
    folder_ = std::filesystem::temp_directory_path() /
              ("trenmoor-app-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    state_.pageDriver = std::make_unique<PageDriver>();
    window_ = std::make_unique<MainWindow>(state_);
    window_->addfile().onClicked([this] { importLinkFiles(state_, *window_); });
    transfer_ = std::make_unique<Transfer>(state_, *window_);
    ui::onProgramEnd([this] { ++shutdowns_; });
  }
  ~AppFixture() override {
    user_.reset();
    transfer_.reset();
    window_.reset();
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

  // Shows the window and plays the scenario until the window is gone or nothing is left to
  // happen.
  void play(const std::string& scenario) {
    std::string error;
    auto parsed = toolkit::ScriptedUser::parse(scenario, folder_.string(), error);
    ASSERT_TRUE(parsed) << error;
    user_ = std::make_unique<toolkit::ScriptedUser>(std::move(*parsed));
    user_->start();
    if (!window_->window().destroyed() && !shown_) {
      shown_ = true;
      window_->show();
    }
    desktop_.runUntil([this] { return window_->window().destroyed(); });
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

  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  std::unique_ptr<browser::BrowserStandIn> browsers_;
  std::filesystem::path folder_;
  TransferState state_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Transfer> transfer_;
  std::unique_ptr<toolkit::ScriptedUser> user_;
  bool shown_ = false;
  int shutdowns_ = 0;
};

}  // namespace trenmoor::app
