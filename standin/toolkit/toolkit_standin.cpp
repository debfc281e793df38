#include "standin/toolkit/toolkit_standin.h"

#include <algorithm>

#include "standin/desktop/desktop.h"

namespace trenmoor::toolkit {

std::string quoteForTranscript(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::optional<std::vector<std::string>> splitWords(std::string_view line) {
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

Toolkit& Toolkit::current() {
  static Toolkit toolkit;
  // The common-dialog library shows its dialog through the toolkit from the start, whoever
  // calls it first.
  static const bool connected = (connectOpenFileDialog(), true);
  (void)connected;
  return toolkit;
}

void Toolkit::reset() {
  frontEnd_ = nullptr;
  browserFactory_ = nullptr;
  mainWindow_ = nullptr;
  boxes_.clear();
  trayIconShown_ = false;
  trayTip_.clear();
  shutdownRoutines_.clear();
}

void Toolkit::runShutdownRoutines() {
  auto routines = std::move(shutdownRoutines_);
  shutdownRoutines_.clear();
  for (const auto& routine : routines) routine();
}

void Toolkit::setFrontEnd(FrontEnd* frontEnd) { frontEnd_ = frontEnd; }

void Toolkit::note(const std::string& kind, const std::string& detail) const {
  if (frontEnd_ && !desktop::Desktop::current().processEnded()) frontEnd_->note(kind, detail);
}

namespace {
MainWindowControls* controlsOf(ui::ApplicationWindow* window) {
  return window && !window->destroyed() ? dynamic_cast<MainWindowControls*>(window) : nullptr;
}
}  // namespace

bool Toolkit::click(const std::string& control) {
  auto* controls = controlsOf(mainWindow_);
  return controls && controls->clickControl(control);
}

bool Toolkit::type(const std::string& control, const std::string& utf8Text) {
  auto* controls = controlsOf(mainWindow_);
  return controls && controls->typeInto(control, utf8ToAnsi(utf8Text));
}

bool Toolkit::minimise() {
  if (!controlsOf(mainWindow_)) return false;
  mainWindow_->setPositionState(ui::PositionState::Minimised);
  return true;
}

bool Toolkit::trayEvent(ui::TrayAction action) {
  auto* controls = controlsOf(mainWindow_);
  if (!controls || !trayIconShown_) return false;
  // A double click reaches the window after the release of its first click.
  if (action == ui::TrayAction::LeftDoubleClick) controls->raiseTrayEvent(ui::TrayAction::LeftButtonUp);
  controls->raiseTrayEvent(action);
  return true;
}

bool Toolkit::closeWindow() {
  auto* controls = controlsOf(mainWindow_);
  return controls && controls->userClose();
}

namespace {
ComObject pageElement(ui::ApplicationWindow* window, const std::string& box, const std::string& id) {
  auto* controls = controlsOf(window);
  if (!controls) return {};
  return controls->browserDocument(box).callObject("getElementById", {ComObject::textArgument(utf8ToAnsi(id))});
}
}  // namespace

// As a person types: the element takes the focus, its value changes (propertychange, input),
// and the change is reported as the person moves on.
bool Toolkit::typeIntoPage(const std::string& browserBox, const std::string& elementId, const std::string& utf8Text) {
  ComObject element = pageElement(mainWindow_, browserBox, elementId);
  if (element.empty()) return false;
  element.call("focus");
  if (!element.putText("value", utf8ToAnsi(utf8Text))) return false;
  for (const char* event : {"onpropertychange", "oninput", "onchange"})
    element.call("fireEvent", {ComObject::textArgument(event)});
  return true;
}

bool Toolkit::clickInPage(const std::string& browserBox, const std::string& elementId) {
  ComObject element = pageElement(mainWindow_, browserBox, elementId);
  element.call("click");
  return !element.empty();
}

bool Toolkit::pressKeyInPage(const std::string& browserBox, const std::string& elementId, std::int32_t keyCode) {
  ComObject element = pageElement(mainWindow_, browserBox, elementId);
  if (element.empty()) return false;
  element.call("focus");
  ComObject event = element.getObject("document").callObject("createEventObject");
  event.put("keyCode", Variant(keyCode));
  for (const char* name : {"onkeydown", "onkeypress", "onkeyup"})
    element.call("fireEvent", {ComObject::textArgument(name), Variant(event.ref())});
  return true;
}

bool Toolkit::selectInPage(const std::string& browserBox, const std::string& elementId, std::int32_t from,
                           std::int32_t to) {
  ComObject element = pageElement(mainWindow_, browserBox, elementId);
  if (element.empty()) return false;
  // 1. The page is asked first; a cancelled selectstart selects nothing.
  if (!element.callLogical("fireEvent", {ComObject::textArgument("onselectstart")})) return false;
  // 2. A range over the element's text, narrowed to the characters asked for.
  ComObject range = element.getObject("document").getObject("body").callObject("createTextRange");
  if (!range.callLogical("moveToElementText", {Variant(element.ref())})) return false;
  if (from >= 0) {
    range.call("collapse");
    range.call("moveEnd", {Variant(u"character"), Variant(to)});
    range.call("moveStart", {Variant(u"character"), Variant(from)});
  }
  // 3. It becomes the document's selection.
  range.call("select");
  return true;
}

bool Toolkit::pageHasElement(const std::string& browserBox, const std::string& elementId) const {
  return !pageElement(mainWindow_, browserBox, elementId).empty();
}

namespace {
bool hasButton(ui::MessageBoxButtons buttons, ui::MessageBoxResult result) {
  using B = ui::MessageBoxButtons;
  using R = ui::MessageBoxResult;
  switch (buttons) {
    case B::Ok: return result == R::Ok;
    case B::OkCancel: return result == R::Ok || result == R::Cancel;
    case B::YesNo: return result == R::Yes || result == R::No;
    case B::YesNoCancel: return result == R::Yes || result == R::No || result == R::Cancel;
  }
  return false;
}
}  // namespace

bool Toolkit::answerMessageBox(ui::MessageBoxResult result, std::uint64_t id) {
  for (auto it = boxes_.rbegin(); it != boxes_.rend(); ++it) {
    OpenBox& box = **it;
    if (box.answer || (id != 0 && box.info.id != id)) continue;
    if (!hasButton(box.info.buttons, result)) return false;
    box.answer = result;
    return true;
  }
  return false;
}

std::vector<MessageBoxInfo> Toolkit::openMessageBoxes() const {
  std::vector<MessageBoxInfo> open;
  for (const auto& box : boxes_)
    if (!box->answer) open.push_back(box->info);
  return open;
}

std::optional<ControlState> Toolkit::control(const std::string& name) const {
  auto* controls = mainWindow_ ? dynamic_cast<MainWindowControls*>(mainWindow_) : nullptr;
  return controls ? controls->controlState(name) : std::nullopt;
}

Toolkit::OpenBox& Toolkit::openBox(MessageBoxInfo info) {
  info.id = nextBoxId_++;
  boxes_.push_back(std::make_unique<OpenBox>(OpenBox{std::move(info), std::nullopt}));
  return *boxes_.back();
}

void Toolkit::closeBox(std::uint64_t id) {
  boxes_.erase(std::remove_if(boxes_.begin(), boxes_.end(), [id](const auto& b) { return b->info.id == id; }),
               boxes_.end());
}

const Toolkit::OpenBox* Toolkit::findBox(std::uint64_t id) const {
  for (const auto& box : boxes_)
    if (box->info.id == id) return box.get();
  return nullptr;
}

}  // namespace trenmoor::toolkit
