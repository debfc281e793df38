#include "standin/toolkit/scripted_user.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <type_traits>

#include "standin/desktop/desktop.h"

namespace trenmoor::toolkit {
namespace {

std::optional<std::int64_t> number(const std::string& text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  std::int64_t value = 0;
  bool negative = text[0] == '-';
  if (negative && text.size() == 1) return std::nullopt;
  for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

template <typename Value>
struct Named {
  std::string_view name;
  Value value;
};

constexpr Named<ui::MessageBoxResult> kButtons[] = {
    {"OK", ui::MessageBoxResult::Ok}, {"Cancel", ui::MessageBoxResult::Cancel},
    {"Yes", ui::MessageBoxResult::Yes}, {"No", ui::MessageBoxResult::No}};
constexpr Named<ui::TrayAction> kTrayActions[] = {{"left-up", ui::TrayAction::LeftButtonUp},
                                                  {"double-click", ui::TrayAction::LeftDoubleClick},
                                                  {"right-up", ui::TrayAction::RightButtonUp}};
constexpr Named<std::int32_t> kKeys[] = {{"Enter", 13}, {"Tab", 9},   {"Escape", 27},
                                         {"Space", 32}, {"Backspace", 8}};

template <typename Value, std::size_t N>
std::optional<Value> valueNamed(const Named<Value> (&table)[N], const std::string& name) {
  for (const auto& entry : table)
    if (asciiEqualsIgnoringCase(entry.name, name)) return entry.value;
  return std::nullopt;
}

template <typename Value, std::size_t N>
std::string_view nameOf(const Named<Value> (&table)[N], Value value) {
  for (const auto& entry : table)
    if (entry.value == value) return entry.name;
  return "";
}

// A key by name, or a single character (its upper-case code, as key events give letters).
std::optional<std::int32_t> keyCodeNamed(const std::string& name) {
  if (auto code = valueNamed(kKeys, name)) return code;
  if (name.size() == 1 && static_cast<unsigned char>(name[0]) > 0x20 && static_cast<unsigned char>(name[0]) < 0x7F)
    return std::toupper(static_cast<unsigned char>(name[0]));
  return std::nullopt;
}

// What each word after a verb or a condition's name stands for.
enum class Slot { Control, Element, Text, Tray, X, Y, Button, Key, From, To };

// One table of the scenario's words: parsing reads a line by it, and the transcript describes
// an action by it, so the two always agree.
template <typename Kind>
struct Form {
  std::string_view name;
  Kind kind;
  std::array<Slot, 4> slots;
  std::size_t required;  // slots that must be given
  std::size_t count;     // slots it takes
};

using ActionKind = ScriptedUser::Action::Kind;
constexpr Form<ActionKind> kVerbs[] = {
    {"click", ActionKind::Click, {Slot::Control}, 1, 1},
    {"type", ActionKind::Type, {Slot::Control, Slot::Text}, 1, 2},
    {"page-type", ActionKind::PageType, {Slot::Control, Slot::Element, Slot::Text}, 2, 3},
    {"page-click", ActionKind::PageClick, {Slot::Control, Slot::Element}, 2, 2},
    {"page-key", ActionKind::PageKey, {Slot::Control, Slot::Element, Slot::Key}, 3, 3},
    {"page-select", ActionKind::PageSelect, {Slot::Control, Slot::Element, Slot::From, Slot::To}, 2, 4},
    {"minimise", ActionKind::Minimise, {}, 0, 0},
    {"close", ActionKind::Close, {}, 0, 0},
    {"tray", ActionKind::Tray, {Slot::Tray}, 1, 1},
    {"mouse", ActionKind::Mouse, {Slot::X, Slot::Y}, 2, 2},
    {"answer", ActionKind::Answer, {Slot::Button}, 1, 1},
};

using ConditionKind = ScriptedUser::Condition::Kind;
constexpr Form<ConditionKind> kConditions[] = {
    {"enabled", ConditionKind::Enabled, {Slot::Control}, 1, 1},
    {"disabled", ConditionKind::Disabled, {Slot::Control}, 1, 1},
    {"shows", ConditionKind::Shows, {Slot::Control, Slot::Text}, 2, 2},
    {"ready", ConditionKind::Ready, {Slot::Control}, 1, 1},
    {"address", ConditionKind::Address, {Slot::Control, Slot::Text}, 2, 2},
    {"element", ConditionKind::Element, {Slot::Control, Slot::Element}, 2, 2},
    {"box", ConditionKind::Box, {Slot::Text}, 1, 1},
};

template <typename Kind, std::size_t N>
const Form<Kind>* formNamed(const Form<Kind> (&table)[N], std::string_view name) {
  for (const auto& form : table)
    if (form.name == name) return &form;
  return nullptr;
}

template <typename Kind, std::size_t N>
const Form<Kind>& formOf(const Form<Kind> (&table)[N], Kind kind) {
  for (const auto& form : table)
    if (form.kind == kind) return form;
  return table[0];
}

// Reads one slot's word into the action or condition; false with `error` set when it does not
// fit.
template <typename Target>
bool readSlot(Slot slot, const std::string& word, Target& target, std::string& error) {
  switch (slot) {
    case Slot::Control: target.control = word; return true;
    case Slot::Element: target.element = word; return true;
    case Slot::Text: target.text = word; return true;
    default: break;
  }
  if constexpr (std::is_same_v<Target, ScriptedUser::Action>) {
    switch (slot) {
      case Slot::Tray:
        if (auto tray = valueNamed(kTrayActions, word)) return target.tray = *tray, true;
        return error = "tray takes left-up, double-click or right-up", false;
      case Slot::X:
      case Slot::Y:
        if (auto n = number(word)) return (slot == Slot::X ? target.x : target.y) = static_cast<std::int32_t>(*n), true;
        return error = "mouse takes two whole numbers", false;
      case Slot::Button:
        if (auto button = valueNamed(kButtons, word)) return target.answer = *button, true;
        return error = "unknown button " + word, false;
      case Slot::Key:
        if (auto code = keyCodeNamed(word)) return target.text = word, target.keyCode = *code, true;
        return error = "unknown key " + word + " (a character, Enter, Tab, Escape, Space or Backspace)", false;
      case Slot::From:
      case Slot::To: {
        auto n = number(word);
        if (!n || *n < 0 || *n > INT32_MAX) return error = "page-select takes character positions 0 and up", false;
        (slot == Slot::From ? target.selectFrom : target.selectTo) = static_cast<std::int32_t>(*n);
        if (slot == Slot::To && target.selectTo < target.selectFrom)
          return error = "page-select ends its characters at or after their start", false;
        return true;
      }
      default: break;
    }
  }
  return error = "cannot read '" + word + "'", false;
}

template <typename Target>
std::string slotWord(Slot slot, const Target& target) {
  switch (slot) {
    case Slot::Control: return target.control;
    case Slot::Element: return target.element;
    case Slot::Text: return quoteForTranscript(target.text);
    default: break;
  }
  if constexpr (std::is_same_v<Target, ScriptedUser::Action>) {
    switch (slot) {
      case Slot::Tray: return std::string(nameOf(kTrayActions, target.tray));
      case Slot::X: return std::to_string(target.x);
      case Slot::Y: return std::to_string(target.y);
      case Slot::Button: return messageBoxResultName(target.answer);
      case Slot::Key: return target.text;
      case Slot::From: return target.selectFrom < 0 ? "" : std::to_string(target.selectFrom);
      case Slot::To: return target.selectTo < 0 ? "" : std::to_string(target.selectTo);
      default: break;
    }
  }
  return "";
}

// Reads a form (its name at w[from]) and as many of its slots as `available` words allow,
// at least the required ones. Returns the number of words read, 0 on error.
template <typename Target, typename Kind, std::size_t N>
std::size_t readForm(const Form<Kind> (&table)[N], const std::vector<std::string>& w, std::size_t from,
                     std::size_t available, Target& target, const char* what, std::string& error) {
  if (from >= w.size()) return error = std::string(what) + " is missing", 0;
  const Form<Kind>* form = formNamed(table, w[from]);
  if (!form) return error = "unknown " + std::string(what) + " '" + w[from] + "'", 0;
  const std::size_t given = std::min(available, form->count);
  if (given < form->required)
    return error = "'" + w[from] + "' takes " + std::to_string(form->required) + " word(s) after it", 0;
  target.kind = form->kind;
  for (std::size_t i = 0; i < given; ++i)
    if (!readSlot(form->slots[i], w[from + 1 + i], target, error)) return 0;
  return 1 + given;
}

template <typename Target, typename Kind, std::size_t N>
std::string describeForm(const Form<Kind> (&table)[N], const Target& target) {
  const Form<Kind>& form = formOf(table, target.kind);
  std::string out(form.name);
  for (std::size_t i = 0; i < form.count; ++i) {
    const std::string word = slotWord(form.slots[i], target);
    if (!word.empty()) out += " " + word;  // an optional slot not given
  }
  return out;
}

// An action taking every word from w[from] on.
std::optional<ScriptedUser::Action> action(const std::vector<std::string>& w, std::size_t from, std::string& error) {
  ScriptedUser::Action a;
  const std::size_t available = from < w.size() ? w.size() - from - 1 : 0;
  const std::size_t read = readForm(kVerbs, w, from, available, a, "action", error);
  if (read == 0) return std::nullopt;
  if (from + read != w.size()) return error = "too many words after '" + w[from] + "'", std::nullopt;
  if (a.kind == ActionKind::PageSelect && (a.selectFrom < 0) != (a.selectTo < 0))
    return error = "page-select takes both ends of its characters, or neither", std::nullopt;
  return a;
}

// The kind of a transcript line and its detail: "    1000 user click login".
std::pair<std::string_view, std::string_view> kindAndDetail(std::string_view line) {
  std::size_t start = line.find_first_not_of(' ');
  start = start == std::string_view::npos ? line.size() : line.find(' ', start);
  if (start == std::string_view::npos) return {};
  line.remove_prefix(start + 1);
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  return {line.substr(0, space), line.substr(space + 1)};
}

std::string describeExpectation(const ScriptedUser::Expectation& e) {
  return std::string("expect ") + (e.anywhere ? "anywhere " : "") + e.kind + " " + quoteForTranscript(e.text);
}

std::string padTime(std::int64_t ms) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%8lld", static_cast<long long>(ms));
  return buffer;
}

}  // namespace

std::optional<ScriptedUser::Scenario> ScriptedUser::parse(const std::string& text, const std::string& baseDirectory,
                                                          std::string& error) {
  Scenario scenario;
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(lineNumber) + ": " + what;
    return std::nullopt;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto w = splitWords(line);
    if (!w) return fail("a quote is not closed");
    if (w->empty() || (*w)[0].starts_with("#")) continue;
    const std::string& head = (*w)[0];
    std::string what;
    if (head == "at") {
      if (w->size() < 3) return fail("'at' needs a time and an action");
      auto at = number((*w)[1]);
      if (!at || *at < 0) return fail("'at' needs a time in milliseconds");
      auto a = action(*w, 2, what);
      if (!a) return fail(what);
      scenario.timed.push_back({*at, *a});
    } else if (head == "when") {
      ConditionalAction conditional;
      const std::size_t read = readForm(kConditions, *w, 1, w->size() - 2, conditional.condition, "condition", what);
      if (read == 0) return fail(what);
      auto a = action(*w, 1 + read, what);
      if (!a) return fail(what);
      conditional.action = *a;
      scenario.conditional.push_back(std::move(conditional));
    } else if (head == "expect") {
      const bool anywhere = w->size() == 4 && (*w)[1] == "anywhere";
      if (w->size() != 3 && !anywhere) return fail("expect [anywhere] <kind> <text>");
      scenario.expectations.push_back({(*w)[w->size() - 2], (*w)[w->size() - 1], anywhere});
    } else if (head == "limit") {
      auto at = w->size() == 2 ? number((*w)[1]) : std::nullopt;
      if (!at || *at < 0) return fail("limit <ms>");
      scenario.limitMs = *at;
    } else if (head == "expect-site") {
      if (w->size() != 2) return fail("expect-site <text>");
      scenario.siteExpectations.push_back((*w)[1]);
    } else if (head == "answer") {
      if (w->size() != 2 && !(w->size() == 4 && (*w)[2] == "title")) return fail("answer <button> [title <title>]");
      auto b = valueNamed(kButtons, (*w)[1]);
      if (!b) return fail("unknown button " + (*w)[1]);
      scenario.answers.push_back({*b, w->size() == 4 ? std::optional<std::string>((*w)[3]) : std::nullopt});
    } else if (head == "choose") {
      if (w->size() == 1) {
        scenario.fileChoices.push_back(std::nullopt);
      } else {
        std::vector<std::string> paths;
        for (std::size_t i = 1; i < w->size(); ++i) {
          const std::string& p = (*w)[i];
          paths.push_back(p.starts_with("/") || baseDirectory.empty() ? p : baseDirectory + "/" + p);
        }
        scenario.fileChoices.push_back(paths);
      }
    } else if (head == "on-box") {
      if (w->size() < 3) return fail("on-box <title> <action>");
      auto a = action(*w, 2, what);
      if (!a) return fail(what);
      scenario.triggers.push_back({(*w)[1], *a});
    } else {
      return fail("unknown command '" + head + "'");
    }
  }
  return scenario;
}

ScriptedUser::ScriptedUser(Scenario scenario)
    : scenario_(std::move(scenario)), fired_(scenario_.conditional.size(), false) {}

ScriptedUser::~ScriptedUser() {
  auto& desktop = desktop::Desktop::current();
  for (auto id : timers_) desktop.cancelTimer(id);
  if (watching_) desktop.setEventObserver(nullptr);
  if (Toolkit::current().frontEnd() == this) Toolkit::current().setFrontEnd(nullptr);
}

void ScriptedUser::start() {
  Toolkit::current().setFrontEnd(this);
  auto& desktop = desktop::Desktop::current();
  for (const auto& timed : scenario_.timed) {
    std::int64_t delay = timed.atMs - desktop.tickCount();
    timers_.push_back(desktop.setTimer(delay, [this, a = timed.action] { perform(a); }));
  }
  if (scenario_.limitMs) {
    // Ended from outside, as a person would end a program that hangs.
    timers_.push_back(desktop.setTimer(*scenario_.limitMs - desktop.tickCount(), [this] {
      limitReached_ = true;
      note("user", "time limit reached: the program is ended");
      ui::endProgram(1);
    }));
  }
  if (!scenario_.conditional.empty()) {
    watching_ = true;
    desktop.setEventObserver([this] { checkConditions(); });
    timers_.push_back(desktop.setTimer(0, [] {}));  // a first look once the loop runs
  }
}

std::string describeAction(const ScriptedUser::Action& action) { return describeForm(kVerbs, action); }
std::string describeCondition(const ScriptedUser::Condition& condition) {
  return describeForm(kConditions, condition);
}

namespace {

bool holds(const ScriptedUser::Condition& c) {
  using Kind = ScriptedUser::Condition::Kind;
  Toolkit& toolkit = Toolkit::current();
  if (c.kind == Kind::Box) {
    for (const auto& box : toolkit.openMessageBoxes())
      if (box.title == c.text) return true;
    return false;
  }
  if (c.kind == Kind::Element) return toolkit.pageHasElement(c.control, c.element);
  auto* window = toolkit.mainWindow();
  if (!window || window->destroyed()) return false;
  const auto state = toolkit.control(c.control);
  if (!state) return false;
  switch (c.kind) {
    case Kind::Enabled: return state->enabled;
    case Kind::Disabled: return !state->enabled;
    case Kind::Shows: return state->text == c.text;
    case Kind::Ready: return state->readyState == ui::kReadyStateComplete;
    case Kind::Address: return state->text.find(c.text) != std::string::npos;
    default: return false;
  }
}

}  // namespace

// Each `when` fires once, the first time its condition holds after an event. It is marked
// before its action runs, so an action that runs events of its own does not fire it again.
void ScriptedUser::checkConditions() {
  for (std::size_t i = 0; i < scenario_.conditional.size(); ++i) {
    if (fired_[i] || !holds(scenario_.conditional[i].condition)) continue;
    fired_[i] = true;
    perform(scenario_.conditional[i].action);
  }
}

std::vector<std::string> ScriptedUser::conditionsNeverMet() const {
  std::vector<std::string> pending;
  for (std::size_t i = 0; i < scenario_.conditional.size(); ++i)
    if (!fired_[i])
      pending.push_back("when " + describeCondition(scenario_.conditional[i].condition) + " " +
                        describeAction(scenario_.conditional[i].action));
  return pending;
}

std::vector<std::string> ScriptedUser::unmetExpectations() const {
  std::vector<std::string> unmet;
  std::size_t next = 0;  // where the next ordered expectation starts looking
  for (const auto& e : scenario_.expectations) {
    auto matches = [&e](const std::string& line) {
      auto [kind, detail] = kindAndDetail(line);
      return kind == e.kind && detail.find(e.text) != std::string_view::npos;
    };
    const auto from = transcript_.begin() + static_cast<std::ptrdiff_t>(e.anywhere ? 0 : next);
    const auto found = std::find_if(from, transcript_.end(), matches);
    if (found == transcript_.end()) {
      unmet.push_back(describeExpectation(e));
    } else if (!e.anywhere) {
      next = static_cast<std::size_t>(found - transcript_.begin()) + 1;
    }
  }
  return unmet;
}

void ScriptedUser::perform(const Action& a) {
  using Kind = Action::Kind;
  Toolkit& toolkit = Toolkit::current();
  note("user", describeAction(a));
  bool done = false;
  switch (a.kind) {
    case Kind::Click: done = toolkit.click(a.control); break;
    case Kind::Type: done = toolkit.type(a.control, a.text); break;
    case Kind::Minimise: done = toolkit.minimise(); break;
    case Kind::Close: done = toolkit.closeWindow(); break;
    case Kind::Tray: done = toolkit.trayEvent(a.tray); break;
    case Kind::Mouse:
      desktop::Desktop::current().setCursorPosition({a.x, a.y});
      done = true;
      break;
    case Kind::Answer: done = toolkit.answerMessageBox(a.answer); break;
    case Kind::PageType: done = toolkit.typeIntoPage(a.control, a.element, a.text); break;
    case Kind::PageClick: done = toolkit.clickInPage(a.control, a.element); break;
    case Kind::PageKey: done = toolkit.pressKeyInPage(a.control, a.element, a.keyCode); break;
    case Kind::PageSelect: done = toolkit.selectInPage(a.control, a.element, a.selectFrom, a.selectTo); break;
  }
  if (!done) note("user", "(no effect)");
}

void ScriptedUser::messageBoxOpened(const MessageBoxInfo& box) {
  // The box's opening is an event the conditions are checked after.
  if (watching_) desktop::Desktop::current().post([] {});
  for (const auto& trigger : scenario_.triggers) {
    if (trigger.title != box.title) continue;
    // The triggered action happens while the box is open, through the event loop.
    desktop::Desktop::current().post([this, a = trigger.action] { perform(a); });
  }
  for (auto it = scenario_.answers.begin(); it != scenario_.answers.end(); ++it) {
    if (it->title && *it->title != box.title) continue;
    Action answer;
    answer.kind = Action::Kind::Answer;
    answer.answer = it->answer;
    scenario_.answers.erase(it);
    std::uint64_t id = box.id;
    desktop::Desktop::current().post([this, answer, id] {
      note("user", describeAction(answer));
      if (!Toolkit::current().answerMessageBox(answer.answer, id)) note("user", "(no effect)");
    });
    return;
  }
}

std::optional<std::vector<std::string>> ScriptedUser::chooseFiles(const OpenFileInfo&) {
  if (scenario_.fileChoices.empty()) {
    note("user", "(no file choice left: cancel)");
    return std::nullopt;
  }
  auto choice = scenario_.fileChoices.front();
  scenario_.fileChoices.pop_front();
  return choice;
}

void ScriptedUser::note(const std::string& kind, const std::string& detail) {
  std::string line = padTime(desktop::Desktop::current().tickCount()) + " " + kind + " " + detail;
  transcript_.push_back(line);
  if (sink_) sink_(line);
}

}  // namespace trenmoor::toolkit
