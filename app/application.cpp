#include "app/application.h"

#include "driver/file_input.h"

#include "app/link_import.h"

namespace trenmoor::app {
namespace {

// 1. The driver (its creation initialises COM for this thread). 2. The shut-down routine, run
// once on every way out, after the program's frames are gone.
TransferState& startUp(TransferState& state) {
  state.pageDriver = std::make_unique<PageDriver>();
  ui::onProgramEnd([&state] {
    state.linkListText.clear();
    state.linkListText.shrink_to_fit();
    state.pageDriver.reset();
    releaseFileDialogPath();
  });
  return state;
}

}  // namespace

// 3. The window with its handlers; it is shown by runEvents.
Application::Application() : window_(startUp(state_)), transfer_(state_, window_) {
  window_.addfile().onClicked([this] { importLinkFiles(state_, window_); });
}

void Application::runEvents() {
  if (!shown_) {
    shown_ = true;
    window_.show();  // its created event clears the run flags
  }
  ui::runEventLoop(window_.window());
}

int runApplication() {
  Application application;
  application.runEvents();
  // The window is gone (or nothing is left to happen): the program ends.
  ui::endProgram(ui::programExitCode());
  return ui::programExitCode();
}

}  // namespace trenmoor::app
