// The driver console: a browser box of the stand-in with a PageDriver attached to it, and the
// lines (UTF-8) that run driver operations by name and steer the page. The line format and what
// is printed for each line are in docs/console.md.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver/page_driver.h"
#include "standin/browser/browser.h"
#include "standin/browser/network.h"
#include "standin/console/operation_table.h"

namespace trenmoor::desktop {
class Desktop;
}

namespace trenmoor::console {

class DriveConsole {
 public:
  // Builds the browser box on the current desktop (which must outlive the console). Every line
  // printed goes to `print`, without its line end.
  DriveConsole(std::shared_ptr<browser::Network> network, std::function<void(const std::string&)> print);
  ~DriveConsole();
  DriveConsole(const DriveConsole&) = delete;
  DriveConsole& operator=(const DriveConsole&) = delete;

  // Runs one line; false when it was an error (printed as "error line N: ..."). Blank lines and
  // lines starting with # do nothing.
  bool runLine(std::string_view line, std::int32_t lineNumber);
  // Navigates the box to the address, waits for the page and attaches the driver: the `load`
  // line. False when the page did not finish within the wait.
  bool load(std::string_view address);
  bool quitRequested() const { return quit_; }

  // How long wait-ready and load wait by default, in milliseconds of the desktop's clock.
  static constexpr std::int64_t kDefaultWaitMs = 10000;

 private:
  bool waitReady(std::int64_t timeoutMs);
  void runOperation(const Operation& operation, const std::vector<std::string>& words);
  // A value as printed (docs/console.md); an element described becomes the one "@" names.
  std::string describe(const Value& value);
  template <typename Item>
  std::string describeItem(const Item& item);
  std::string help(std::string_view name) const;

  std::shared_ptr<browser::Network> network_;
  std::function<void(const std::string&)> print_;
  win::HWND box_ = 0;
  std::unique_ptr<browser::Browser> browser_;
  PageDriver driver_;
  ComObject lastElement_;  // the element the last operation gave, for "@"
  bool quit_ = false;
};

// The signature of an operation as help shows it: "name <text> [<integer>] -> logical".
std::string operationSignature(const Operation& operation);

}  // namespace trenmoor::console
