// The program's own facilities: ending, shut-down routines, its path, starting processes and
// reading files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "standin/desktop/desktop.h"
#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::ui {

void endProgram(int exitCode) {
  auto& desktop = desktop::Desktop::current();
  auto& toolkit = toolkit::Toolkit::current();
  if (!desktop.processEnded()) {
    toolkit.note("end", "exit code " + std::to_string(exitCode));
    desktop.endProcess(exitCode);
  }
  // Inside the event loop the program's own frames may still be on the stack (a handler, a
  // wait, a message box): leave them all at once. The loop runs the shut-down routines once
  // nothing of the program is left to return into.
  if (toolkit.insideEventLoop()) throw desktop::ProcessEnded{};
  toolkit.runShutdownRoutines();
}

int programExitCode() { return desktop::Desktop::current().exitCode(); }

void onProgramEnd(std::function<void()> routine) {
  toolkit::Toolkit::current().addShutdownRoutine(std::move(routine));
}

namespace {
std::string executablePath() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}
}  // namespace

Text programDirectory() {
  std::string path = executablePath();
  return utf8ToAnsi(path.substr(0, path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/')));
}

Text programFileName() {
  std::string path = executablePath();
  auto slash = path.find_last_of('/');
  return utf8ToAnsi(slash == std::string::npos ? path : path.substr(slash + 1));
}

Text pathSeparator() { return "/"; }

bool startProcess(const Text& path, std::int32_t readyWaitMs) {
  (void)readyWaitMs;  // a program of this platform has no input-idle state to wait for
  bool started = desktop::Desktop::current().startProcess(path, "");
  toolkit::Toolkit::current().note("process", std::string(started ? "start " : "failed to start ") + ansiToUtf8(path));
  return started;
}

std::optional<Bytes> readWholeFileShared(const Text& path) {
  int fd = ::open(ansiToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // Others may read but not write while we read: a writer's exclusive lock refuses us.
  if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  // Read straight into the result, sized from the file and grown if it grows meanwhile.
  Bytes data;
  struct stat info {};
  std::size_t expected = fstat(fd, &info) == 0 && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  data.resize(expected + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == data.size()) data.resize(data.size() * 2 + 4096);
    ssize_t n = ::read(fd, data.data() + used, data.size() - used);
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  data.resize(used);
  ::close(fd);
  return data;
}

}  // namespace trenmoor::ui
