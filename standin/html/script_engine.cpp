// The Duktape binding. Script objects wrap our dispatch objects: a wrapper is a script object
// whose prototype carries the members of the object's member table (properties as accessors,
// methods as functions), with a hidden pointer to a Binding that reaches the object. Collections,
// forms, selects and the document are wrapped in a proxy that also answers indexes and names
// (forms[0], document.login). Script values handed to our side become ScriptObjects.
//
// Duktape reports errors by long jumps: every call into script code goes through a protected
// call, so no jump crosses our frames.
#include "standin/html/script_engine.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "duktape.h"
#include "standin/desktop/desktop.h"
#include "standin/html/collection.h"
#include "standin/html/dom.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/object_members.h"
#include "standin/html/script_clock.h"
#include "standin/html/style_sheet.h"
#include "standin/html/window_object.h"
#include "standin/html/xml_http_request.h"

namespace trenmoor::html {

// Why a page's scripts were stopped for good.
enum class PageStop { None, Memory, Nodes, ProgramEnded };

struct ScriptEngine::State {
  duk_context* ctx = nullptr;
  Document* document = nullptr;
  std::shared_ptr<DocumentContext> context;
  std::uint64_t nextReference = 1;
  int depth = 0;
  bool alive = true;
  // The heap's bytes in use, and while script code runs (guarded > 0) whether an allocation
  // was refused: past the cap, or after the time budget was spent.
  std::size_t heapBytes = 0;
  int guarded = 0;
  bool refusedForMemory = false;
  bool refusedForTime = false;
  PageStop stop = PageStop::None;
  // The program ended inside a host call made by script code: the scripts stop, and the end
  // is carried past the engine to whoever entered it.
  std::exception_ptr programEnd;
};

namespace {

using State = ScriptEngine::State;

// --- the page's heap: counted, capped while script code runs ------------------------------------

// Every allocation carries its size in front, so reallocation and freeing keep the count.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr std::size_t kLargeAllocation = 16 * 1024;

void* heapAllocate(void* udata, duk_size_t size) {
  auto& s = *static_cast<State*>(udata);
  if (s.guarded > 0) {
    if (s.heapBytes + size > ScriptEngine::kHeapCap) {
      s.refusedForMemory = true;
      return nullptr;
    }
    // Long native work (joins, concatenations of long strings) answers to the clock through its
    // large allocations; small ones (the error object itself) go on.
    if (size >= kLargeAllocation && trenmoorScriptTimedOut(udata)) {
      s.refusedForTime = true;
      return nullptr;
    }
  }
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!block) return nullptr;
  std::memcpy(block, &size, sizeof size);
  s.heapBytes += size;
  return block + kHeader;
}

void heapFree(void* udata, void* pointer) {
  if (!pointer) return;
  auto* block = static_cast<unsigned char*>(pointer) - kHeader;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  static_cast<State*>(udata)->heapBytes -= size;
  std::free(block);
}

void* heapReallocate(void* udata, void* pointer, duk_size_t size) {
  if (!pointer) return heapAllocate(udata, size);
  if (size == 0) {
    heapFree(udata, pointer);
    return nullptr;
  }
  std::size_t old = 0;
  std::memcpy(&old, static_cast<unsigned char*>(pointer) - kHeader, sizeof old);
  if (size <= old) return pointer;  // shrinking keeps the block (and its count)
  void* grown = heapAllocate(udata, size);
  if (!grown) return nullptr;
  std::memcpy(grown, pointer, old);
  heapFree(udata, pointer);
  return grown;
}

// Whether the page's scripts may still run.
bool runs(const State& s) { return s.alive && s.stop == PageStop::None; }

// While it lives, script code runs: the heap's cap holds.
class Guarded {
 public:
  explicit Guarded(State& s) : s_(s) { ++s_.guarded; }
  ~Guarded() { --s_.guarded; }
  Guarded(const Guarded&) = delete;
  Guarded& operator=(const Guarded&) = delete;

 private:
  State& s_;
};

// After a native call from script code: a spent budget or too many nodes end the script here,
// with no frame of ours left to unwind.
void checkAfterNativeCall(duk_context* ctx, State& s) {
  if (trenmoorScriptTimedOut(&s)) duk_error(ctx, DUK_ERR_RANGE_ERROR, "execution timeout");
  if (s.context->nodes > DocumentContext::kMaxNodes) {
    s.stop = PageStop::Nodes;
    duk_error(ctx, DUK_ERR_RANGE_ERROR, "too many nodes");
  }
}

constexpr const char* kBindingKey = DUK_HIDDEN_SYMBOL("b");
constexpr const char* kTableKey = DUK_HIDDEN_SYMBOL("t");
constexpr const char* kNameKey = DUK_HIDDEN_SYMBOL("n");

// --- texts: Duktape keeps strings as CESU-8 (each UTF-16 unit encoded on its own) -------------

void pushText(duk_context* ctx, std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  duk_push_lstring(ctx, bytes.data(), bytes.size());
}

std::u16string decodeText(const char* data, std::size_t size) {
  std::u16string out;
  out.reserve(size);
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
  for (std::size_t i = 0; i < size;) {
    unsigned char b = byte(i);
    std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > size) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (byte(i + k) & 0x3F);
    i += length;
    if (c >= 0x10000 && c <= 0x10FFFF) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(c > 0xFFFF ? u'\uFFFD' : static_cast<char16_t>(c));
    }
  }
  return out;
}

std::u16string textAt(duk_context* ctx, duk_idx_t index) {
  duk_size_t size = 0;
  const char* data = duk_get_lstring(ctx, index, &size);
  return data ? decodeText(data, size) : std::u16string();
}

State& stateOf(duk_context* ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<State*>(functions.udata);
}

// Once the program has ended inside a host call, the engine's timeout check stops whatever
// script code of the page is still running, however it catches errors.
bool programEndedIn(void* heapUserData) { return static_cast<State*>(heapUserData)->programEnd != nullptr; }

// Every native function the scripts can reach runs through this: when the program ends inside
// it, the script is ended and the end is kept to be thrown again past the engine (which would
// otherwise turn it into a script error the page could catch).
template <duk_ret_t (*Function)(duk_context*)>
duk_ret_t hostCall(duk_context* ctx) {
  State& s = stateOf(ctx);
  if (!s.programEnd) {
    try {
      return Function(ctx);
    } catch (const desktop::ProcessEnded&) {
      s.programEnd = std::current_exception();
      s.stop = PageStop::ProgramEnded;
    }
  }
  return duk_error(ctx, DUK_ERR_ERROR, "the program has ended");
}

// After the engine returns: a program end inside it goes on to the program's loop.
void passOnProgramEnd(const State& s) {
  if (s.programEnd) std::rethrow_exception(s.programEnd);
}

// --- bindings ---------------------------------------------------------------------------------

enum class BindingKind { Strong, Document, Window, Location, Collection };

// How a wrapper reaches its object. Document-bound objects are reached through the document's
// shared context, so no wrapper keeps a document alive.
struct Binding {
  BindingKind kind = BindingKind::Strong;
  const void* table = nullptr;  // the member table of the prototype (null: generic proxy)
  DispatchRef strong;
  std::shared_ptr<DocumentContext> weak;
  std::shared_ptr<DocumentContext> viewer;  // Window: the viewer it was reached through (null: its own)
  CollectionFilter filter = CollectionFilter::AllElements;
  std::u16string tag, key;

  DispatchRef target() const {
    if (kind == BindingKind::Strong) return strong;
    Document* d = weak ? weak->document : nullptr;
    if (!d) return {};
    switch (kind) {
      case BindingKind::Document: return DispatchRef(d);
      case BindingKind::Window:
        return viewer ? WindowObject::create(Ref<Document>(d), viewer).dispatch() : d->window().dispatch();
      case BindingKind::Location: return LocationObject::create(Ref<Document>(d)).dispatch();
      case BindingKind::Collection: return Collection::create(Ref<Node>(d), filter, tag, key).dispatch();
      case BindingKind::Strong: break;
    }
    return {};
  }
};

Binding* bindingAt(duk_context* ctx, duk_idx_t index) {
  if (!duk_is_object(ctx, index)) return nullptr;
  duk_get_prop_string(ctx, index, kBindingKey);
  void* pointer = duk_get_pointer(ctx, -1);
  duk_pop(ctx);
  return static_cast<Binding*>(pointer);
}

duk_ret_t finalizeWrapper(duk_context* ctx) {
  Binding* binding = bindingAt(ctx, 0);
  if (!binding) return 0;
  duk_push_pointer(ctx, nullptr);
  duk_put_prop_string(ctx, 0, kBindingKey);
  delete binding;
  return 0;
}

// Pushes stash[name], creating it as an empty object.
void pushStashObject(duk_context* ctx, const char* name) {
  duk_push_heap_stash(ctx);
  if (!duk_get_prop_string(ctx, -1, name)) {
    duk_pop(ctx);
    duk_push_object(ctx);
    duk_dup_top(ctx);
    duk_put_prop_string(ctx, -3, name);
  }
  duk_remove(ctx, -2);
}

std::string pointerKey(char kind, const void* pointer) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%c%p", kind, pointer);
  return buffer;
}

void pushVariant(State& s, const Variant& value);
Variant variantAt(State& s, duk_idx_t index);
void recordError(State& s, duk_idx_t index, std::u16string_view source);

// While an entry runs: the document stays, the budget runs, the value stack is put back.
class Entry {
 public:
  explicit Entry(State& s) : keep_(s.document), s_(s), top_(duk_get_top(s.ctx)) { ++s_.depth; }
  ~Entry() {
    duk_set_top(s_.ctx, top_);
    --s_.depth;
  }
  Entry(const Entry&) = delete;
  Entry& operator=(const Entry&) = delete;

 private:
  Ref<Document> keep_;  // released last: the engine may go with the document
  State& s_;
  duk_idx_t top_;
  ScriptBudget budget_;
};

// --- script values on our side ------------------------------------------------------------------

// A script object or function handed to our side (a handler, an argument). It keeps the value
// alive in the engine's stash while it lives.
class ScriptObject final : public Dispatch {
 public:
  ScriptObject(const std::shared_ptr<State>& state, std::uint64_t id) : state_(state), key_(pointerKey('r', reinterpret_cast<const void*>(id))) {}
  ~ScriptObject() override {
    auto state = state_.lock();
    if (!state || !state->alive) return;
    duk_context* ctx = state->ctx;
    pushStashObject(ctx, "refs");
    duk_del_prop_string(ctx, -1, key_.c_str());
    duk_pop(ctx);
  }

  bool belongsTo(const State& s) const {
    auto state = state_.lock();
    return state.get() == &s;
  }
  void push(State& s) const {
    pushStashObject(s.ctx, "refs");
    duk_get_prop_string(s.ctx, -1, key_.c_str());
    duk_remove(s.ctx, -2);
  }

  bool call(Dispatch* self, std::span<const Variant> arguments, Variant& result, std::u16string_view source) {
    auto state = state_.lock();
    if (!state || !runs(*state)) return false;
    State& s = *state;
    Entry entry(s);
    push(s);
    if (!duk_is_callable(s.ctx, -1)) return false;
    if (self) pushVariant(s, Variant(DispatchRef(self)));
    else duk_push_undefined(s.ctx);
    for (const auto& argument : arguments) pushVariant(s, argument);
    bool ok = false;
    {
      Guarded guard(s);
      ok = duk_pcall_method(s.ctx, static_cast<duk_idx_t>(arguments.size())) == DUK_EXEC_SUCCESS;
    }
    passOnProgramEnd(s);
    if (!ok) {
      recordError(s, -1, source);
      return false;
    }
    result = variantAt(s, -1);
    return true;
  }

  bool getMember(std::u16string_view name, Variant& result) override {
    return property(name, nullptr, &result);
  }
  bool putMember(std::u16string_view name, const Variant& value) override { return property(name, &value, nullptr); }
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override {
    if (name.empty()) return call(nullptr, arguments, result, u"a function called by the host");
    auto state = state_.lock();
    if (!state || !runs(*state)) return false;
    Variant method;
    if (!getMember(name, method)) return false;
    auto* function = dynamic_cast<ScriptObject*>(method.object() ? method.object()->get() : nullptr);
    return function && function->call(this, arguments, result, u"a method called by the host");
  }

 private:
  struct PropertyAccess {
    std::string name;
    bool write;
  };
  static duk_ret_t access(duk_context* ctx, void* udata) {
    auto* a = static_cast<PropertyAccess*>(udata);
    // [object value?]
    if (a->write) {
      duk_put_prop_lstring(ctx, -2, a->name.data(), a->name.size());
      return 0;
    }
    duk_get_prop_lstring(ctx, -1, a->name.data(), a->name.size());
    return 1;
  }
  bool property(std::u16string_view name, const Variant* value, Variant* result) {
    auto state = state_.lock();
    if (!state || !runs(*state)) return false;
    State& s = *state;
    Entry entry(s);
    push(s);
    if (!duk_is_object(s.ctx, -1)) return false;
    PropertyAccess a{std::string(), value != nullptr};
    pushText(s.ctx, name);
    duk_size_t size = 0;
    const char* data = duk_get_lstring(s.ctx, -1, &size);
    a.name.assign(data, size);
    duk_pop(s.ctx);
    if (value) pushVariant(s, *value);
    bool ok = false;
    {
      Guarded guard(s);
      ok = duk_safe_call(s.ctx, access, &a, value ? 2 : 1, 1) == DUK_EXEC_SUCCESS;
    }
    passOnProgramEnd(s);
    if (!ok) {
      recordError(s, -1, u"a property read by the host");
      return false;
    }
    if (value) return true;
    if (duk_is_undefined(s.ctx, -1)) return false;
    *result = variantAt(s, -1);
    return true;
  }

  std::weak_ptr<State> state_;
  std::string key_;
};

std::shared_ptr<State> sharedState(State& s);

DispatchRef exportObject(State& s, duk_idx_t index) {
  index = duk_normalize_index(s.ctx, index);
  std::uint64_t id = s.nextReference++;
  auto object = DispatchRef(new ScriptObject(sharedState(s), id));
  pushStashObject(s.ctx, "refs");
  duk_dup(s.ctx, index);
  duk_put_prop_string(s.ctx, -2, pointerKey('r', reinterpret_cast<const void*>(id)).c_str());
  duk_pop(s.ctx);
  return object;
}

// --- members of our objects as script properties ----------------------------------------------

const void* currentTable(duk_context* ctx) {
  duk_push_current_function(ctx);
  duk_get_prop_string(ctx, -1, kTableKey);
  const void* table = duk_get_pointer(ctx, -1);
  duk_pop_2(ctx);
  return table;
}

// The object `this` wraps, when its members come from `table`. A function called without an
// object (alert(...)) acts on the page's own window.
template <typename Self>
Self* selfOf(duk_context* ctx, const void* table, DispatchRef& hold) {
  duk_push_this(ctx);
  if (!duk_is_object(ctx, -1)) {
    duk_pop(ctx);
    duk_push_global_object(ctx);
  }
  Binding* binding = bindingAt(ctx, -1);
  duk_pop(ctx);
  if (!binding || binding->table != table) return nullptr;
  hold = binding->target();
  return static_cast<Self*>(hold.get());
}

template <typename Self>
const Member<Self>& currentMember(duk_context* ctx, const void* table) {
  auto index = static_cast<std::size_t>(duk_get_current_magic(ctx));
  return static_cast<const MemberTable<Self>*>(table)->members()[index];
}

template <typename Self>
duk_ret_t readMember(duk_context* ctx) {
  const void* table = currentTable(ctx);
  DispatchRef hold;
  Self* self = selfOf<Self>(ctx, table, hold);
  if (!self) return 0;
  Variant result;
  if (!currentMember<Self>(ctx, table).get(*self, result)) result = Variant();
  pushVariant(stateOf(ctx), result);
  checkAfterNativeCall(ctx, stateOf(ctx));
  return 1;
}

template <typename Self>
duk_ret_t writeMember(duk_context* ctx) {
  const void* table = currentTable(ctx);
  DispatchRef hold;
  Self* self = selfOf<Self>(ctx, table, hold);
  if (!self) return 0;
  Variant value = variantAt(stateOf(ctx), 0);
  currentMember<Self>(ctx, table).put(*self, value);
  checkAfterNativeCall(ctx, stateOf(ctx));
  return 0;
}

template <typename Self>
duk_ret_t callMember(duk_context* ctx) {
  const void* table = currentTable(ctx);
  DispatchRef hold;
  Self* self = selfOf<Self>(ctx, table, hold);
  if (!self) return 0;
  State& s = stateOf(ctx);
  std::vector<Variant> arguments;
  duk_idx_t count = duk_get_top(ctx);
  arguments.reserve(static_cast<std::size_t>(count));
  for (duk_idx_t i = 0; i < count; ++i) arguments.push_back(variantAt(s, i));
  Variant result;
  if (!currentMember<Self>(ctx, table).call(*self, arguments, result)) result = Variant();
  pushVariant(s, result);
  checkAfterNativeCall(ctx, s);
  return 1;
}

void setFunctionTable(duk_context* ctx, const void* table, std::size_t index) {
  duk_set_magic(ctx, -1, static_cast<duk_int_t>(index));
  duk_push_pointer(ctx, const_cast<void*>(table));
  duk_put_prop_string(ctx, -2, kTableKey);
}

// Pushes the prototype of objects whose members come from `table`, made once per engine.
template <typename Self>
void pushPrototype(State& s, const MemberTable<Self>& table) {
  duk_context* ctx = s.ctx;
  pushStashObject(ctx, "prototypes");
  std::string key = pointerKey('p', &table);
  if (duk_get_prop_string(ctx, -1, key.c_str())) {
    duk_remove(ctx, -2);
    return;
  }
  duk_pop(ctx);
  duk_push_object(ctx);
  duk_idx_t prototype = duk_get_top_index(ctx);
  auto members = table.members();
  for (std::size_t i = 0; i < members.size(); ++i) {
    const Member<Self>& m = members[i];
    std::string name(m.name);
    if (m.call) {
      duk_push_c_function(ctx, hostCall<callMember<Self>>, DUK_VARARGS);
      setFunctionTable(ctx, &table, i);
      duk_put_prop_lstring(ctx, prototype, name.data(), name.size());
      continue;
    }
    duk_uint_t flags = DUK_DEFPROP_SET_CONFIGURABLE | DUK_DEFPROP_SET_ENUMERABLE | DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_HAVE_SETTER;
    duk_push_lstring(ctx, name.data(), name.size());
    duk_push_c_function(ctx, hostCall<readMember<Self>>, 0);
    setFunctionTable(ctx, &table, i);
    if (m.put) {
      duk_push_c_function(ctx, hostCall<writeMember<Self>>, 1);
      setFunctionTable(ctx, &table, i);
    } else {
      duk_push_undefined(ctx);
    }
    duk_def_prop(ctx, prototype, flags);
  }
  duk_dup_top(ctx);
  duk_put_prop_string(ctx, -3, key.c_str());
  duk_remove(ctx, -2);
}

// --- proxies: indexes and names, and objects without a member table -----------------------------

bool arrayIndex(std::u16string_view key, double& index) {
  if (key.empty() || key.size() > 9) return false;
  double value = 0;
  for (char16_t c : key) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  if (key.size() > 1 && key.front() == u'0') return false;
  index = value;
  return true;
}

// get(target, key, receiver): members first, then items by index or name (undefined when none).
duk_ret_t namedGet(duk_context* ctx) {
  duk_dup(ctx, 1);
  if (duk_is_symbol(ctx, 1) || duk_has_prop(ctx, 0)) {
    duk_dup(ctx, 1);
    duk_get_prop(ctx, 0);
    return 1;
  }
  Binding* binding = bindingAt(ctx, 0);
  if (!binding) return 0;
  if (duk_is_number(ctx, 1)) duk_to_string(ctx, 1);  // the engine may hand an index over as a number
  if (!duk_is_string(ctx, 1)) return 0;
  State& s = stateOf(ctx);
  DispatchRef target = binding->target();
  if (!target) return 0;
  std::u16string key = textAt(ctx, 1);
  Variant result;
  if (auto* document = dynamic_cast<Document*>(target.get())) {
    Element* named = Collection::create(Ref<Node>(document), CollectionFilter::Forms)->named(key);
    if (!named) named = Collection::create(Ref<Node>(document), CollectionFilter::Images)->named(key);
    result = objectResult(named);
  } else {
    double index = 0;
    Variant argument = arrayIndex(key, index) ? Variant(index) : Variant(key);
    if (!target->invoke(u"item", std::span<const Variant>(&argument, 1), result)) result = Variant();
  }
  if (result.isEmpty()) return 0;
  pushVariant(s, result);
  return 1;
}

duk_ret_t genericMethod(duk_context* ctx) {
  duk_push_this(ctx);
  Binding* binding = bindingAt(ctx, -1);
  duk_pop(ctx);
  if (!binding) return 0;
  duk_push_current_function(ctx);
  duk_get_prop_string(ctx, -1, kNameKey);
  std::u16string name = textAt(ctx, -1);
  duk_pop_2(ctx);
  State& s = stateOf(ctx);
  DispatchRef target = binding->target();
  if (!target) return 0;
  std::vector<Variant> arguments;
  duk_idx_t count = duk_get_top(ctx);
  for (duk_idx_t i = 0; i < count; ++i) arguments.push_back(variantAt(s, i));
  Variant result;
  if (!target->invoke(name, arguments, result)) return 0;
  pushVariant(s, result);
  checkAfterNativeCall(ctx, s);
  return 1;
}

// Objects without a table: a property read asks getMember, else gives a method that invokes.
duk_ret_t genericGet(duk_context* ctx) {
  Binding* binding = bindingAt(ctx, 0);
  if (!binding || !duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) return 0;
  DispatchRef target = binding->target();
  if (!target) return 0;
  std::u16string name = textAt(ctx, 1);
  Variant result;
  if (target->getMember(name, result)) {
    pushVariant(stateOf(ctx), result);
    return 1;
  }
  duk_push_c_function(ctx, hostCall<genericMethod>, DUK_VARARGS);
  duk_dup(ctx, 1);
  duk_put_prop_string(ctx, -2, kNameKey);
  return 1;
}

duk_ret_t genericSet(duk_context* ctx) {
  Binding* binding = bindingAt(ctx, 0);
  if (binding && duk_is_string(ctx, 1) && !duk_is_symbol(ctx, 1)) {
    DispatchRef target = binding->target();
    if (target) target->putMember(textAt(ctx, 1), variantAt(stateOf(ctx), 2));
  }
  duk_push_true(ctx);
  return 1;
}

enum class ProxyKind { None, Named, Generic };

void pushProxyHandler(duk_context* ctx, ProxyKind kind) {
  const char* name = kind == ProxyKind::Named ? "namedHandler" : "genericHandler";
  duk_push_heap_stash(ctx);
  if (duk_get_prop_string(ctx, -1, name)) {
    duk_remove(ctx, -2);
    return;
  }
  duk_pop(ctx);
  duk_push_object(ctx);
  if (kind == ProxyKind::Named) {
    duk_push_c_function(ctx, hostCall<namedGet>, 3);
    duk_put_prop_string(ctx, -2, "get");
  } else {
    duk_push_c_function(ctx, hostCall<genericGet>, 3);
    duk_put_prop_string(ctx, -2, "get");
    duk_push_c_function(ctx, hostCall<genericSet>, 4);
    duk_put_prop_string(ctx, -2, "set");
  }
  duk_dup_top(ctx);
  duk_put_prop_string(ctx, -3, name);
  duk_remove(ctx, -2);
}

// --- wrapping ------------------------------------------------------------------------------------

struct WrapPlan {
  std::unique_ptr<Binding> binding = std::make_unique<Binding>();
  std::string identity;  // empty: a new wrapper each time
  ProxyKind proxy = ProxyKind::None;
};

template <typename Self>
void pushWrapper(State& s, WrapPlan plan, const MemberTable<Self>* table) {
  duk_context* ctx = s.ctx;
  if (!plan.identity.empty()) {
    pushStashObject(ctx, "wrappers");
    if (duk_get_prop_string(ctx, -1, plan.identity.c_str())) {
      duk_remove(ctx, -2);
      return;
    }
    duk_pop_2(ctx);
  }
  duk_push_object(ctx);
  if (table) {
    pushPrototype(s, *table);
    duk_set_prototype(ctx, -2);
  }
  plan.binding->table = table;
  duk_push_pointer(ctx, plan.binding.release());
  duk_put_prop_string(ctx, -2, kBindingKey);
  duk_push_c_function(ctx, finalizeWrapper, 2);
  duk_set_finalizer(ctx, -2);
  if (plan.proxy != ProxyKind::None) {
    pushProxyHandler(ctx, plan.proxy);
    duk_push_proxy(ctx, 0);
  }
  if (!plan.identity.empty()) {
    pushStashObject(ctx, "wrappers");
    duk_dup(ctx, -2);
    duk_put_prop_string(ctx, -2, plan.identity.c_str());
    duk_pop(ctx);
  }
}

void pushObject(State& s, const DispatchRef& object) {
  duk_context* ctx = s.ctx;
  Dispatch* o = object.get();
  if (!o) {
    duk_push_null(ctx);
    return;
  }
  if (auto* exported = dynamic_cast<ScriptObject*>(o); exported && exported->belongsTo(s)) {
    exported->push(s);
    return;
  }
  WrapPlan plan;
  Binding& b = *plan.binding;
  if (auto* node = dynamic_cast<Node*>(o)) {
    if (node->nodeType() == NodeType::Document) {
      b.kind = BindingKind::Document;
      b.weak = node->context();
      plan.identity = pointerKey('d', b.weak.get());
      plan.proxy = ProxyKind::Named;
      return pushWrapper(s, std::move(plan), &documentMembers());
    }
    b.strong = object;
    plan.identity = pointerKey('n', node);
    if (auto* element = node->asElement()) {
      TagKind kind = element->kind();
      if (kind == TagKind::Form || kind == TagKind::Select) plan.proxy = ProxyKind::Named;
      return pushWrapper(s, std::move(plan), &elementMembers(kind));
    }
    return pushWrapper(s, std::move(plan), &characterNodeMembers());
  }
  if (auto* window = dynamic_cast<WindowObject*>(o)) {
    Document* d = window->document();
    if (d && d == s.document && window->visibleDocument()) {
      duk_push_global_object(ctx);
      return;
    }
    if (d) {
      b.kind = BindingKind::Window;
      b.weak = d->context();
      b.viewer = window->viewer();
      plan.identity = pointerKey('w', b.weak.get()) + pointerKey('v', b.viewer.get());
    } else {
      b.strong = object;
    }
    return pushWrapper(s, std::move(plan), &WindowObject::members());
  }
  if (auto* location = dynamic_cast<LocationObject*>(o)) {
    b.kind = BindingKind::Location;
    b.weak = location->document().context();
    plan.identity = pointerKey('l', b.weak.get());
    return pushWrapper(s, std::move(plan), &LocationObject::members());
  }
  if (auto* collection = dynamic_cast<Collection*>(o)) {
    plan.proxy = ProxyKind::Named;
    if (collection->root()->nodeType() == NodeType::Document) {
      b.kind = BindingKind::Collection;
      b.weak = collection->root()->context();
      b.filter = collection->filter();
      b.tag = collection->tag();
      b.key = collection->key();
    } else {
      b.strong = object;
    }
    return pushWrapper(s, std::move(plan), &Collection::members());
  }
  b.strong = object;
  if (dynamic_cast<StyleObject*>(o)) {
    plan.identity = pointerKey('s', o);
    return pushWrapper(s, std::move(plan), &StyleObject::members());
  }
  if (dynamic_cast<XmlHttpRequest*>(o)) {
    plan.identity = pointerKey('q', o);
    return pushWrapper(s, std::move(plan), &XmlHttpRequest::members());
  }
  if (dynamic_cast<EventObject*>(o)) return pushWrapper(s, std::move(plan), &EventObject::members());
  if (dynamic_cast<StyleSheet*>(o)) return pushWrapper(s, std::move(plan), &StyleSheet::members());
  if (dynamic_cast<CurrentStyle*>(o)) return pushWrapper(s, std::move(plan), &CurrentStyle::members());
  plan.proxy = ProxyKind::Generic;
  pushWrapper<Element>(s, std::move(plan), nullptr);
}

void pushVariant(State& s, const Variant& value) {
  duk_context* ctx = s.ctx;
  switch (value.kind()) {
    case Variant::Kind::Empty: duk_push_null(ctx); return;
    case Variant::Kind::Logical: duk_push_boolean(ctx, *value.logical()); return;
    case Variant::Kind::Integer: duk_push_int(ctx, *value.integer()); return;
    case Variant::Kind::Real: duk_push_number(ctx, *value.real()); return;
    case Variant::Kind::String: pushText(ctx, *value.string()); return;
    case Variant::Kind::Object: pushObject(s, *value.object()); return;
  }
  duk_push_undefined(ctx);
}

Variant variantAt(State& s, duk_idx_t index) {
  duk_context* ctx = s.ctx;
  switch (duk_get_type(ctx, index)) {
    case DUK_TYPE_BOOLEAN: return Variant(duk_get_boolean(ctx, index) != 0);
    case DUK_TYPE_NUMBER: {
      double number = duk_get_number(ctx, index);
      if (std::trunc(number) == number && number >= -2147483648.0 && number <= 2147483647.0 &&
          !(number == 0 && std::signbit(number)))
        return Variant(static_cast<std::int32_t>(number));
      return Variant(number);
    }
    case DUK_TYPE_STRING: return Variant(textAt(ctx, index));
    case DUK_TYPE_OBJECT:
      if (Binding* binding = bindingAt(ctx, index)) return Variant(binding->target());
      return Variant(exportObject(s, index));
    default: return Variant();
  }
}

void recordError(State& s, duk_idx_t index, std::u16string_view source) {
  // The heap stays as a script past the cap left it until the page goes; nothing more runs.
  if (std::exchange(s.refusedForMemory, false) && !s.refusedForTime) s.stop = PageStop::Memory;
  std::u16string message;
  if (std::exchange(s.refusedForTime, false)) message = u"execution timeout: ";
  if (s.stop == PageStop::Memory) message = u"the page's scripts were stopped: their memory passed its cap; ";
  if (s.stop == PageStop::Nodes) message = u"the page's scripts were stopped: they made too many nodes; ";
  {
    ScriptClockPause pause;  // the message of a spent budget must still be read
    duk_dup(s.ctx, index);
    duk_safe_to_string(s.ctx, -1);
    message += textAt(s.ctx, -1);
    duk_pop(s.ctx);
  }
  s.document->recordScriptError({std::move(message), std::u16string(source)});
}

// --- globals ---------------------------------------------------------------------------------------

duk_ret_t constructRequest(duk_context* ctx) {
  State& s = stateOf(ctx);
  pushObject(s, XmlHttpRequest::create(*s.document).dispatch());
  return 1;
}

// new ActiveXObject("Microsoft.XMLHTTP"): the request object under its older name.
duk_ret_t constructActiveX(duk_context* ctx) {
  std::u16string name = textAt(ctx, 0);
  bool request = false;
  for (std::size_t i = 0; i + 7 <= name.size(); ++i)
    request = request || memberNameEquals(name.substr(i, 7), "XMLHTTP");
  if (!request) return DUK_RET_ERROR;
  return constructRequest(ctx);
}

void fatal(void*, const char* message) {
  std::fprintf(stderr, "script engine: fatal error: %s\n", message ? message : "");
  std::abort();
}

std::shared_ptr<State> sharedState(State& s) {
  duk_push_heap_stash(s.ctx);
  duk_get_prop_string(s.ctx, -1, DUK_HIDDEN_SYMBOL("self"));
  auto* holder = static_cast<std::weak_ptr<State>*>(duk_get_pointer(s.ctx, -1));
  duk_pop_2(s.ctx);
  return holder ? holder->lock() : nullptr;
}

}  // namespace

// The engine keeps a weak pointer to its own state in the stash, for ScriptObjects it makes.
ScriptEngine::ScriptEngine(Document& document) : state_(std::make_shared<State>()) {
  State& s = *state_;
  s.document = &document;
  s.context = document.context();
  setScriptStopCheck(programEndedIn);
  s.ctx = duk_create_heap(heapAllocate, heapReallocate, heapFree, &s, fatal);
  if (!s.ctx) {
    s.alive = false;
    return;
  }
  duk_context* ctx = s.ctx;
  auto* self = new std::weak_ptr<State>(state_);
  duk_push_heap_stash(ctx);
  duk_push_pointer(ctx, self);
  duk_put_prop_string(ctx, -2, DUK_HIDDEN_SYMBOL("self"));
  duk_pop(ctx);

  // The global object is the page's window: its members sit on its prototype, so a top-level
  // declaration (function alert(){}) replaces one for the page's scripts.
  duk_push_global_object(ctx);
  auto* binding = new Binding;
  binding->kind = BindingKind::Window;
  binding->weak = s.context;
  binding->table = &WindowObject::members();
  duk_push_pointer(ctx, binding);
  duk_put_prop_string(ctx, -2, kBindingKey);
  pushPrototype(s, WindowObject::members());
  duk_set_prototype(ctx, -2);
  duk_push_c_function(ctx, hostCall<constructRequest>, 0);
  duk_put_prop_string(ctx, -2, "XMLHttpRequest");
  duk_push_c_function(ctx, hostCall<constructActiveX>, 1);
  duk_put_prop_string(ctx, -2, "ActiveXObject");
  duk_pop(ctx);
}

ScriptEngine::~ScriptEngine() {
  State& s = *state_;
  if (!s.ctx) return;
  s.alive = false;
  duk_context* ctx = s.ctx;
  duk_push_global_object(ctx);
  Binding* global = bindingAt(ctx, -1);
  duk_pop(ctx);
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, DUK_HIDDEN_SYMBOL("self"));
  auto* self = static_cast<std::weak_ptr<State>*>(duk_get_pointer(ctx, -1));
  duk_pop_2(ctx);
  // Finalizers release what the wrappers held.
  duk_destroy_heap(ctx);
  s.ctx = nullptr;
  delete global;
  delete self;
}

bool ScriptEngine::running() const { return state_->depth > 0; }
std::size_t ScriptEngine::heapBytes() const { return state_->heapBytes; }
bool ScriptEngine::stopped() const { return state_->stop != PageStop::None; }

bool ScriptEngine::run(std::u16string_view code, std::u16string_view source) {
  State& s = *state_;
  if (!runs(s)) return false;
  bool done = false;
  {
    Entry entry(s);
    pushText(s.ctx, code);
    duk_size_t size = 0;
    const char* text = duk_get_lstring(s.ctx, -1, &size);
    pushText(s.ctx, source);
    bool ok = false;
    {
      Guarded guard(s);
      ok = duk_pcompile_lstring_filename(s.ctx, 0, text, size) == DUK_EXEC_SUCCESS &&
           duk_pcall(s.ctx, 0) == DUK_EXEC_SUCCESS;
    }
    passOnProgramEnd(s);
    if (!ok) {
      recordError(s, -1, source);
    } else {
      done = true;
    }
  }
  return done;
}

DispatchRef ScriptEngine::compileHandler(std::u16string_view body, std::u16string_view source) {
  State& s = *state_;
  if (!runs(s)) return {};
  DispatchRef function;
  {
    Entry entry(s);
    std::u16string code = u"(function (event) {\n";
    code += body;
    code += u"\n})";
    pushText(s.ctx, code);
    duk_size_t size = 0;
    const char* text = duk_get_lstring(s.ctx, -1, &size);
    pushText(s.ctx, source);
    bool ok = false;
    {
      Guarded guard(s);
      ok = duk_pcompile_lstring_filename(s.ctx, DUK_COMPILE_EVAL, text, size) == DUK_EXEC_SUCCESS &&
           duk_pcall(s.ctx, 0) == DUK_EXEC_SUCCESS;
    }
    if (!ok) {
      recordError(s, -1, source);
    } else if (duk_is_function(s.ctx, -1)) {
      function = exportObject(s, -1);
    }
  }
  return function;
}

bool callFunction(const Variant& function, Dispatch* self, std::span<const Variant> arguments, Variant& result,
                  std::u16string_view source) {
  const DispatchRef* object = function.object();
  if (!object || !*object) return false;
  if (auto* script = dynamic_cast<ScriptObject*>(object->get())) return script->call(self, arguments, result, source);
  return (*object)->invoke(u"", arguments, result);
}

}  // namespace trenmoor::html
