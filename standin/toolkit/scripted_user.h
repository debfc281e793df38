// A front-end that plays the user from a scenario and keeps a transcript of what the program
// showed. The scenario format is described in docs/scenario.md.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::toolkit {

class ScriptedUser final : public FrontEnd {
 public:
  struct Action {
    enum class Kind { Click, Type, Minimise, Tray, Mouse, Close, Answer, PageType, PageClick };
    Kind kind = Kind::Click;
    std::string control;  // Click, Type; the browser box of PageType, PageClick
    std::string element;  // PageType, PageClick: the page element's id
    std::string text;     // Type, PageType (UTF-8)
    std::int32_t x = 0, y = 0;  // Mouse
    ui::TrayAction tray = ui::TrayAction::LeftButtonUp;
    ui::MessageBoxResult answer = ui::MessageBoxResult::Ok;
  };
  struct TimedAction {
    std::int64_t atMs;
    Action action;
  };
  struct BoxAnswer {
    ui::MessageBoxResult answer;
    std::optional<std::string> title;  // only a box with this title
  };
  struct BoxTrigger {
    std::string title;
    Action action;
  };
  struct Scenario {
    std::vector<TimedAction> timed;
    std::deque<BoxAnswer> answers;
    std::deque<std::optional<std::vector<std::string>>> fileChoices;  // nullopt: cancel
    std::vector<BoxTrigger> triggers;
  };

  // Parses a scenario; relative file paths are taken from `baseDirectory`. On a malformed line
  // returns nullopt and sets `error` to "line N: what is wrong".
  static std::optional<Scenario> parse(const std::string& text, const std::string& baseDirectory, std::string& error);

  explicit ScriptedUser(Scenario scenario);
  ~ScriptedUser() override;
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  // Becomes the toolkit's front-end and schedules the timed actions on the desktop clock.
  void start();

  // Each transcript line: the clock in milliseconds (right-aligned in 8 columns), the kind and
  // the detail, e.g. "    1000 user click login".
  const std::vector<std::string>& transcript() const { return transcript_; }
  // Also hands each line to `sink` as it is written (the demo prints them as they happen).
  void onLine(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

  void messageBoxOpened(const MessageBoxInfo& box) override;
  std::optional<std::vector<std::string>> chooseFiles(const OpenFileInfo& dialog) override;
  void note(const std::string& kind, const std::string& detail) override;

 private:
  void perform(const Action& action);
  std::string describe(const Action& action) const;

  Scenario scenario_;
  std::vector<std::string> transcript_;
  std::function<void(const std::string&)> sink_;
  std::vector<std::uint64_t> timers_;
};

}  // namespace trenmoor::toolkit
