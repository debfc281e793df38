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
    enum class Kind { Click, Type, Minimise, Tray, Mouse, Close, Answer, PageType, PageClick, PageKey, PageSelect };
    Kind kind = Kind::Click;
    std::string control;  // Click, Type; the browser box of the Page actions
    std::string element;  // the Page actions: the page element's id
    std::string text;     // Type, PageType (UTF-8); the key's name for PageKey
    std::int32_t x = 0, y = 0;  // Mouse
    std::int32_t keyCode = 0;   // PageKey
    // PageSelect: the characters from..to (0-based, end excluded) of the element's text; -1:
    // all of it.
    std::int32_t selectFrom = -1, selectTo = -1;
    ui::TrayAction tray = ui::TrayAction::LeftButtonUp;
    ui::MessageBoxResult answer = ui::MessageBoxResult::Ok;
  };
  // What a `when` waits for.
  struct Condition {
    enum class Kind { Enabled, Disabled, Shows, Ready, Address, Element, Box };
    Kind kind = Kind::Enabled;
    std::string control;  // a control, or the browser box of Ready, Address, Element
    std::string element;  // Element: the page element's id
    std::string text;     // Shows: the control's text; Address: part of the address; Box: the title
  };
  struct TimedAction {
    std::int64_t atMs;
    Action action;
  };
  struct ConditionalAction {
    Condition condition;
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
  // A transcript line that must appear: of this kind, its detail holding the text; after the
  // line that met the previous ordered expectation, or anywhere.
  struct Expectation {
    std::string kind;
    std::string text;
    bool anywhere = false;
  };
  struct Scenario {
    std::vector<TimedAction> timed;
    std::vector<ConditionalAction> conditional;
    std::deque<BoxAnswer> answers;
    std::deque<std::optional<std::vector<std::string>>> fileChoices;  // nullopt: cancel
    std::vector<BoxTrigger> triggers;
    std::vector<Expectation> expectations;
    std::vector<std::string> siteExpectations;  // texts the site's record must hold
    std::optional<std::int64_t> limitMs;          // the program is ended when it still runs then
  };

  // Parses a scenario; relative file paths are taken from `baseDirectory`. On a malformed line
  // returns nullopt and sets `error` to "line N: what is wrong".
  static std::optional<Scenario> parse(const std::string& text, const std::string& baseDirectory, std::string& error);

  explicit ScriptedUser(Scenario scenario);
  ~ScriptedUser() override;
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  // Becomes the toolkit's front-end, schedules the timed actions on the desktop clock and
  // watches the conditions after every event.
  void start();

  // Each transcript line: the clock in milliseconds (right-aligned in 8 columns), the kind and
  // the detail, e.g. "    1000 user click login".
  const std::vector<std::string>& transcript() const { return transcript_; }
  // Also hands each line to `sink` as it is written (the demo prints them as they happen).
  void onLine(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

  // The expectations the transcript does not meet, as scenario lines.
  std::vector<std::string> unmetExpectations() const;
  // The `when` lines whose condition never held.
  std::vector<std::string> conditionsNeverMet() const;
  // True when the scenario's time limit ended the program.
  bool limitReached() const { return limitReached_; }
  const std::vector<std::string>& siteExpectations() const { return scenario_.siteExpectations; }

  void messageBoxOpened(const MessageBoxInfo& box) override;
  std::optional<std::vector<std::string>> chooseFiles(const OpenFileInfo& dialog) override;
  void note(const std::string& kind, const std::string& detail) override;

 private:
  void perform(const Action& action);
  void checkConditions();

  Scenario scenario_;
  std::vector<bool> fired_;  // per conditional action
  std::vector<std::string> transcript_;
  std::function<void(const std::string&)> sink_;
  std::vector<std::uint64_t> timers_;
  bool watching_ = false;
  bool limitReached_ = false;
};

// The scenario line's words for an action or a condition, as the transcript shows them.
std::string describeAction(const ScriptedUser::Action& action);
std::string describeCondition(const ScriptedUser::Condition& condition);

}  // namespace trenmoor::toolkit
