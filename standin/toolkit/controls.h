// The controls of the toolkit stand-in. Each is a window of the desktop and reports its state
// changes to the front-end once the main window is shown.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::toolkit {

// What a control needs from its window: whether changes are worth noting yet.
class ControlOwner {
 public:
  virtual ~ControlOwner() = default;
  virtual bool shown() const = 0;
};

// The state and behaviour every kind of control shares.
template <typename Interface>
class ControlBase : public Interface {
 public:
  ControlBase(const ControlOwner& owner, std::string name, std::string kind, win::HWND window, ui::Place place)
      : owner_(owner), window_(window) {
    name_ = std::move(name);
    state_.kind = std::move(kind);
    state_.place = place;
  }

  const std::string& name() const override { return name_; }
  win::HWND windowHandle() const override { return window_; }
  bool enabled() const override { return state_.enabled; }
  void setEnabled(bool enabled) override {
    if (state_.enabled != enabled) noteChange(enabled ? "enabled" : "disabled");
    state_.enabled = enabled;
  }
  bool visible() const override { return state_.visible; }
  void setVisible(bool visible) override;
  void setCursor(ui::Cursor cursor) override { state_.cursor = cursor; }

  const ControlState& state() const { return state_; }
  // A user's click or typing reaches only a visible, enabled control.
  bool takesInput() const { return state_.enabled && state_.visible; }

 protected:
  void noteChange(const std::string& change) const {
    if (owner_.shown()) Toolkit::current().note("control", name_ + " " + change);
  }
  ControlState state_;

 private:
  const ControlOwner& owner_;
  std::string name_;
  win::HWND window_;
};

class EditBoxControl : public ControlBase<ui::EditBox> {
 public:
  using ControlBase::ControlBase;
  Text text() const override { return text_; }
  void setText(const Text& text) override;
  ui::Color backgroundColor() const override { return state_.background; }
  void setBackgroundColor(ui::Color color) override;
  void onTextChanged(std::function<void()> handler) override { changed_ = std::move(handler); }

 private:
  Text text_;
  std::function<void()> changed_;
};

class LabelControl : public ControlBase<ui::Label> {
 public:
  using ControlBase::ControlBase;
  Text text() const override { return text_; }
  void setText(const Text& text) override;

 private:
  Text text_;
};

class PictureBoxControl : public ControlBase<ui::PictureBox> {
 public:
  using ControlBase::ControlBase;
  void setPicture(const ui::Picture& picture) override;
  const ui::Picture& picture() const override { return picture_; }

 private:
  ui::Picture picture_;
};

class PictureButtonControl : public ControlBase<ui::PictureButton> {
 public:
  using ControlBase::ControlBase;
  void setPicture(const ui::Picture& picture) override;
  void onClicked(std::function<void()> handler) override { clicked_ = std::move(handler); }
  bool click();

 private:
  ui::Picture picture_;
  std::function<void()> clicked_;
};

class BrowserBoxControl : public ControlBase<ui::BrowserBox> {
 public:
  BrowserBoxControl(const ControlOwner& owner, std::string name, win::HWND window, ui::Place place);
  void setAddress(const Text& address) override;
  Text address() const override;
  std::int32_t readyState() const override;
  ComObject document() const { return engine_ ? engine_->document() : ComObject(); }

 private:
  std::unique_ptr<BrowserEngine> engine_;
  Text address_;
};

}  // namespace trenmoor::toolkit
