#include "app/transfer.h"

#include "app/link_import.h"

namespace trenmoor::app {
Transfer::Transfer(TransferState& state, MainWindow& window) : state_(state), window_(window) {
  window_.start().onClicked([this] { startTransfer(); });
  // Each write of the url box queues the step for that link instead of running it inside the
  // write: steps keep their order, and any number of links and reloads runs in constant stack
  // while the window stays responsive.
  window_.url().onTextChanged([this] { postTask([this] { runLinkStep(); }); });
}

std::optional<Transfer::LinkLine> Transfer::usableLine(std::string_view line) {
  std::vector<Text> fields = splitLinkLine(line);
  if (fields.size() < 2) return std::nullopt;
  // Only web addresses are opened: a list passed between people must not run a script or
  // open a local file in the page where the user is logged in.
  if (!asciiStartsWithIgnoringCase(fields[0], "http://") && !asciiStartsWithIgnoringCase(fields[0], "https://"))
    return std::nullopt;
  return LinkLine{std::move(fields[0]), std::move(fields[1])};
}

std::optional<Transfer::NumberedLine> Transfer::usableLineFrom(std::size_t position) const {
  for (std::size_t n = position; n >= 1 && n <= lines_.size(); ++n)
    if (auto line = usableLine(lines_[n - 1])) return NumberedLine{n, std::move(*line)};
  return std::nullopt;
}

bool Transfer::restartIfStopped() {
  if (!state_.stopRequested) return false;
  window_.restartProgram();
  return true;
}

void Transfer::startTransfer() {
  // 1. Running: only stop stays enabled.
  state_.stopRequested = false;
  state_.transferStarted = true;
  window_.login().setEnabled(false);
  window_.addfile().setEnabled(false);
  window_.start().setEnabled(false);
  window_.freezeDelay();
  // 2. The prefixes go; the list is split once for the whole run.
  stripLinkPrefixes(state_);
  lines_ = splitText(state_.linkListText, kLineBreak);
  // A line without both fields or without a web address is skipped.
  const auto first = usableLineFrom(1);
  if (!first) {
    window_.now().setText("1");
    waitProcessingEvents(1000);
    finishRun();
    return;
  }
  // 3. The first line's number and code, a second's pause, then its link, which runs its step.
  window_.now().setText(integerToText(static_cast<std::int64_t>(first->number)));
  window_.pass().setText(first->line.code);
  waitProcessingEvents(1000);
  window_.url().setText(first->line.link);
}

void Transfer::runLinkStep() {
  // 1. Navigate, then wait for the page.
  window_.browser().setAddress(window_.url().text());
  const std::int32_t delayMs = window_.delayMilliseconds();
  if (restartIfStopped()) return;
  waitProcessingEvents(delayMs);
  if (restartIfStopped()) return;
  // 2. Ready: act on the page.
  if (window_.browser().readyState() == ui::kReadyStateComplete) {
    actOnPage();
    return;
  }
  // 3. Not ready: the same line again, from the navigation on.
  if (restartIfStopped()) return;
  const auto n = static_cast<std::size_t>(std::max(leadingInteger(window_.now().text()), 0));
  if (n >= 1 && n <= lines_.size()) {
    if (auto line = usableLine(lines_[n - 1])) window_.url().setText(line->link);
  }
}

void Transfer::actOnPage() {
  const std::int32_t delayMs = window_.delayMilliseconds();
  PageDriver& driver = *state_.pageDriver;
  // 1. Type the code and press the page's controls, with their waits.
  if (restartIfStopped()) return;
  driver.attach(window_.browser().windowHandle());
  driver.setTextInputValue("accessCode", window_.pass().text());
  waitProcessingEvents(200);
  if (restartIfStopped()) return;
  driver.clickLink("submitBtn");
  waitProcessingEvents(delayMs);
  if (restartIfStopped()) return;
  driver.clickLink("emphasizeButton");
  waitProcessingEvents(delayMs);
  if (restartIfStopped()) return;
  driver.clickLink("_disk_id_14");
  // 2. The next usable line, if any: its code and number, the delay, then its link.
  const std::int32_t n = leadingInteger(window_.now().text());
  if (n < state_.linkCount && n >= 0) {
    if (const auto next = usableLineFrom(static_cast<std::size_t>(n) + 1)) {
      window_.pass().setText(next->line.code);
      window_.now().setText(integerToText(static_cast<std::int64_t>(next->number)));
      waitProcessingEvents(delayMs);
      window_.url().setText(next->line.link);
      return;
    }
  }
  finishRun();
}

void Transfer::finishRun() {
  // The last line was handled: the delay, the completion message, the restart.
  const std::int32_t delayMs = window_.delayMilliseconds();
  if (restartIfStopped()) return;
  waitProcessingEvents(delayMs);
  if (restartIfStopped()) return;
  ui::messageBox(ansiLiteral<"转存完成！">(), ansiLiteral<"提示信息">(), ui::MessageBoxButtons::Ok,
                 ui::MessageBoxIcon::Information);
  window_.restartProgram();
}

}  // namespace trenmoor::app
