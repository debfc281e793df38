#include "app/application.h"

#include "driver/file_input.h"

#include "app/link_import.h"
#include "app/main_window.h"
#include "app/transfer.h"

namespace trenmoor::app {

int runApplication() {
  TransferState state;
  // 1. The driver (its creation initialises COM for this thread).
  state.pageDriver = std::make_unique<PageDriver>();
  // 2. The shut-down routine, run once on every way out.
  ui::onProgramEnd([&state] {
    state.linkListText.clear();
    state.linkListText.shrink_to_fit();
    state.pageDriver.reset();
    releaseFileDialogPath();
  });
  // 3. The window; its created event clears the run flags.
  MainWindow window(state);
  window.addfile().onClicked([&] { importLinkFiles(state, window); });
  Transfer transfer(state, window);
  window.show();
  // 4. Window events until the window is gone or the program ended.
  ui::runEventLoop(window.window());
  ui::endProgram(ui::programExitCode());
  return ui::programExitCode();
}

}  // namespace trenmoor::app
