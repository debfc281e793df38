#include "standin/html/document_host.h"

#include "platform/text.h"
#include "platform/toolkit.h"
#include "standin/html/dom.h"
#include "standin/html/script_clock.h"

namespace trenmoor::html {

DialogAnswer DocumentHost::showDialog(Document&, const DialogRequest& request) { return showDialogBox(request); }

void DocumentHost::loadImage(Document&, Element&, std::u16string_view) {}

void DocumentHost::fetch(Document&, const FetchRequest&, std::function<void(FetchResponse)> done) { fetchDefault(done); }

DialogAnswer showDialogBox(const DialogRequest& request) {
  static const Text kTitle = "Message from webpage";
  DialogAnswer answer;
  Text text = wideToAnsi(request.message);
  switch (request.kind) {
    case DialogKind::Alert:
    case DialogKind::ModalPage:
      ui::messageBox(text, kTitle, ui::MessageBoxButtons::Ok,
                     request.kind == DialogKind::Alert ? ui::MessageBoxIcon::Warning : ui::MessageBoxIcon::None);
      answer.accepted = true;
      break;
    case DialogKind::Confirm:
    case DialogKind::Prompt:
      answer.accepted = ui::messageBox(text, kTitle, ui::MessageBoxButtons::OkCancel, ui::MessageBoxIcon::Question) ==
                        ui::MessageBoxResult::Ok;
      if (answer.accepted && request.kind == DialogKind::Prompt) answer.text = request.defaultText;
      break;
  }
  return answer;
}

DialogAnswer showPageDialog(Document& from, const DialogRequest& request) {
  Ref<Document> keep(&from);
  ScriptClockPause pause;
  DocumentHost* host = from.host();
  return host ? host->showDialog(from, request) : showDialogBox(request);
}

}  // namespace trenmoor::html
