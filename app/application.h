// The program from start-up to shut-down.
#pragma once

#include <memory>

#include "app/main_window.h"
#include "app/transfer.h"
#include "app/transfer_state.h"

namespace trenmoor::app {

// The program's parts wired together: the state with its page driver, the shut-down routine,
// the main window with the import and the transfer on its buttons.
class Application {
 public:
  // Start-up up to the window: creates the driver (initialising COM for this thread), registers
  // the shut-down routine and creates the window with its handlers.
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Shows the window (the first time) and runs window events until the window is gone, the
  // program has ended, or nothing is left to happen.
  void runEvents();

  TransferState& state() { return state_; }
  MainWindow& window() { return window_; }

 private:
  TransferState state_;
  MainWindow window_;
  Transfer transfer_;
  bool shown_ = false;
};

// Runs the program: start-up, the window's events, then the end with its exit code.
int runApplication();

}  // namespace trenmoor::app
