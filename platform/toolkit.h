// The window toolkit the application is written against: one main window with its controls,
// message boxes, the open-file dialog, the tray, files and processes. Implemented by the
// toolkit stand-in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/window_calls.h"

namespace trenmoor::ui {

using Color = std::uint32_t;  // 0x00BBGGRR, as the system keeps colours
constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return Color{r} | (Color{g} << 8) | (Color{b} << 16);
}
constexpr Color kDefaultBackground = 0xFFFFFFFFu;  // the control's own colour

enum class Cursor { Default, Hand, NoEntry };
enum class PositionState { Normal, Minimised, Maximised, RestoredCentred };
enum class TrayAction { LeftButtonUp = 1, LeftDoubleClick = 2, RightButtonUp = 3 };

// Client coordinates in pixels.
struct Place {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// A picture held by the program: a name for people and the bytes of its image file.
struct Picture {
  std::string name;
  Bytes data;
};

class Control {
 public:
  virtual ~Control() = default;
  virtual const std::string& name() const = 0;
  virtual win::HWND windowHandle() const = 0;
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual void setCursor(Cursor cursor) = 0;
};

class EditBox : public Control {
 public:
  virtual Text text() const = 0;
  // Writes the text, then raises the text-changed event inside the write, also when the text
  // is unchanged.
  virtual void setText(const Text& text) = 0;
  virtual Color backgroundColor() const = 0;
  virtual void setBackgroundColor(Color color) = 0;
  virtual void onTextChanged(std::function<void()> handler) = 0;
};

class Label : public Control {
 public:
  virtual Text text() const = 0;
  virtual void setText(const Text& text) = 0;
};

class PictureBox : public Control {
 public:
  virtual void setPicture(const Picture& picture) = 0;
  virtual const Picture& picture() const = 0;
};

class PictureButton : public Control {
 public:
  virtual void setPicture(const Picture& picture) = 0;
  // Raised when a user clicks the button while it is visible and enabled.
  virtual void onClicked(std::function<void()> handler) = 0;
};

// The embedded web browser: its window holds the browser's own windows.
class BrowserBox : public Control {
 public:
  // Starts navigating to the address and returns at once.
  virtual void setAddress(const Text& address) = 0;
  virtual Text address() const = 0;
  // READYSTATE_UNINITIALIZED 0 ... READYSTATE_COMPLETE 4.
  virtual std::int32_t readyState() const = 0;
};
constexpr std::int32_t kReadyStateComplete = 4;

class ApplicationWindow {
 public:
  virtual ~ApplicationWindow() = default;
  virtual win::HWND windowHandle() const = 0;

  virtual EditBox& addEditBox(const std::string& name, Place place, const Text& text) = 0;
  virtual Label& addLabel(const std::string& name, Place place, const Text& text) = 0;
  virtual PictureBox& addPictureBox(const std::string& name, Place place) = 0;
  virtual PictureButton& addPictureButton(const std::string& name, Place place) = 0;
  virtual BrowserBox& addBrowserBox(const std::string& name, Place place, const Text& address) = 0;

  // Shows the window; the first show raises the created event.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual PositionState positionState() const = 0;
  // Changing the state raises the position-changed event.
  virtual void setPositionState(PositionState state) = 0;

  virtual void onCreated(std::function<void()> handler) = 0;
  virtual void onPositionChanged(std::function<void()> handler) = 0;
  virtual void onTrayEvent(std::function<void(TrayAction)> handler) = 0;
  // Asked when the user closes the window; the window closes only when it returns true.
  virtual void onCanBeClosed(std::function<bool()> handler) = 0;

  virtual void addTrayIcon(const Picture& icon, const Text& tip) = 0;
  virtual void removeTrayIcon() = 0;

  // The window goes away when the event loop next runs; the can-be-closed event is not raised.
  virtual void requestDestroy() = 0;
  virtual bool destroyed() const = 0;
};

// The main window, placed at (left, top) on the screen with its outer size.
std::unique_ptr<ApplicationWindow> createMainWindow(const Text& title, std::int32_t left, std::int32_t top,
                                             std::int32_t width, std::int32_t height);

// Runs window events until the window is gone or the program has ended.
void runEventLoop(const ApplicationWindow& window);

enum class MessageBoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageBoxIcon { None, Information, Question, Warning, Error };
enum class MessageBoxResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A task-modal message box without an owner window; window events keep being dispatched
// while it is open. Reports the button pressed (Cancel, or No without Cancel, when the
// program ends while it is open).
MessageBoxResult messageBox(const Text& text, const Text& title, MessageBoxButtons buttons, MessageBoxIcon icon);

struct OpenFileRequest {
  Text title;
  // Pairs of description and pattern separated by '|': "Text (*.txt)|*.txt|All|*.*".
  Text filter;
  std::int32_t filterIndex = 1;  // 1-based entry preselected
  bool multiSelect = false;
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool hideReadOnly = false;
  std::uint32_t bufferCharacters = 260;  // room for the returned names
};

// The system's open-file dialog, reached through the common-dialog library's exported
// GetOpenFileNameW. The full paths chosen, in the dialog's order; empty when cancelled.
std::vector<Text> openFileDialog(const OpenFileRequest& request);

// Ends the program at once with the exit code. Called while the event loop runs, it does not
// return: no wait, message box or handler of the program returns or runs again, and the
// shut-down routines run once the program's frames are gone. Outside the loop the routines
// run before it returns.
void endProgram(int exitCode);
// The exit code the program ended with (0 while it runs).
int programExitCode();
// Registers a shut-down routine, run once on every way out.
void onProgramEnd(std::function<void()> routine);

// The directory of the program's executable file (without a trailing separator) and its
// file name.
Text programDirectory();
Text programFileName();
// The path separator of file paths the program builds.
Text pathSeparator();

// Starts a program with a normally shown window, not waiting for it to end; waits at most
// `readyWaitMs` for it to become ready for input. False when it could not be started.
bool startProcess(const Text& path, std::int32_t readyWaitMs);

// Opens a file for reading, sharing it for reading only, and reads it whole. nullopt when it
// cannot be opened in that mode or read.
std::optional<Bytes> readWholeFileShared(const Text& path);

}  // namespace trenmoor::ui
