#include "standin/toolkit/controls.h"

#include <cstdio>

#include "standin/desktop/desktop.h"

namespace trenmoor::toolkit {

namespace {
std::string quoted(const Text& text) { return quoteForTranscript(ansiToUtf8(text)); }
}  // namespace

template <typename Interface>
void ControlBase<Interface>::setVisible(bool visible) {
  if (state_.visible != visible) noteChange(visible ? "shown" : "hidden");
  state_.visible = visible;
  desktop::Desktop::current().setVisible(window_, visible);
}

void EditBoxControl::setText(const Text& text) {
  text_ = text;
  state_.text = ansiToUtf8(text);
  noteChange("text " + quoted(text));
  if (changed_) {
    auto handler = changed_;  // the handler may replace itself
    handler();
  }
}

void EditBoxControl::setBackgroundColor(ui::Color color) {
  if (state_.background != color) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    noteChange(std::string("background #") + hex);
  }
  state_.background = color;
}

void LabelControl::setText(const Text& text) {
  text_ = text;
  state_.text = ansiToUtf8(text);
  noteChange("text " + quoted(text));
}

void PictureBoxControl::setPicture(const ui::Picture& picture) {
  if (state_.picture != picture.name) noteChange("picture " + picture.name);
  picture_ = picture;
  state_.picture = picture.name;
}

void PictureButtonControl::setPicture(const ui::Picture& picture) {
  picture_ = picture;
  state_.picture = picture.name;
}

bool PictureButtonControl::click() {
  if (!takesInput()) return false;
  if (clicked_) {
    auto handler = clicked_;
    handler();
  }
  return true;
}

BrowserBoxControl::BrowserBoxControl(const ControlOwner& owner, std::string name, win::HWND window, ui::Place place)
    : ControlBase(owner, std::move(name), "browser", window, place) {
  if (const auto& factory = Toolkit::current().browserEngineFactory()) engine_ = factory(window);
}

void BrowserBoxControl::setAddress(const Text& address) {
  address_ = address;
  state_.text = ansiToUtf8(address);
  Toolkit::current().note("browser", "navigate " + ansiToUtf8(address));
  if (engine_) engine_->navigate(address);
}

Text BrowserBoxControl::address() const { return engine_ ? engine_->address() : address_; }

std::int32_t BrowserBoxControl::readyState() const { return engine_ ? engine_->readyState() : 0; }

template class ControlBase<ui::EditBox>;
template class ControlBase<ui::Label>;
template class ControlBase<ui::PictureBox>;
template class ControlBase<ui::PictureButton>;
template class ControlBase<ui::BrowserBox>;

}  // namespace trenmoor::toolkit
