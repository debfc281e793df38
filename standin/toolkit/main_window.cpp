// The main window of the toolkit stand-in: a top-level desktop window holding the controls.
#include <map>

#include "standin/desktop/desktop.h"
#include "standin/toolkit/controls.h"

namespace trenmoor::toolkit {
namespace {

using desktop::Desktop;

constexpr std::int32_t kFrameLeft = 3;   // outer frame and caption around the client area
constexpr std::int32_t kFrameTop = 26;

class MainWindowImpl final : public ui::ApplicationWindow, public MainWindowControls, public ControlOwner {
 public:
  MainWindowImpl(const Text& title, desktop::Rect outer) : title_(ansiToUtf8(title)) {
    window_ = Desktop::current().createWindow("TrenmoorForm", 0, outer, false);
    Toolkit::current().registerMainWindow(this);
    Desktop::current().onDestroy(window_, [this] { gone_ = true; });
  }
  ~MainWindowImpl() override {
    Toolkit::current().forgetMainWindow(this);
    Desktop::current().destroyWindow(window_);
  }

  win::HWND windowHandle() const override { return window_; }
  bool shown() const override { return shownOnce_ && !gone_; }

  ui::EditBox& addEditBox(const std::string& name, ui::Place place, const Text& text) override {
    auto& box = add<EditBoxControl>(name, "edit", "TrenmoorEdit", place);
    box.setText(text);
    return box;
  }
  ui::Label& addLabel(const std::string& name, ui::Place place, const Text& text) override {
    auto& label = add<LabelControl>(name, "label", "TrenmoorLabel", place);
    label.setText(text);
    return label;
  }
  ui::PictureBox& addPictureBox(const std::string& name, ui::Place place) override {
    return add<PictureBoxControl>(name, "picture", "TrenmoorPicture", place);
  }
  ui::PictureButton& addPictureButton(const std::string& name, ui::Place place) override {
    return add<PictureButtonControl>(name, "button", "TrenmoorButton", place);
  }
  ui::BrowserBox& addBrowserBox(const std::string& name, ui::Place place, const Text& address) override {
    win::HWND handle = Desktop::current().createWindow("TrenmoorBrowserBox", window_, screenRect(place), true);
    auto control = std::make_unique<BrowserBoxControl>(*this, name, handle, place);
    auto& box = *control;
    controls_[name] = Entry{control.get(), [&box] {
                              ControlState state = box.state();
                              state.text = ansiToUtf8(box.address());  // where the page is now
                              state.readyState = box.readyState();
                              return state;
                            }};
    owned_.push_back(std::move(control));
    box.setAddress(address);
    return box;
  }

  void show() override {
    if (gone_) return;
    Desktop::current().setVisible(window_, true);
    if (!shownOnce_) {
      shownOnce_ = true;
      Toolkit::current().note("window", "shown " + quoteForTranscript(title_));
      if (created_) created_();
    } else {
      Toolkit::current().note("window", "shown");
    }
  }
  void hide() override {
    Desktop::current().setVisible(window_, false);
    Toolkit::current().note("window", "hidden");
  }

  ui::PositionState positionState() const override { return state_; }
  void setPositionState(ui::PositionState state) override {
    Desktop& d = Desktop::current();
    if (state == ui::PositionState::RestoredCentred) {
      auto rect = d.rect(window_).value_or(desktop::Rect{});
      desktop::Rect screen = d.screen();
      std::int32_t left = (screen.width() - rect.width()) / 2;
      std::int32_t top = (screen.height() - rect.height()) / 2;
      d.setRect(window_, {left, top, left + rect.width(), top + rect.height()});
      state = ui::PositionState::Normal;
      Toolkit::current().note("window", "restored at " + std::to_string(left) + "," + std::to_string(top));
    } else {
      Toolkit::current().note("window", kStateNames[static_cast<int>(state)]);
    }
    state_ = state;
    if (positionChanged_) {
      auto handler = positionChanged_;
      handler();
    }
  }

  void onCreated(std::function<void()> handler) override { created_ = std::move(handler); }
  void onPositionChanged(std::function<void()> handler) override { positionChanged_ = std::move(handler); }
  void onTrayEvent(std::function<void(ui::TrayAction)> handler) override { tray_ = std::move(handler); }
  void onCanBeClosed(std::function<bool()> handler) override { canBeClosed_ = std::move(handler); }

  void addTrayIcon(const ui::Picture& icon, const Text& tip) override {
    Toolkit::current().setTray(true, ansiToUtf8(tip));
    Toolkit::current().note("tray", "icon added " + icon.name + " " + quoteForTranscript(ansiToUtf8(tip)));
  }
  void removeTrayIcon() override {
    Toolkit::current().setTray(false, "");
    Toolkit::current().note("tray", "icon removed");
  }

  void requestDestroy() override {
    if (destroyRequested_ || gone_) return;
    destroyRequested_ = true;
    Toolkit::current().note("window", "destroy requested");
    Desktop::current().post([handle = window_] { Desktop::current().destroyWindow(handle); });
  }
  bool destroyed() const override { return gone_; }

  // --- user actions ---
  bool clickControl(const std::string& name) override {
    auto it = controls_.find(name);
    if (it == controls_.end() || gone_) return false;
    if (auto* button = dynamic_cast<PictureButtonControl*>(it->second.control)) return button->click();
    return false;
  }
  bool typeInto(const std::string& name, const Text& text) override {
    auto it = controls_.find(name);
    if (it == controls_.end() || gone_) return false;
    auto* box = dynamic_cast<EditBoxControl*>(it->second.control);
    if (!box || !box->takesInput()) return false;
    box->setText(text);
    return true;
  }
  std::optional<ControlState> controlState(const std::string& name) const override {
    auto it = controls_.find(name);
    if (it == controls_.end()) return std::nullopt;
    return it->second.state();
  }
  ComObject browserDocument(const std::string& name) const override {
    auto it = controls_.find(name);
    auto* box = it == controls_.end() ? nullptr : dynamic_cast<BrowserBoxControl*>(it->second.control);
    return box && !gone_ ? box->document() : ComObject();
  }
  void raiseTrayEvent(ui::TrayAction action) override {
    if (tray_ && !gone_) {
      auto handler = tray_;
      handler(action);
    }
  }
  bool userClose() override {
    if (gone_) return false;
    bool close = true;
    if (canBeClosed_) {
      auto handler = canBeClosed_;
      close = handler();
    }
    if (close && !gone_) {
      Toolkit::current().note("window", "closed");
      Desktop::current().destroyWindow(window_);
    }
    return close;
  }

 private:
  static constexpr const char* kStateNames[] = {"normal", "minimised", "maximised", "restored"};
  struct Entry {
    ui::Control* control;
    std::function<ControlState()> state;
  };

  desktop::Rect screenRect(ui::Place place) const {
    auto outer = Desktop::current().rect(window_).value_or(desktop::Rect{});
    std::int32_t left = outer.left + kFrameLeft + place.left;
    std::int32_t top = outer.top + kFrameTop + place.top;
    return {left, top, left + place.width, top + place.height};
  }

  template <typename ControlType>
  ControlType& add(const std::string& name, const char* kind, const char* className, ui::Place place) {
    win::HWND handle = Desktop::current().createWindow(className, window_, screenRect(place), true);
    auto control = std::make_unique<ControlType>(*this, name, kind, handle, place);
    ControlType& ref = *control;
    controls_[name] = Entry{control.get(), [&ref] { return ref.state(); }};
    owned_.push_back(std::move(control));
    return ref;
  }

  std::string title_;
  win::HWND window_ = 0;
  bool shownOnce_ = false;
  bool gone_ = false;
  bool destroyRequested_ = false;
  ui::PositionState state_ = ui::PositionState::Normal;
  std::map<std::string, Entry> controls_;
  std::vector<std::unique_ptr<ui::Control>> owned_;
  std::function<void()> created_;
  std::function<void()> positionChanged_;
  std::function<void(ui::TrayAction)> tray_;
  std::function<bool()> canBeClosed_;
};

}  // namespace
}  // namespace trenmoor::toolkit

namespace trenmoor::ui {

std::unique_ptr<ApplicationWindow> createMainWindow(const Text& title, std::int32_t left, std::int32_t top,
                                             std::int32_t width, std::int32_t height) {
  return std::make_unique<toolkit::MainWindowImpl>(title, desktop::Rect{left, top, left + width, top + height});
}

void runEventLoop(const ApplicationWindow& window) {
  auto& toolkit = toolkit::Toolkit::current();
  toolkit::Toolkit::EventLoopScope loop(toolkit);
  try {
    desktop::Desktop::current().runUntil([&] { return window.destroyed(); });
  } catch (const desktop::ProcessEnded&) {
    // The program ended inside a handler: its frames are gone; shut down now.
    toolkit.runShutdownRoutines();
  }
}

}  // namespace trenmoor::ui
