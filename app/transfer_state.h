// The application's shared state: the imported list, its line count and the run flags, with
// the one page driver. One instance lives for the life of the program.
#pragma once

#include <cstdint>
#include <memory>

#include "driver/page_driver.h"
#include "platform/text.h"

namespace trenmoor::app {

struct TransferState {
  Text linkListText;            // every imported file's text followed by "\r\n"
  std::int32_t linkCount = 0;   // members of splitText(linkListText, "\r\n")
  bool stopRequested = false;   // the user confirmed a stop
  bool transferStarted = false; // start was pressed in this run of the program
  std::unique_ptr<PageDriver> pageDriver;
};

}  // namespace trenmoor::app
