#include "standin/html/window_object.h"

#include "standin/html/page_timers.h"
#include "standin/html/popup_object.h"

#include "standin/html/collection.h"
#include "standin/html/document_host.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/script_engine.h"
#include "standin/html/member_arguments.h"
#include "standin/html/script_clock.h"
#include "standin/html/url_address.h"

namespace trenmoor::html {

namespace {

bool isScriptAddress(std::u16string_view address) {
  std::size_t start = 0;
  while (start < address.size() && (address[start] == u' ' || address[start] == u'\t' || address[start] == u'\n' || address[start] == u'\r'))
    ++start;
  return address.size() - start >= 11 && memberNameEquals(address.substr(start, 11), "javascript:");
}

}  // namespace

// A javascript: address runs in the page that asked, whatever window it names.
bool requestNavigation(Document& from, std::u16string_view reference, std::u16string_view target,
                       NavigationCaller caller) {
  if (isScriptAddress(reference)) {
    from.runScriptAddress(reference);
    return true;
  }
  DocumentHost* host = from.host();
  if (!host) return false;
  NavigationRequest request;
  request.url = from.resolve(reference);
  request.target = std::u16string(target);
  request.byPage = caller == NavigationCaller::Page || pageScriptRunning();
  host->navigate(from, request);
  return true;
}

// --- window -----------------------------------------------------------------------------------

Ref<WindowObject> WindowObject::create(Ref<Document> document, std::shared_ptr<DocumentContext> viewer) {
  return Ref<WindowObject>(new WindowObject(std::move(document), std::move(viewer)));
}

Ref<WindowObject> WindowObject::create(Ref<Document> document, const Document* viewer) {
  return create(std::move(document), viewer ? viewer->context() : std::shared_ptr<DocumentContext>());
}

std::shared_ptr<DocumentContext> WindowObject::viewerOfReached() const {
  if (viewer_) return viewer_;
  return document_ ? document_->context() : std::shared_ptr<DocumentContext>();
}

WindowObject::~WindowObject() {
  if (document_ && document_->windowCache_ == this) document_->windowCache_ = nullptr;
}

Document* WindowObject::visibleDocument() const {
  if (!document_ || !viewer_) return document_.get();
  const Document* viewer = viewer_->document;
  return viewer && viewer->mayAccess(*document_) ? document_.get() : nullptr;
}

namespace {

using W = WindowObject;

// A window reached from `w`, seen by the viewer of `w` (its own document when unchecked): the
// window itself when the viewer may see its document (a script that may see a page may act as
// it), else one that refuses its document.
Variant reachedWindow(W& w, Document* d) {
  if (d == w.document()) return Variant(DispatchRef(&w));
  std::shared_ptr<DocumentContext> viewer = w.viewerOfReached();
  if (viewer && viewer->document && viewer->document->mayAccess(*d)) return Variant(d->window().dispatch());
  return Variant(WindowObject::create(Ref<Document>(d), std::move(viewer)).dispatch());
}

// The window of the document holding this window's frame; the window itself at the top.
Variant parentWindow(W& w) {
  Document* d = w.document();
  Document* parent = d ? d->parentDocument() : nullptr;
  return parent ? reachedWindow(w, parent) : Variant(DispatchRef(&w));
}

Variant topWindow(W& w) {
  Document* d = w.document();
  if (!d) return Variant(DispatchRef(&w));
  while (Document* parent = d->parentDocument()) d = parent;
  return reachedWindow(w, d);
}

// The frame element holding the window's document, when its page is visible to the viewer.
Variant frameElement(W& w) {
  Document* d = w.document();
  Element* frame = d ? d->frameOwner() : nullptr;
  Document* owner = frame ? frame->document() : nullptr;
  std::shared_ptr<DocumentContext> viewer = w.viewerOfReached();
  const Document* seer = viewer ? viewer->document : nullptr;
  if (!owner || !seer || !seer->mayAccess(*owner)) return Variant();
  return objectResult(frame);
}

// The page's dialogs; `result` receives confirm's logical or prompt's text (empty: cancelled).
bool showDialog(W& w, DialogKind kind, std::span<const Variant> a, Variant* result) {
  Document* d = w.visibleDocument();
  if (!d) return false;
  DialogRequest request{kind, argumentText(a, 0), argumentText(a, 1)};
  if (kind == DialogKind::ModalPage) request.message = d->resolve(request.message);
  DialogAnswer answer = showPageDialog(*d, request);
  if (!result) return true;
  if (kind == DialogKind::Confirm) *result = answer.accepted;
  else *result = answer.accepted ? Variant(std::move(answer.text)) : Variant();
  return true;
}

// setTimeout and setInterval (handler, delay): the timer's id; nothing without a handler.
bool startTimer(W& w, std::span<const Variant> a, Variant& r, TimerRepeat repeat) {
  Document* d = w.visibleDocument();
  const Variant* handler = argument(a, 0);
  if (!d || !handler || handler->isEmpty()) return false;
  const Variant* delay = argument(a, 1);
  r = startPageTimer(*d, *handler, delay ? delay->toNumber() : 0.0, repeat);
  return true;
}

bool stopTimer(W& w, std::span<const Variant> a, Variant&) {
  Document* d = w.visibleDocument();
  const Variant* id = argument(a, 0);
  if (d && id) stopPageTimer(*d, static_cast<std::int32_t>(id->toNumber()));
  return true;
}

constexpr Member<W> kWindowMembers[] = {
    {"document", [](W& w, Variant& r) { r = objectResult(w.visibleDocument()); return true; }},
    {"frames",
     [](W& w, Variant& r) {
       Document* d = w.visibleDocument();
       r = d ? Variant(Collection::create(Ref<Node>(d), CollectionFilter::Frames).dispatch()) : Variant();
       return true;
     }},
    {"location",
     [](W& w, Variant& r) {
       Document* d = w.visibleDocument();
       r = d ? Variant(LocationObject::create(Ref<Document>(d)).dispatch()) : Variant();
       return true;
     },
     [](W& w, const Variant& v) {
       Document* d = w.visibleDocument();
       return d && requestNavigation(*d, v.toString());
     }},
    {"navigate", nullptr, nullptr,
     [](W& w, std::span<const Variant> a, Variant&) {
       Document* d = w.visibleDocument();
       return d && requestNavigation(*d, argumentText(a, 0));
     }},
    {"name",
     [](W& w, Variant& r) {
       Document* d = w.document();
       Element* frame = d ? d->frameOwner() : nullptr;
       r = frame ? frame->attributeOr(u"name") : d ? d->windowName : std::u16string();
       return true;
     },
     [](W& w, const Variant& v) {
       Document* d = w.visibleDocument();
       if (!d) return false;
       d->windowName = v.toString();
       return true;
     }},
    {"parent", [](W& w, Variant& r) { r = parentWindow(w); return true; }},
    {"top", [](W& w, Variant& r) { r = topWindow(w); return true; }},
    {"self", [](W& w, Variant& r) { r = Variant(DispatchRef(&w)); return true; }},
    {"window", [](W& w, Variant& r) { r = Variant(DispatchRef(&w)); return true; }},
    {"opener", [](W&, Variant& r) { r = Variant(); return true; }},
    {"closed", [](W&, Variant& r) { r = false; return true; }},
    {"frameElement", [](W& w, Variant& r) { r = frameElement(w); return true; }},
    // execScript(code, language): JavaScript, JScript or no language run in the page's global
    // scope; other languages are not supported here and count as a script error.
    {"execScript", nullptr, nullptr,
     [](W& w, std::span<const Variant> a, Variant&) {
       Document* d = w.visibleDocument();
       if (!d) return false;
       std::u16string language = argumentText(a, 1);
       if (!language.empty() && !memberNameEquals(language, "JavaScript") && !memberNameEquals(language, "JScript")) {
         d->recordScriptError({u"the script language " + language + u" is not supported", u"execScript"});
         return true;
       }
       if (ScriptEngine* engine = d->scripts()) engine->run(argumentText(a, 0), u"execScript");
       return true;
     }},
    {"createPopup", nullptr, nullptr,
     [](W& w, std::span<const Variant>, Variant& r) {
       Document* d = w.visibleDocument();
       if (!d) return false;
       r = Variant(DispatchRef(PopupObject::create(*d).get()));
       return true;
     }},
    {"setTimeout", nullptr, nullptr, [](W& w, std::span<const Variant> a, Variant& r) { return startTimer(w, a, r, TimerRepeat::Once); }},
    {"setInterval", nullptr, nullptr, [](W& w, std::span<const Variant> a, Variant& r) { return startTimer(w, a, r, TimerRepeat::Every); }},
    {"clearTimeout", nullptr, nullptr, stopTimer},
    {"clearInterval", nullptr, nullptr, stopTimer},
    {"alert", nullptr, nullptr,
     [](W& w, std::span<const Variant> a, Variant&) { return showDialog(w, DialogKind::Alert, a, nullptr); }},
    {"confirm", nullptr, nullptr,
     [](W& w, std::span<const Variant> a, Variant& r) { return showDialog(w, DialogKind::Confirm, a, &r); }},
    {"prompt", nullptr, nullptr,
     [](W& w, std::span<const Variant> a, Variant& r) { return showDialog(w, DialogKind::Prompt, a, &r); }},
    {"showModalDialog", nullptr, nullptr,
     [](W& w, std::span<const Variant> a, Variant&) { return showDialog(w, DialogKind::ModalPage, a, nullptr); }},
    {"event",
     [](W& w, Variant& r) {
       Document* d = w.visibleDocument();
       r = d && !d->eventStack.empty() ? Variant(d->eventStack.back().dispatch()) : Variant();
       return true;
     }},
};

// --- location -----------------------------------------------------------------------------------

using L = LocationObject;

template <std::u16string AddressParts::*Part>
bool readPart(L& l, Variant& r) {
  AddressParts parts;
  r = splitAddress(l.document().address(), parts) ? parts.*Part : std::u16string();
  return true;
}

bool readHref(L& l, Variant& r) {
  r = l.document().address();
  return true;
}

bool navigateTo(L& l, std::span<const Variant> a, Variant&) { return requestNavigation(l.document(), argumentText(a, 0)); }

constexpr Member<L> kLocationMembers[] = {
    {"href", readHref, [](L& l, const Variant& v) { return requestNavigation(l.document(), v.toString()); }},
    {"protocol", readPart<&AddressParts::protocol>},
    {"hostname", readPart<&AddressParts::hostname>},
    {"port", readPart<&AddressParts::port>},
    {"pathname", readPart<&AddressParts::pathname>},
    {"search", readPart<&AddressParts::search>},
    {"hash", readPart<&AddressParts::hash>},
    {"host",
     [](L& l, Variant& r) {
       AddressParts parts;
       r = splitAddress(l.document().address(), parts) ? parts.host() : std::u16string();
       return true;
     }},
    {"assign", nullptr, nullptr, navigateTo},
    {"replace", nullptr, nullptr, navigateTo},
    {"reload", nullptr, nullptr,
     [](L& l, std::span<const Variant>, Variant&) { return requestNavigation(l.document(), l.document().address()); }},
    {"toString", nullptr, nullptr, [](L& l, std::span<const Variant>, Variant& r) { return readHref(l, r); }},
};

}  // namespace

const MemberTable<WindowObject>& WindowObject::members() {
  static const MemberTable<WindowObject> table{kWindowMembers, kWindowHandlerMembers<WindowObject>};
  return table;
}


Ref<LocationObject> LocationObject::create(Ref<Document> document) {
  return Ref<LocationObject>(new LocationObject(std::move(document)));
}

const MemberTable<LocationObject>& LocationObject::members() {
  static const MemberTable<LocationObject> table{kLocationMembers};
  return table;
}


}  // namespace trenmoor::html
