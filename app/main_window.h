// The program's one window: its controls, their states, and the handlers of the window, the
// tray, stopping, restarting and closing.
#pragma once

#include <memory>

#include "app/pictures.h"
#include "app/transfer_state.h"
#include "platform/toolkit.h"

namespace trenmoor::app {

// The control layout, initial states and handlers.
class MainWindow {
 public:
  explicit MainWindow(TransferState& state);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the window; its created event runs.
  void show();
  const ui::ApplicationWindow& window() const { return *window_; }

  // Asks for confirmation, then stops (the stop button's handler).
  void stopClicked();
  // Freezes the window, clears the list, and restarts once the delay has passed (or leaves the
  // restart to the running transfer).
  void stopTransfer();
  // Replaces this program with a fresh instance of its executable.
  void restartProgram();

  // The controls, for the import and the transfer.
  ui::PictureButton& login() { return *login_; }
  ui::PictureButton& addfile() { return *addfile_; }
  ui::PictureButton& start() { return *start_; }
  ui::PictureButton& stop() { return *stop_; }
  ui::EditBox& files() { return *files_; }
  ui::EditBox& delay() { return *delay_; }
  ui::EditBox& now() { return *now_; }
  ui::EditBox& url() { return *url_; }
  ui::EditBox& pass() { return *pass_; }
  ui::BrowserBox& browser() { return *browser_; }
  ui::PictureBox& image() { return *image_; }

  // The delay box's seconds in milliseconds (saturating).
  std::int32_t delayMilliseconds() const;
  // Disables the delay box and greys it, as a run or a stop does.
  void freezeDelay();

 private:
  void created();
  void positionChanged();
  void trayEvent(ui::TrayAction action);
  bool canBeClosed();
  void filesChanged();
  void loginClicked();

  TransferState& state_;
  std::unique_ptr<ui::ApplicationWindow> window_;
  ui::PictureBox* header_ = nullptr;
  ui::PictureButton* login_ = nullptr;
  ui::PictureButton* addfile_ = nullptr;
  ui::PictureButton* start_ = nullptr;
  ui::PictureButton* stop_ = nullptr;
  ui::EditBox* files_ = nullptr;
  ui::EditBox* delay_ = nullptr;
  ui::EditBox* now_ = nullptr;
  ui::EditBox* url_ = nullptr;
  ui::EditBox* pass_ = nullptr;
  ui::BrowserBox* browser_ = nullptr;
  ui::PictureBox* image_ = nullptr;
};

// The cloud-disk site's home page, opened by login.
const Text& homePageAddress();

}  // namespace trenmoor::app
