// trenmoor-scenario: runs the application on the stand-in platform with a scripted user and
// prints the transcript. Usage: trenmoor-scenario [--real-clock] <scenario file>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/application.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: trenmoor-scenario [--real-clock] <scenario file>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace trenmoor;
  bool realClock = false;
  std::string scenarioPath;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--real-clock") realClock = true;
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
  auto slash = scenarioPath.find_last_of('/');
  std::string baseDirectory = slash == std::string::npos ? "." : scenarioPath.substr(0, slash);
  std::string error;
  auto scenario = toolkit::ScriptedUser::parse(text.str(), baseDirectory, error);
  if (!scenario) {
    std::fprintf(stderr, "trenmoor-scenario: %s: %s\n", scenarioPath.c_str(), error.c_str());
    return 2;
  }

  // The restart at the end of a run is recorded in the transcript, not performed.
  desktop::Desktop desktop(realClock ? desktop::ClockKind::Real : desktop::ClockKind::Virtual,
                           desktop::ProcessStarts::Recorded);
  toolkit::ScriptedUser user(std::move(*scenario));
  user.onLine([](const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  });
  user.start();
  int exitCode = app::runApplication();
  std::printf("%8lld scenario ended; the program's exit code was %d\n",
              static_cast<long long>(desktop.tickCount()), exitCode);
  return 0;
}
