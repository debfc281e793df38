// trenmoor-drive: loads a page into a browser box of the stand-in, attaches a PageDriver and runs
// driver operations by name, one per line, from a file or standard input (docs/console.md).
// Usage: trenmoor-drive [--site <site description>] [--strict] [--echo] [--real-clock]
//                       [<address> [<script file>|-]]
// Exit status: 0 when every line ran, 1 when a line failed, 2 for bad usage or unreadable files.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "standin/browser/browser_standin.h"
#include "standin/console/drive_console.h"
#include "standin/desktop/desktop.h"
#include "standin/site/site.h"
#include "standin/toolkit/toolkit_standin.h"

#ifdef TRENMOOR_HAVE_READLINE
#include <readline/history.h>
#include <readline/readline.h>
#endif

namespace {

using namespace trenmoor;

int usage() {
  std::fprintf(stderr,
               "usage: trenmoor-drive [--site <site description>] [--strict] [--echo] [--real-clock] "
               "[<address> [<script file>|-]]\n");
  return 2;
}

// The next line of an interactive session, after a prompt; nullopt at the end of input.
std::optional<std::string> promptedLine() {
#ifdef TRENMOOR_HAVE_READLINE
  char* read = readline("drive> ");
  if (!read) return std::nullopt;
  std::string line = read;
  std::free(read);
  if (!line.empty()) add_history(line.c_str());
  return line;
#else
  std::fputs("drive> ", stdout);
  std::fflush(stdout);
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  bool strict = false;
  bool echo = false;
  bool realClock = false;
  std::string sitePath;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--strict") strict = true;
    else if (arg == "--echo") echo = true;
    else if (arg == "--real-clock") realClock = true;
    else if (arg == "--site" && i + 1 < argc) sitePath = argv[++i];
    else if (arg == "-" || (!arg.empty() && arg[0] != '-')) positional.push_back(arg);
    else return usage();
  }
  if (positional.size() > 2) return usage();

  std::ifstream scriptFile;
  const bool fromFile = positional.size() == 2 && positional[1] != "-";
  if (fromFile) {
    scriptFile.open(positional[1], std::ios::binary);
    if (!scriptFile) {
      std::fprintf(stderr, "trenmoor-drive: cannot read %s\n", positional[1].c_str());
      return 2;
    }
  }
  std::istream& input = fromFile ? static_cast<std::istream&>(scriptFile) : std::cin;
  const bool interactive = !fromFile && isatty(STDIN_FILENO);

  desktop::Desktop desktop(realClock ? desktop::ClockKind::Real : desktop::ClockKind::Virtual,
                           desktop::ProcessStarts::Recorded);
  browser::BrowserStandIn browsers;
  std::unique_ptr<site::Site> cloudDisk;
  if (!sitePath.empty()) {
    auto parsed = site::readSiteDescription(sitePath);
    if (!parsed.ok()) {
      std::fprintf(stderr, "trenmoor-drive: %s: %s\n", sitePath.c_str(), parsed.error->text().c_str());
      return 2;
    }
    cloudDisk = std::make_unique<site::Site>(std::move(parsed.description));
    browsers.network().addSite(site::kSiteHost, cloudDisk->handler());
  }

  console::DriveConsole console(browsers.sharedNetwork(), [](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  });

  bool allRan = true;
  if (!positional.empty()) {
    // The address on the command line loads as a load line would; its errors name line 0.
    allRan = console.runLine("load " + toolkit::quoteForTranscript(positional[0]), 0);
    if (!allRan && strict) return 1;
  }
  if (interactive) std::puts("trenmoor-drive: type help for the lines it takes, quit or end of input to leave");

  std::int32_t lineNumber = 0;
  while (!console.quitRequested()) {
    std::optional<std::string> line;
    if (interactive) {
      line = promptedLine();
    } else {
      std::string read;
      if (std::getline(input, read)) line = std::move(read);
    }
    if (!line) break;
    ++lineNumber;
    if (echo) std::printf("> %s\n", line->c_str());
    if (!console.runLine(*line, lineNumber)) {
      allRan = false;
      if (strict) break;
    }
  }
  return allRan ? 0 : 1;
}
