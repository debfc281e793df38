// The batch transfer: the start button's handler and the link step that each write of the url
// box runs, walking the imported list through the browser box one share link after another.
#pragma once

#include <optional>
#include <vector>

#include "app/main_window.h"
#include "app/transfer_state.h"

namespace trenmoor::app {

class Transfer {
 public:
  // Takes the start button's click and the url box's text-changed event.
  Transfer(TransferState& state, MainWindow& window);
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // A line's link and access code, when the line can be worked on: two fields, and a link
  // whose scheme is http or https.
  struct LinkLine {
    Text link;
    Text code;
  };
  static std::optional<LinkLine> usableLine(std::string_view line);

 private:
  void startTransfer();
  void runLinkStep();
  void actOnPage();
  void finishRun();
  // Restarts the program when a stop was confirmed; true when it did.
  bool restartIfStopped();
  // The first usable line at or after the 1-based position, with its number, or nullopt.
  struct NumberedLine {
    std::size_t number;
    LinkLine line;
  };
  std::optional<NumberedLine> usableLineFrom(std::size_t position) const;

  TransferState& state_;
  MainWindow& window_;
  std::vector<Text> lines_;  // the list's lines, split once per run
};

}  // namespace trenmoor::app
