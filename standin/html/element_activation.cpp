#include "standin/html/element_activation.h"

#include <string>

#include "platform/common_dialog.h"
#include "platform/module_memory.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/form_controls.h"
#include "standin/html/member_arguments.h"
#include "standin/html/script_clock.h"
#include "standin/html/tag_table.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {
namespace {

// The open-file dialog, reached only through the common-dialog library's exported entry point
// (a hook on it must see every dialog). The chosen path, or nothing when cancelled.
bool chooseFile(std::u16string& path) {
  win::HMODULE library = win::LoadLibraryA("comdlg32.dll");
  auto open = reinterpret_cast<win::GetOpenFileNameWFunction>(win::GetProcAddress(library, "GetOpenFileNameW"));
  if (!open) return false;
  constexpr win::DWORD kPathCharacters = 260;
  std::u16string buffer(kPathCharacters + 1, u'\0');
  static constexpr char16_t kFilter[] = u"All Files (*.*)\0*.*\0";
  static constexpr char16_t kTitle[] = u"Choose File to Upload";
  win::OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<win::DWORD>(buffer.size());
  dialog.lpstrTitle = kTitle;
  dialog.Flags = win::OFN_EXPLORER | win::OFN_FILEMUSTEXIST | win::OFN_HIDEREADONLY;
  ScriptClockPause pause;
  if (!open(&dialog)) return false;
  buffer.back() = u'\0';  // a replacement that filled the whole buffer still ends here
  path = buffer.substr(0, buffer.find(u'\0'));
  return true;
}

void resetWithHandler(Element& form) {
  if (dispatchEvent(form, u"reset")) resetForm(form);
}

}  // namespace

void submitWithHandler(Element& form, const Element* submitter) {
  Ref<Element> keep(&form);
  if (dispatchEvent(form, u"submit")) submitForm(form, submitter);
}

void activate(Element& e) {
  Ref<Element> keep(&e);
  switch (e.kind()) {
    case TagKind::A:
    case TagKind::Area:
      if (const std::u16string* href = e.attribute(u"href"); href && e.document())
        requestNavigation(*e.document(), std::u16string(*href), e.attributeOr(u"target"), NavigationCaller::Page);
      break;
    case TagKind::Input: {
      std::u16string type = inputType(e);
      Element* form = formOwner(e);
      if (type == u"checkbox") {
        setChecked(e, !isChecked(e));
      } else if (type == u"radio") {
        setChecked(e, true);
      } else if ((type == u"submit" || type == u"image") && form) {
        submitWithHandler(*form, &e);
      } else if (type == u"reset" && form) {
        resetWithHandler(*form);
      } else if (type == u"file") {
        std::u16string path;
        if (chooseFile(path)) {
          bool changed = path != controlValue(e);
          e.control().value = std::move(path);
          e.control().valueDirty = true;
          if (changed) dispatchEvent(e, u"change");
        }
      }
      break;
    }
    case TagKind::Button:
      if (Element* form = formOwner(e)) {
        std::u16string type = buttonType(e);
        if (type == u"submit") submitWithHandler(*form, &e);
        else if (type == u"reset") resetWithHandler(*form);
      }
      break;
    default: break;
  }
}

void clickElement(Element& e) {
  Ref<Element> keep(&e);
  if (e.hasAttribute(u"disabled") && e.info().has(kFormControl)) return;
  if (dispatchEvent(e, u"click")) activate(e);
}

void focusElement(Element& e) {
  Document* document = e.document();
  if (!document || document->activeElement == &e) return;
  Ref<Document> keepDocument(document);
  Ref<Element> previous(document->activeElement);
  Ref<Element> keep(&e);
  document->activeElement = &e;
  if (previous) dispatchEvent(*previous, u"blur");
  dispatchEvent(e, u"focus");
}

void blurElement(Element& e) {
  Document* document = e.document();
  if (!document || document->activeElement != &e) return;
  Ref<Element> keep(&e);
  document->activeElement = nullptr;
  dispatchEvent(e, u"blur");
}

bool fireEventFromCall(Node& target, std::span<const Variant> arguments) {
  std::u16string name = argumentText(arguments, 0);
  if (name.size() < 3 || !memberNameEquals(name.substr(0, 2), "on")) return false;
  const Variant* model = argument(arguments, 1);
  const DispatchRef* object = model ? model->object() : nullptr;
  auto* event = object ? dynamic_cast<EventObject*>(object->get()) : nullptr;
  return dispatchEvent(target, asciiLower(name.substr(2)), event);
}

}  // namespace trenmoor::html
