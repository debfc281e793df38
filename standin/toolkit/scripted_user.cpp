#include "standin/toolkit/scripted_user.h"

#include <cstdio>
#include <sstream>

#include "standin/desktop/desktop.h"

namespace trenmoor::toolkit {
namespace {

// Splits a line into words; double quotes group words and a backslash escapes inside them.
std::optional<std::vector<std::string>> words(const std::string& line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < line.size()) {
          char e = line[i++];
          word += e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
          word += c;
        }
      }
      if (!closed) return std::nullopt;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
    }
    out.push_back(word);
  }
  return out;
}

std::optional<ui::MessageBoxResult> buttonNamed(const std::string& name) {
  if (name == "OK" || name == "ok") return ui::MessageBoxResult::Ok;
  if (name == "Cancel" || name == "cancel") return ui::MessageBoxResult::Cancel;
  if (name == "Yes" || name == "yes") return ui::MessageBoxResult::Yes;
  if (name == "No" || name == "no") return ui::MessageBoxResult::No;
  return std::nullopt;
}

std::optional<std::int64_t> number(const std::string& text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  std::int64_t value = 0;
  bool negative = text[0] == '-';
  for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

// Parses an action from words[from...]; nullopt with `error` set when malformed.
std::optional<ScriptedUser::Action> action(const std::vector<std::string>& w, std::size_t from, std::string& error) {
  using Kind = ScriptedUser::Action::Kind;
  ScriptedUser::Action a;
  if (from >= w.size()) {
    error = "an action is missing";
    return std::nullopt;
  }
  const std::string& verb = w[from];
  std::size_t args = w.size() - from - 1;
  if (verb == "click" && args == 1) {
    a.kind = Kind::Click;
    a.control = w[from + 1];
  } else if (verb == "type" && (args == 1 || args == 2)) {
    a.kind = Kind::Type;
    a.control = w[from + 1];
    a.text = args == 2 ? w[from + 2] : "";
  } else if (verb == "page-type" && (args == 2 || args == 3)) {
    a.kind = Kind::PageType;
    a.control = w[from + 1];
    a.element = w[from + 2];
    a.text = args == 3 ? w[from + 3] : "";
  } else if (verb == "page-click" && args == 2) {
    a.kind = Kind::PageClick;
    a.control = w[from + 1];
    a.element = w[from + 2];
  } else if (verb == "minimise" && args == 0) {
    a.kind = Kind::Minimise;
  } else if (verb == "close" && args == 0) {
    a.kind = Kind::Close;
  } else if (verb == "tray" && args == 1) {
    a.kind = Kind::Tray;
    const std::string& t = w[from + 1];
    if (t == "left-up") a.tray = ui::TrayAction::LeftButtonUp;
    else if (t == "double-click") a.tray = ui::TrayAction::LeftDoubleClick;
    else if (t == "right-up") a.tray = ui::TrayAction::RightButtonUp;
    else return error = "tray takes left-up, double-click or right-up", std::nullopt;
  } else if (verb == "mouse" && args == 2) {
    a.kind = Kind::Mouse;
    auto x = number(w[from + 1]);
    auto y = number(w[from + 2]);
    if (!x || !y) return error = "mouse takes two whole numbers", std::nullopt;
    a.x = static_cast<std::int32_t>(*x);
    a.y = static_cast<std::int32_t>(*y);
  } else if (verb == "answer" && args == 1) {
    a.kind = Kind::Answer;
    auto b = buttonNamed(w[from + 1]);
    if (!b) return error = "unknown button " + w[from + 1], std::nullopt;
    a.answer = *b;
  } else {
    error = "cannot read the action '" + verb + "' with " + std::to_string(args) + " argument(s)";
    return std::nullopt;
  }
  return a;
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
    auto w = words(line);
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
    } else if (head == "answer") {
      if (w->size() != 2 && !(w->size() == 4 && (*w)[2] == "title")) return fail("answer <button> [title <title>]");
      auto b = buttonNamed((*w)[1]);
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

ScriptedUser::ScriptedUser(Scenario scenario) : scenario_(std::move(scenario)) {}

ScriptedUser::~ScriptedUser() {
  auto& desktop = desktop::Desktop::current();
  for (auto id : timers_) desktop.cancelTimer(id);
  if (Toolkit::current().frontEnd() == this) Toolkit::current().setFrontEnd(nullptr);
}

void ScriptedUser::start() {
  Toolkit::current().setFrontEnd(this);
  auto& desktop = desktop::Desktop::current();
  for (const auto& timed : scenario_.timed) {
    std::int64_t delay = timed.atMs - desktop.tickCount();
    timers_.push_back(desktop.setTimer(delay, [this, a = timed.action] { perform(a); }));
  }
}

std::string ScriptedUser::describe(const Action& a) const {
  using Kind = Action::Kind;
  switch (a.kind) {
    case Kind::Click: return "click " + a.control;
    case Kind::Type: return "type " + a.control + " " + quoteForTranscript(a.text);
    case Kind::Minimise: return "minimise";
    case Kind::Close: return "close";
    case Kind::Tray:
      return std::string("tray ") + (a.tray == ui::TrayAction::LeftButtonUp       ? "left-up"
                                     : a.tray == ui::TrayAction::LeftDoubleClick ? "double-click"
                                                                                 : "right-up");
    case Kind::Mouse: return "mouse " + std::to_string(a.x) + " " + std::to_string(a.y);
    case Kind::Answer: return std::string("answer ") + messageBoxResultName(a.answer);
    case Kind::PageType: return "page-type " + a.control + " " + a.element + " " + quoteForTranscript(a.text);
    case Kind::PageClick: return "page-click " + a.control + " " + a.element;
  }
  return "";
}

void ScriptedUser::perform(const Action& a) {
  using Kind = Action::Kind;
  Toolkit& toolkit = Toolkit::current();
  note("user", describe(a));
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
  }
  if (!done) note("user", "(no effect)");
}

void ScriptedUser::messageBoxOpened(const MessageBoxInfo& box) {
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
      note("user", describe(answer));
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
