// The program from start-up to shut-down.
#pragma once

namespace trenmoor::app {

// Creates the page driver, registers the shut-down routine, shows the main window and runs
// the window events until the window is gone or the program ends. Returns the exit code.
int runApplication();

}  // namespace trenmoor::app
