// trenmoor-scenario: runs the application on the stand-in platform with a scripted user and
// prints the transcript, then what the stand-in site recorded; exits 1 when an expectation of
// the scenario failed.
// Usage: trenmoor-scenario [--real-clock] [--site <site description>] <scenario file>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/application.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/site/loopback_server.h"
#include "standin/site/site.h"
#include "standin/toolkit/scripted_user.h"

namespace {

using namespace trenmoor;

int usage() {
  std::fprintf(stderr, "usage: trenmoor-scenario [--real-clock] [--site <site description>] <scenario file>\n");
  return 2;
}

void printLine(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string folderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
  bool realClock = false;
  std::string scenarioPath;
  std::string sitePath;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--real-clock") realClock = true;
    else if (arg == "--site" && i + 1 < argc) sitePath = argv[++i];
    else if (!arg.empty() && arg[0] != '-' && scenarioPath.empty()) scenarioPath = arg;
    else return usage();
  }
  if (scenarioPath.empty()) return usage();

  std::ifstream file(scenarioPath, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "trenmoor-scenario: cannot read %s\n", scenarioPath.c_str());
    return 2;
  }
  std::stringstream text;
  text << file.rdbuf();
  std::string error;
  auto scenario = toolkit::ScriptedUser::parse(text.str(), folderOf(scenarioPath), error);
  if (!scenario) {
    std::fprintf(stderr, "trenmoor-scenario: %s: %s\n", scenarioPath.c_str(), error.c_str());
    return 2;
  }

  // The restart at the end of a run is recorded in the transcript, not performed.
  desktop::Desktop desktop(realClock ? desktop::ClockKind::Real : desktop::ClockKind::Virtual,
                           desktop::ProcessStarts::Recorded);
  browser::BrowserStandIn browsers;

  // The cloud-disk site: in-process on the virtual clock, over loopback HTTP on the real one.
  toolkit::ScriptedUser user(std::move(*scenario));
  user.onLine(printLine);
  std::unique_ptr<site::Site> cloudDisk;
  std::unique_ptr<site::LoopbackServer> server;
  if (!sitePath.empty()) {
    auto parsed = site::readSiteDescription(sitePath);
    if (!parsed.ok()) {
      std::fprintf(stderr, "trenmoor-scenario: %s: %s\n", sitePath.c_str(), parsed.error->text().c_str());
      return 2;
    }
    cloudDisk = std::make_unique<site::Site>(std::move(parsed.description));
    // Every request the site answers goes into the transcript, noted on the user-interface
    // thread (the loopback server answers on threads of its own).
    browser::SiteHandler handler = [respond = cloudDisk->handler(), &desktop, &user](const browser::SiteRequest& request) {
      std::string line = request.method + " " + request.path;
      desktop.post([&user, line] { user.note("site", line); });
      return respond(request);
    };
    if (realClock) {
      server = std::make_unique<site::LoopbackServer>(handler);
      if (!server->start()) {
        std::fprintf(stderr, "trenmoor-scenario: the site cannot listen on the loopback interface\n");
        return 2;
      }
      browsers.network().addRoute(site::kSiteHost, server->origin());
      printLine("site served at " + server->origin() + " for " + site::kSiteHost);
    } else {
      browsers.network().addSite(site::kSiteHost, handler);
    }
  }

  user.start();
  int exitCode = app::runApplication();
  char ending[96];
  std::snprintf(ending, sizeof ending, "%8lld scenario ended; the program's exit code was %d",
                static_cast<long long>(desktop.tickCount()), exitCode);
  printLine(ending);
  std::string records;
  if (cloudDisk) {
    printLine("site records:");
    records = cloudDisk->recordsText();
    std::fputs(records.empty() ? "  (none)\n" : records.c_str(), stdout);
  }
  if (server) server->stop();

  // What the scenario expected: every failure is named, and any makes the exit code 1.
  for (const auto& pending : user.conditionsNeverMet()) printLine("condition never met: " + pending);
  std::vector<std::string> failed = user.unmetExpectations();
  if (user.limitReached()) failed.push_back("the program was still running at the scenario's time limit");
  for (const auto& expected : user.siteExpectations())
    if (records.find(expected) == std::string::npos)
      failed.push_back("expect-site " + toolkit::quoteForTranscript(expected));
  for (const auto& expectation : failed) printLine("expectation failed: " + expectation);
  if (!failed.empty()) return 1;
  return 0;
}
