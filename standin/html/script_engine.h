// The page's script engine (Duktape), one per document: frames run their own engine. Scripts
// reach the object model through the same member tables as the driver's late-bound calls, so
// both see one object model: an element is the same script object each time (a map from
// object to wrapper lives in the engine until the page goes), and a script's change is seen by
// the driver at once and the other way round.
//
// Every way a script runs (inline, handler, execScript, javascript: address, timer, request
// callback) is contained: an error or a spent time budget (script_clock.h) is recorded with the
// document (Document::scriptErrors) and never leaves the call.
//
// Lifetime: script wrappers hold elements and other objects of the page, never a document (a
// document, its window, location and document-wide collections are held by the document's
// shared context), so a page with scripts goes when its last holder lets it go.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "platform/dispatch.h"

namespace trenmoor::html {

class Document;

class ScriptEngine {
 public:
  // What a page's script heap may hold. A real page's scripts need a few megabytes; a script
  // that allocates past the cap gets an out-of-memory error, and the page's scripts stop for
  // good (so do they when the page holds more than DocumentContext::kMaxNodes nodes). The
  // heap is given back when the page goes.
  static constexpr std::size_t kHeapCap = std::size_t{128} << 20;

  explicit ScriptEngine(Document& document);
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // Runs `code` as a program in the page's global scope (a top-level function declaration
  // replaces a global of that name). False when it failed (the error is recorded).
  bool run(std::u16string_view code, std::u16string_view source);
  // An event handler compiled from attribute text: function (event) { body }. Empty when the
  // text does not compile (the error is recorded).
  DispatchRef compileHandler(std::u16string_view body, std::u16string_view source);
  // True while a script of this engine runs.
  bool running() const;
  // Bytes the page's script heap holds.
  std::size_t heapBytes() const;
  // True once the page's scripts were stopped for good (memory or nodes past their caps).
  bool stopped() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// Calls a function value: a page-script function (run by the engine it came from, with `self`
// as this) or another object's default member (invoke with an empty name). False when the
// value cannot be called or the call failed.
bool callFunction(const Variant& function, Dispatch* self, std::span<const Variant> arguments,
                  Variant& result, std::u16string_view source);

}  // namespace trenmoor::html
