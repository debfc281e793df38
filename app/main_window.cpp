#include "app/main_window.h"

namespace trenmoor::app {
namespace {

const ui::Color kFrozenGrey = ui::rgb(236, 236, 236);

}  // namespace

const Text& homePageAddress() {
  static const Text address = "https://pan.baidu.com/";
  return address;
}

MainWindow::MainWindow(TransferState& state)
    : state_(state), window_(ui::createMainWindow("Trenmoor", 50, 50, 640, 520)) {
  ui::ApplicationWindow& w = *window_;
  header_ = &w.addPictureBox("header", {0, 0, 634, 86});
  header_->setPicture(headerPicture());

  login_ = &w.addPictureButton("login", {6, 96, 77, 24});
  login_->setPicture(loginButtonPicture());
  login_->setCursor(ui::Cursor::Hand);

  addfile_ = &w.addPictureButton("addfile", {88, 96, 77, 24});
  addfile_->setPicture(addfileButtonPicture());
  addfile_->setCursor(ui::Cursor::Hand);
  addfile_->setEnabled(false);

  w.addLabel("label1", {178, 96, 12, 24}, ansiLiteral<"共">());
  files_ = &w.addEditBox("files", {198, 96, 36, 24}, "0");
  files_->setEnabled(false);
  files_->setCursor(ui::Cursor::NoEntry);
  w.addLabel("label2", {238, 96, 12, 24}, ansiLiteral<"条">());

  w.addLabel("label3", {278, 96, 24, 24}, ansiLiteral<"延迟">());
  delay_ = &w.addEditBox("delay", {308, 96, 36, 24}, "3");
  w.addLabel("label4", {348, 96, 12, 24}, ansiLiteral<"秒">());

  w.addLabel("label5", {378, 96, 24, 24}, ansiLiteral<"当前">());
  now_ = &w.addEditBox("now", {408, 96, 36, 24}, "0");
  now_->setEnabled(false);
  now_->setCursor(ui::Cursor::NoEntry);

  start_ = &w.addPictureButton("start", {468, 96, 77, 24});
  start_->setPicture(startButtonPicture());
  start_->setCursor(ui::Cursor::Hand);
  start_->setEnabled(false);

  stop_ = &w.addPictureButton("stop", {550, 96, 77, 24});
  stop_->setPicture(stopButtonPicture());
  stop_->setCursor(ui::Cursor::Hand);
  stop_->setEnabled(false);

  browser_ = &w.addBrowserBox("browser", {6, 128, 620, 358}, "about:blank");
  image_ = &w.addPictureBox("image", {6, 128, 620, 358});  // over the browser box, hiding it
  image_->setPicture(welcomePicture());

  url_ = &w.addEditBox("url", {328, 368, 168, 24}, "http://");
  url_->setVisible(false);
  url_->setEnabled(false);
  pass_ = &w.addEditBox("pass", {328, 418, 168, 24}, "");
  pass_->setVisible(false);
  pass_->setEnabled(false);

  w.onCreated([this] { created(); });
  w.onPositionChanged([this] { positionChanged(); });
  w.onTrayEvent([this](ui::TrayAction action) { trayEvent(action); });
  w.onCanBeClosed([this] { return canBeClosed(); });
  files_->onTextChanged([this] { filesChanged(); });
  login_->onClicked([this] { loginClicked(); });
  stop_->onClicked([this] { stopClicked(); });
}

void MainWindow::show() { window_->show(); }

void MainWindow::created() {
  state_.stopRequested = false;
  state_.transferStarted = false;
}

std::int32_t MainWindow::delayMilliseconds() const { return saturatingMultiply(leadingInteger(delay_->text()), 1000); }

void MainWindow::freezeDelay() {
  delay_->setEnabled(false);
  delay_->setBackgroundColor(kFrozenGrey);
}

// Minimised: hide in the tray.
void MainWindow::positionChanged() {
  if (window_->positionState() != ui::PositionState::Minimised) return;
  window_->hide();
  window_->addTrayIcon(programIcon(), ansiLiteral<"Kavrel - 批量转存">());
}

// A left-button release on the tray icon restores the window, centred; other actions do
// nothing of their own.
void MainWindow::trayEvent(ui::TrayAction action) {
  if (action != ui::TrayAction::LeftButtonUp) return;
  window_->show();
  window_->setPositionState(ui::PositionState::RestoredCentred);
  window_->removeTrayIcon();
}

bool MainWindow::canBeClosed() {
  if (state_.transferStarted) {
    auto answer = ui::messageBox(ansiLiteral<"当前转存工作为结束\r\n强行结束吗？">(), ansiLiteral<"确认信息">(),
                                 ui::MessageBoxButtons::OkCancel, ui::MessageBoxIcon::None);
    if (answer != ui::MessageBoxResult::Ok) return false;
  }
  ui::endProgram(0);
  return true;
}

void MainWindow::filesChanged() {
  if (state_.linkCount > 0) {
    start_->setEnabled(true);
    stop_->setEnabled(true);
  }
}

void MainWindow::loginClicked() {
  image_->setVisible(false);
  addfile_->setEnabled(true);
  browser_->setAddress(homePageAddress());
}

void MainWindow::stopClicked() {
  auto answer = ui::messageBox(ansiLiteral<"真的要中断当前任务吗？">(), ansiLiteral<"确认信息">(),
                               ui::MessageBoxButtons::OkCancel, ui::MessageBoxIcon::None);
  if (answer == ui::MessageBoxResult::Ok) stopTransfer();
}

void MainWindow::stopTransfer() {
  // 1. The delay, read before the controls change.
  const std::int32_t delayMs = delayMilliseconds();
  // 2. The stop picture covers the browser box.
  image_->setPicture(stopPicture());
  image_->setVisible(true);
  // 3. Freeze the controls and forget the list.
  login_->setEnabled(false);
  stop_->setEnabled(false);
  state_.linkListText.clear();
  state_.linkCount = 0;
  now_->setText("0");
  files_->setText("0");
  freezeDelay();
  addfile_->setEnabled(false);
  start_->setEnabled(false);
  // 4. A running transfer restarts at its next test of the flag; otherwise restart here.
  state_.stopRequested = true;
  waitProcessingEvents(delayMs);
  if (!state_.transferStarted) restartProgram();
}

void MainWindow::restartProgram() {
  window_->requestDestroy();
  const Text path = ui::programDirectory() + ui::pathSeparator() + ui::programFileName();
  ui::startProcess(path, 1000);  // a failure to start is not reported
}

}  // namespace trenmoor::app
