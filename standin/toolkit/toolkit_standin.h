// The toolkit stand-in's side that the platform does not show the program: the front-end that
// plays the user (answers message boxes and file dialogs, sees what the program shows), user
// actions, inspection for tests, and the browser engine behind a browser box.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com_object.h"
#include "platform/toolkit.h"

namespace trenmoor::toolkit {

struct MessageBoxInfo {
  std::uint64_t id = 0;
  std::string text;   // UTF-8
  std::string title;  // UTF-8
  ui::MessageBoxButtons buttons = ui::MessageBoxButtons::Ok;
  ui::MessageBoxIcon icon = ui::MessageBoxIcon::None;
};

struct OpenFileInfo {
  std::string title;   // UTF-8
  std::string filter;  // UTF-8, entries separated by '|'
  std::uint32_t filterIndex = 1;
  bool multiSelect = false;
  std::uint32_t bufferCharacters = 0;
};

// Who plays the user. Every call comes on the user-interface thread.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // A message box opened; answer it now or later with Toolkit::answerMessageBox.
  virtual void messageBoxOpened(const MessageBoxInfo& box) = 0;
  // The open-file dialog: the chosen paths (UTF-8), or nullopt when the user cancels.
  virtual std::optional<std::vector<std::string>> chooseFiles(const OpenFileInfo& dialog) = 0;
  // Something the program showed or did, for the transcript: a kind ("control", "browser",
  // "window", "tray", "process", "end") and a UTF-8 detail.
  virtual void note(const std::string& kind, const std::string& detail) = 0;
};

// What drives a browser box: the browser stand-in registers a factory. Without one, a box
// keeps its address and stays at ready state 0.
class BrowserEngine {
 public:
  virtual ~BrowserEngine() = default;
  virtual void navigate(const Text& address) = 0;
  virtual Text address() const = 0;
  virtual std::int32_t readyState() const = 0;
  // The page shown, for a person acting on it (empty while none is shown).
  virtual ComObject document() const { return {}; }
};
using BrowserEngineFactory = std::function<std::unique_ptr<BrowserEngine>(win::HWND boxWindow)>;

struct ControlState {
  std::string kind;  // "edit", "label", "picture", "button", "browser"
  bool enabled = true;
  bool visible = true;
  std::string text;  // UTF-8 (edit boxes and labels; address of a browser box)
  std::int32_t readyState = 0;  // a browser box's
  std::string picture;
  ui::Color background = ui::kDefaultBackground;
  ui::Cursor cursor = ui::Cursor::Default;
  ui::Place place;
};

// A UTF-8 text in double quotes for a transcript line, with \r, \n, \" and \\ escaped.
std::string quoteForTranscript(const std::string& utf8);
// Splits a line into words, as scenario and console lines are read: blanks separate words, double
// quotes group them and a backslash escapes inside quotes (\n, \r, or the character itself).
// nullopt for an unclosed quote.
std::optional<std::vector<std::string>> splitWords(std::string_view line);

// Makes the common-dialog library show its open-file dialog through the toolkit.
void connectOpenFileDialog();

// "OK", "Cancel", "Yes" or "No".
const char* messageBoxResultName(ui::MessageBoxResult result);

// The toolkit stand-in's state for this process.
class Toolkit {
 public:
  static Toolkit& current();
  // Forgets the main window, boxes, tray, front-end and shut-down routines (between tests).
  void reset();

  void setFrontEnd(FrontEnd* frontEnd);
  FrontEnd* frontEnd() const { return frontEnd_; }
  void note(const std::string& kind, const std::string& detail) const;
  void setBrowserEngineFactory(BrowserEngineFactory factory) { browserFactory_ = std::move(factory); }
  const BrowserEngineFactory& browserEngineFactory() const { return browserFactory_; }

  // --- user actions (as a person does them: a disabled or hidden control ignores them) ----
  // False when there is no such control, it cannot take the action, or no window is open.
  bool click(const std::string& control);
  bool type(const std::string& control, const std::string& utf8Text);
  bool minimise();
  bool trayEvent(ui::TrayAction action);
  bool closeWindow();
  // A person's actions on the page shown in a browser box: typing into the element with this
  // id, or clicking it. False when there is no such box, page or element.
  bool typeIntoPage(const std::string& browserBox, const std::string& elementId, const std::string& utf8Text);
  bool clickInPage(const std::string& browserBox, const std::string& elementId);
  // A key pressed in that element: keydown, keypress and keyup with the key's code.
  bool pressKeyInPage(const std::string& browserBox, const std::string& elementId, std::int32_t keyCode);
  // Selects the characters from..to (0-based, end excluded) of the element's text, or all of
  // it when `from` is -1. The page may refuse: selecting starts with onselectstart, which a
  // handler cancels by returning false. False when refused or there is no such element.
  bool selectInPage(const std::string& browserBox, const std::string& elementId, std::int32_t from, std::int32_t to);
  bool pageHasElement(const std::string& browserBox, const std::string& elementId) const;
  // Answers the message box with this id (0: the newest open one). False when there is none
  // or the box has no such button.
  bool answerMessageBox(ui::MessageBoxResult result, std::uint64_t id = 0);

  // --- inspection ---------------------------------------------------------------------------
  std::vector<MessageBoxInfo> openMessageBoxes() const;
  std::optional<ControlState> control(const std::string& name) const;
  ui::ApplicationWindow* mainWindow() const { return mainWindow_; }
  bool trayIconShown() const { return trayIconShown_; }
  std::string trayTip() const { return trayTip_; }

  // --- used by the toolkit's own parts ---------------------------------------------------
  struct OpenBox {
    MessageBoxInfo info;
    std::optional<ui::MessageBoxResult> answer;
  };
  void registerMainWindow(ui::ApplicationWindow* window) { mainWindow_ = window; }
  void forgetMainWindow(ui::ApplicationWindow* window) {
    if (mainWindow_ == window) mainWindow_ = nullptr;
  }
  OpenBox& openBox(MessageBoxInfo info);
  void closeBox(std::uint64_t id);
  const OpenBox* findBox(std::uint64_t id) const;
  void setTray(bool shown, std::string tip) {
    trayIconShown_ = shown;
    trayTip_ = std::move(tip);
  }
  void addShutdownRoutine(std::function<void()> routine) { shutdownRoutines_.push_back(std::move(routine)); }
  // Runs the registered shut-down routines once (later calls find none left).
  void runShutdownRoutines();

  // While ui::runEventLoop runs, the end of the program unwinds to it (ui::endProgram throws
  // desktop::ProcessEnded, which the loop catches).
  bool insideEventLoop() const { return eventLoopDepth_ > 0; }
  class EventLoopScope {
   public:
    explicit EventLoopScope(Toolkit& toolkit) : toolkit_(toolkit) { ++toolkit_.eventLoopDepth_; }
    ~EventLoopScope() { --toolkit_.eventLoopDepth_; }
    EventLoopScope(const EventLoopScope&) = delete;
    EventLoopScope& operator=(const EventLoopScope&) = delete;

   private:
    Toolkit& toolkit_;
  };

 private:
  FrontEnd* frontEnd_ = nullptr;
  BrowserEngineFactory browserFactory_;
  ui::ApplicationWindow* mainWindow_ = nullptr;
  std::vector<std::unique_ptr<OpenBox>> boxes_;
  std::uint64_t nextBoxId_ = 1;
  bool trayIconShown_ = false;
  std::string trayTip_;
  std::vector<std::function<void()>> shutdownRoutines_;
  int eventLoopDepth_ = 0;
};

// The main window's side that user actions and inspection reach.
class MainWindowControls {
 public:
  virtual ~MainWindowControls() = default;
  virtual bool clickControl(const std::string& name) = 0;
  virtual bool typeInto(const std::string& name, const Text& text) = 0;
  virtual std::optional<ControlState> controlState(const std::string& name) const = 0;
  virtual void raiseTrayEvent(ui::TrayAction action) = 0;
  // The page shown in the named browser box; empty when there is none.
  virtual ComObject browserDocument(const std::string& name) const = 0;
  virtual bool userClose() = 0;
};

}  // namespace trenmoor::toolkit
