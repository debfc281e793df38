#include "standin/console/drive_console.h"

#include <charconv>
#include <chrono>
#include <limits>
#include <optional>
#include <thread>

#include "platform/text.h"
#include "standin/browser/web_address.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::console {
namespace {

const char* kindName(ArgumentKind kind) {
  switch (kind) {
    case ArgumentKind::Text: return "text";
    case ArgumentKind::Integer: return "integer";
    case ArgumentKind::Logical: return "logical";
    case ArgumentKind::Window: return "window";
    case ArgumentKind::Element: return "element";
    case ArgumentKind::TextOut: return "out text";
    case ArgumentKind::IntegerOut: return "out integer";
    case ArgumentKind::ElementOut: return "out element";
    case ArgumentKind::TextArray: return "out texts";
    case ArgumentKind::IntegerArray: return "out integers";
    case ArgumentKind::ElementArray: return "out elements";
  }
  return "?";
}

const char* resultName(ResultKind kind) {
  switch (kind) {
    case ResultKind::None: return "none";
    case ResultKind::Text: return "text";
    case ResultKind::Integer: return "integer";
    case ResultKind::Logical: return "logical";
    case ResultKind::Window: return "window";
    case ResultKind::Element: return "element";
    case ResultKind::Bytes: return "bytes";
  }
  return "?";
}

// A whole decimal number of the type's range, with an optional minus sign; nothing else.
template <typename Number>
std::optional<Number> parseNumber(std::string_view word) {
  Number value{};
  if (word.empty() || word[0] == '+') return std::nullopt;
  auto [end, fault] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (fault != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

std::string quoted(std::string_view utf8) { return toolkit::quoteForTranscript(std::string(utf8)); }

const char kCommands[] =
    "lines: <operation> <argument>... | load <address> | wait-ready [<ms>] | attach | html | help [<operation>] | "
    "quit";

}  // namespace

std::string operationSignature(const Operation& operation) {
  std::string text(operation.name);
  std::size_t position = 0;
  for (ArgumentKind kind : operation.arguments) {
    ++position;
    bool optional = position > operation.required;
    text += ' ';
    if (optional) text += '[';
    text += '<';
    text += kindName(kind);
    text += '>';
    if (optional) text += ']';
  }
  return text + " -> " + resultName(operation.result);
}

DriveConsole::DriveConsole(std::shared_ptr<browser::Network> network, std::function<void(const std::string&)> print)
    : network_(std::move(network)), print_(std::move(print)) {
  box_ = desktop::Desktop::current().createWindow("TrenmoorBrowserBox", 0, {0, 0, 800, 600}, true);
  browser_ = std::make_unique<browser::Browser>(network_, box_);
}

DriveConsole::~DriveConsole() {
  browser_.reset();
  desktop::Desktop::current().destroyWindow(box_);
}

bool DriveConsole::waitReady(std::int64_t timeoutMs) {
  auto& desktop = desktop::Desktop::current();
  const std::int64_t deadline = desktop.tickCount() + timeoutMs;
  const auto realDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  // HTTP answers take real time even on the virtual clock: while any is pending, the wait ends
  // only when real time has run out as well.
  while (browser_->readyState() != browser::ReadyState::Complete) {
    bool pending = network_->pendingLoads() > 0;
    if (desktop.tickCount() >= deadline && (!pending || std::chrono::steady_clock::now() >= realDeadline))
      return false;
    if (desktop.processEnded()) return false;
    desktop.waitProcessingEvents(10);
    if (pending) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool DriveConsole::load(std::string_view address) {
  browser_->navigate(browser::addressFromUserText(address));
  if (!waitReady(kDefaultWaitMs)) return false;
  driver_.attach(box_);
  lastElement_.clear();
  return true;
}

std::string DriveConsole::describe(const Value& value) {
  return std::visit([this](const auto& item) { return describeItem(item); }, value);
}

template <typename Item>
std::string DriveConsole::describeItem(const Item& item) {
  if constexpr (std::is_same_v<Item, std::monostate>) {
    return "none";
  } else if constexpr (std::is_same_v<Item, Text>) {
    return quoted(ansiToUtf8(item));
  } else if constexpr (std::is_same_v<Item, bool>) {
    return item ? "true" : "false";
  } else if constexpr (std::is_same_v<Item, std::int32_t>) {
    return std::to_string(item);
  } else if constexpr (std::is_same_v<Item, win::HWND>) {
    return "window " + std::to_string(item);
  } else if constexpr (std::is_same_v<Item, ComObject>) {
    if (item.empty()) return "element none";
    lastElement_ = item;
    Text tag = item.getText("tagName");
    if (tag.empty()) {
      Variant length = item.getValue("length");
      return length.isEmpty() ? "object" : "collection " + wideToUtf8(length.toString());
    }
    Text id = item.getText("id");
    return "element " + asciiLower(tag) + (id.empty() ? "" : " " + quoted(ansiToUtf8(id)));
  } else if constexpr (std::is_same_v<Item, Bytes>) {
    // The count, then every byte in hexadecimal.
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "bytes " + std::to_string(item.size()) + (item.empty() ? "" : " ");
    for (std::uint8_t b : item) {
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
    return out;
  } else {
    return "array " + std::to_string(item.size());
  }
}

std::string DriveConsole::help(std::string_view name) const {
  if (name.empty()) return std::string(kCommands) + "; " + std::to_string(std::size(kOperations)) + " operations";
  const Operation* operation = findOperation(name);
  return operation ? operationSignature(*operation) : std::string();
}

void DriveConsole::runOperation(const Operation& operation, const std::vector<std::string>& words) {
  std::size_t inputCount = 0;
  std::size_t requiredInputs = 0;
  for (std::size_t i = 0; i < operation.arguments.size(); ++i) {
    if (!isInput(operation.arguments[i])) continue;
    ++inputCount;
    if (i < operation.required) requiredInputs = inputCount;
  }
  const std::size_t given = words.size() - 1;
  if (given < requiredInputs || given > inputCount)
    throw std::invalid_argument(std::string(operation.name) + " takes " +
                                (requiredInputs == inputCount ? std::to_string(inputCount)
                                                              : std::to_string(requiredInputs) + " to " +
                                                                    std::to_string(inputCount)) +
                                " arguments, not " + std::to_string(given) + ": " + operationSignature(operation));

  std::vector<Value> inputs;
  std::size_t word = 1;
  for (ArgumentKind kind : operation.arguments) {
    if (!isInput(kind) || word > given) continue;
    const std::string& text = words[word];
    auto bad = [&](const char* what) {
      return std::invalid_argument("argument " + std::to_string(word) + " of " + std::string(operation.name) +
                                   " is not " + what + ": " + quoted(text));
    };
    switch (kind) {
      case ArgumentKind::Text: inputs.emplace_back(std::in_place_type<Text>, utf8ToAnsi(text)); break;
      case ArgumentKind::Integer: {
        auto number = parseNumber<std::int32_t>(text);
        if (!number) throw bad("an integer");
        inputs.emplace_back(std::in_place_type<std::int32_t>, *number);
        break;
      }
      case ArgumentKind::Logical:
        if (text != "true" && text != "false") throw bad("true or false");
        inputs.emplace_back(std::in_place_type<bool>, text == "true");
        break;
      case ArgumentKind::Window: {
        auto handle = text == "box" ? std::optional<win::HWND>(box_) : parseNumber<win::HWND>(text);
        if (!handle) throw bad("a window handle or box");
        inputs.emplace_back(std::in_place_type<win::HWND>, *handle);
        break;
      }
      case ArgumentKind::Element: {
        ComObject element;
        if (text == "@") element = lastElement_;
        else if (text != "-")
          element = driver_.getDocument().callObject("getElementById", {ComObject::textArgument(utf8ToAnsi(text))});
        inputs.emplace_back(std::in_place_type<ComObject>, std::move(element));
        break;
      }
      default: break;
    }
    ++word;
  }

  CallResult result = operation.call(driver_, inputs);
  print_("result " + describe(result.result));
  for (const auto& [position, value] : result.outs) {
    std::string prefix = "out " + std::to_string(position);
    print_(prefix + " " + describe(value));
    std::visit(
        [&](const auto& items) {
          using Items = std::decay_t<decltype(items)>;
          if constexpr (std::is_same_v<Items, std::vector<Text>> || std::is_same_v<Items, std::vector<std::int32_t>> ||
                        std::is_same_v<Items, std::vector<ComObject>>) {
            std::size_t index = 0;
            for (const auto& item : items) print_(prefix + "[" + std::to_string(++index) + "] " + describeItem(item));
          }
        },
        value);
  }
}

bool DriveConsole::runLine(std::string_view line, std::int32_t lineNumber) {
  auto fail = [&](const std::string& message) {
    print_("error line " + std::to_string(lineNumber) + ": " + message);
    return false;
  };
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  auto words = toolkit::splitWords(line);
  if (!words) return fail("a double quote is not closed");
  if (words->empty() || (*words)[0][0] == '#') return true;
  const std::string& command = (*words)[0];
  const std::size_t extra = words->size() - 1;

  if (command == "load") {
    if (extra != 1) return fail("load takes one address");
    if (!load((*words)[1])) return fail("the page did not finish loading: " + quoted(browser_->address()));
    print_("ready " + quoted(browser_->address()));
    return true;
  }
  if (command == "wait-ready") {
    std::optional<std::int64_t> ms = kDefaultWaitMs;
    if (extra > 1) return fail("wait-ready takes at most a time in milliseconds");
    if (extra == 1) ms = parseNumber<std::int64_t>((*words)[1]);
    if (!ms || *ms < 0) return fail("not a time in milliseconds: " + quoted((*words)[1]));
    if (!waitReady(*ms)) return fail("the page is not ready after " + std::to_string(*ms) + " ms");
    print_("ready " + quoted(browser_->address()));
    return true;
  }
  if (command == "attach") {
    if (extra != 0) return fail("attach takes no arguments");
    print_(std::string("result ") + (driver_.attach(box_) ? "true" : "false"));
    return true;
  }
  if (command == "html") {
    if (extra != 0) return fail("html takes no arguments");
    html::Document* document = browser_->document();
    if (!document) return fail("no page is shown");
    ComObject root = ComObject(DispatchRef(document)).getObject("documentElement");
    print_(wideToUtf8(root.getValue("outerHTML").toString()));
    return true;
  }
  if (command == "help") {
    if (extra > 1) return fail("help takes at most an operation's name");
    std::string text = help(extra ? std::string_view((*words)[1]) : std::string_view());
    if (text.empty()) return fail("unknown operation " + quoted((*words)[1]));
    print_(text);
    return true;
  }
  if (command == "quit") {
    quit_ = true;
    return true;
  }
  const Operation* operation = findOperation(command);
  if (!operation) return fail("unknown operation " + quoted(command));
  try {
    runOperation(*operation, *words);
  } catch (const std::invalid_argument& error) {
    return fail(error.what());
  }
  return true;
}

}  // namespace trenmoor::console
