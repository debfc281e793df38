// Task-modal message boxes: the front-end answers; window events run while the box is open.
#include "standin/desktop/desktop.h"
#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::ui {
namespace {

const char* buttonsName(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::Ok: return "OK";
    case MessageBoxButtons::OkCancel: return "OK,Cancel";
    case MessageBoxButtons::YesNo: return "Yes,No";
    case MessageBoxButtons::YesNoCancel: return "Yes,No,Cancel";
  }
  return "";
}

const char* iconName(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::None: return "none";
    case MessageBoxIcon::Information: return "information";
    case MessageBoxIcon::Question: return "question";
    case MessageBoxIcon::Warning: return "warning";
    case MessageBoxIcon::Error: return "error";
  }
  return "";
}

// What a box reports when nobody can answer it any more (the program ended while it was open).
MessageBoxResult dismissed(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::Ok: return MessageBoxResult::Ok;
    case MessageBoxButtons::YesNo: return MessageBoxResult::No;
    default: return MessageBoxResult::Cancel;
  }
}

}  // namespace
}  // namespace trenmoor::ui

namespace trenmoor::toolkit {
const char* messageBoxResultName(ui::MessageBoxResult result) {
  using ui::MessageBoxResult;
  switch (result) {
    case MessageBoxResult::Ok: return "OK";
    case MessageBoxResult::Cancel: return "Cancel";
    case MessageBoxResult::Yes: return "Yes";
    case MessageBoxResult::No: return "No";
  }
  return "";
}
}  // namespace trenmoor::toolkit

namespace trenmoor::ui {

MessageBoxResult messageBox(const Text& text, const Text& title, MessageBoxButtons buttons, MessageBoxIcon icon) {
  auto& toolkit = toolkit::Toolkit::current();
  auto& desktop = desktop::Desktop::current();
  if (desktop.processEnded()) return dismissed(buttons);

  toolkit::MessageBoxInfo info{0, ansiToUtf8(text), ansiToUtf8(title), buttons, icon};
  const std::uint64_t id = toolkit.openBox(info).info.id;
  info.id = id;
  toolkit.note("box", "open title=" + toolkit::quoteForTranscript(info.title) + " text=" +
                          toolkit::quoteForTranscript(info.text) + " buttons=" + buttonsName(buttons) +
                          " icon=" + iconName(icon));
  if (auto* frontEnd = toolkit.frontEnd()) {
    frontEnd->messageBoxOpened(info);
  } else {
    toolkit.answerMessageBox(dismissed(buttons), id);  // nobody to ask: the box is dismissed
  }
  desktop.runUntil([&] {
    const auto* box = toolkit.findBox(id);
    return box && box->answer.has_value();
  });
  const auto* box = toolkit.findBox(id);
  MessageBoxResult result = box && box->answer ? *box->answer : dismissed(buttons);
  toolkit.note("box", std::string("answered ") + toolkit::messageBoxResultName(result) + " title=" +
                          toolkit::quoteForTranscript(info.title));
  toolkit.closeBox(id);
  return result;
}

}  // namespace trenmoor::ui
