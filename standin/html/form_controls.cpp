#include "standin/html/form_controls.h"

#include <vector>

#include "platform/text.h"
#include "standin/html/collection.h"
#include "standin/html/document_host.h"
#include "standin/html/markup_writer.h"
#include "standin/html/tag_table.h"
#include "platform/text.h"

namespace trenmoor::html {
namespace {

constexpr std::u16string_view kInputTypes[] = {
    u"hidden", u"text", u"search", u"tel", u"url", u"email", u"password", u"date", u"month",
    u"week", u"time", u"datetime-local", u"number", u"range", u"color", u"checkbox", u"radio",
    u"file", u"submit", u"image", u"reset", u"button"};

std::vector<Element*> optionsOf(const Element& select) {
  std::vector<Element*> options;
  for (Node* n = select.firstChild(); n; n = n->nextInScope(&select))
    if (auto* e = n->asElement(); e && e->kind() == TagKind::Option) options.push_back(e);
  return options;
}

Element* selectOf(const Element& option) {
  for (Element* p = option.parentElement(); p; p = p->parentElement())
    if (p->kind() == TagKind::Select) return p;
  return nullptr;
}

bool checkable(const std::u16string& type) { return type == u"checkbox" || type == u"radio"; }

// Percent-encoding of form data in the page's character set.
void appendEncoded(std::string& out, std::u16string_view text, bool utf8) {
  std::string bytes = utf8 ? wideToUtf8(text) : wideToAnsi(text);
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : bytes) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '*') {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
}

}  // namespace

Element* formOwner(const Element& e) {
  for (Element* p = e.parentElement(); p; p = p->parentElement())
    if (p->kind() == TagKind::Form) return p;
  return nullptr;
}

std::u16string inputType(const Element& input) {
  const std::u16string* type = input.attribute(u"type");
  if (!type) return u"text";
  std::u16string lower = asciiLower(*type);
  for (auto known : kInputTypes)
    if (lower == known) return lower;
  return u"text";
}

std::u16string buttonType(const Element& button) {
  std::u16string lower = asciiLower(button.attributeOr(u"type"));
  return lower == u"button" || lower == u"reset" ? lower : u"submit";
}

std::u16string controlValue(const Element& e) {
  if (e.kind() == TagKind::Select) {
    std::int32_t index = selectedIndex(e);
    std::vector<Element*> options = optionsOf(e);
    return index >= 0 ? optionValue(*options[static_cast<std::size_t>(index)]) : std::u16string();
  }
  const auto& state = e.control();
  if (state.valueDirty) return state.value;
  if (const std::u16string* value = e.attribute(u"value")) return *value;
  return checkable(inputType(e)) ? u"on" : u"";
}

bool setControlValue(Element& e, std::u16string value) {
  if (e.kind() == TagKind::Select) {
    bool found = false;
    for (Element* option : optionsOf(e)) {
      bool match = !found && optionValue(*option) == value;
      option->control().checked = match;
      option->control().checkedDirty = true;
      found = found || match;
    }
    return true;
  }
  if (inputType(e) == u"file") return false;
  e.control().value = std::move(value);
  e.control().valueDirty = true;
  return true;
}

bool isChecked(const Element& input) {
  const auto& state = input.control();
  return state.checkedDirty ? state.checked : input.hasAttribute(u"checked");
}

void setChecked(Element& input, bool on) {
  input.control().checked = on;
  input.control().checkedDirty = true;
  if (!on || inputType(input) != u"radio") return;
  const std::u16string* name = input.attribute(u"name");
  if (!name || name->empty()) return;
  const Node* scope = formOwner(input);
  if (!scope) scope = input.document();
  if (!scope) return;
  Element* form = formOwner(input);
  for (Node* n = scope->firstChild(); n; n = n->nextInScope(scope)) {
    Element* other = n->asElement();
    if (!other || other == &input || other->kind() != TagKind::Input) continue;
    const std::u16string* otherName = other->attribute(u"name");
    if (otherName && *otherName == *name && formOwner(*other) == form && inputType(*other) == u"radio") {
      other->control().checked = false;
      other->control().checkedDirty = true;
    }
  }
}

bool checkedFromVariant(const Variant& value, bool& on) {
  const std::u16string* text = value.string();
  if (!text) {
    on = value.toLogical();
    return true;
  }
  if (text->empty() || memberNameEquals(*text, "false")) {
    on = false;
    return true;
  }
  if (memberNameEquals(*text, "checked") || memberNameEquals(*text, "true")) {
    on = true;
    return true;
  }
  std::u16string_view digits = *text;
  if (!digits.empty() && (digits.front() == u'-' || digits.front() == u'+')) digits.remove_prefix(1);
  if (digits.empty()) return false;
  for (char16_t c : digits)
    if (c < u'0' || c > u'9') return false;
  on = value.toNumber() != 0.0;
  return true;
}

std::u16string optionValue(const Element& option) {
  if (const std::u16string* value = option.attribute(u"value")) return *value;
  return collapsedText(textContent(option));
}

bool isSelected(const Element& option) {
  if (Element* select = selectOf(option); select && !select->hasAttribute(u"multiple")) {
    std::int32_t index = selectedIndex(*select);
    return index >= 0 && index == optionIndex(option);
  }
  const auto& state = option.control();
  return state.checkedDirty ? state.checked : option.hasAttribute(u"selected");
}

void setSelected(Element& option, bool on) {
  Element* select = selectOf(option);
  if (select && !select->hasAttribute(u"multiple")) {
    if (on) {
      setSelectedIndex(*select, optionIndex(option));
    } else if (isSelected(option)) {
      setSelectedIndex(*select, -1);
    }
    return;
  }
  option.control().checked = on;
  option.control().checkedDirty = true;
}

std::int32_t optionIndex(const Element& option) {
  Element* select = selectOf(option);
  if (!select) return 0;
  std::int32_t index = 0;
  for (Element* o : optionsOf(*select)) {
    if (o == &option) return index;
    ++index;
  }
  return 0;
}

std::int32_t selectedIndex(const Element& select) {
  std::vector<Element*> options = optionsOf(select);
  bool anyDirty = false;
  std::int32_t lastMarked = -1;
  for (std::size_t i = 0; i < options.size(); ++i) {
    const auto& state = options[i]->control();
    anyDirty = anyDirty || state.checkedDirty;
    if (state.checkedDirty && state.checked) return static_cast<std::int32_t>(i);
    if (!state.checkedDirty && options[i]->hasAttribute(u"selected")) {
      if (select.hasAttribute(u"multiple")) return static_cast<std::int32_t>(i);
      lastMarked = static_cast<std::int32_t>(i);
    }
  }
  if (anyDirty) return -1;
  if (lastMarked >= 0) return lastMarked;
  return options.empty() || select.hasAttribute(u"multiple") ? -1 : 0;
}

void setSelectedIndex(Element& select, std::int32_t index) {
  std::int32_t i = 0;
  for (Element* option : optionsOf(select)) {
    option->control().checked = i++ == index;
    option->control().checkedDirty = true;
  }
}

std::u16string formMethod(const Element& form) {
  return asciiLower(form.attributeOr(u"method")) == u"post" ? u"post" : u"get";
}

bool submitForm(Element& form, const Element* submitter) {
  Document* d = form.document();
  if (!d || !d->host()) return false;
  bool utf8 = d->charset() == u"utf-8";
  std::string data;
  auto field = [&](std::u16string_view name, std::u16string_view value) {
    if (!data.empty()) data.push_back('&');
    appendEncoded(data, name, utf8);
    data.push_back('=');
    appendEncoded(data, value, utf8);
  };
  Ref<Collection> controls = Collection::create(Ref<Node>(&form), CollectionFilter::FormElements);
  for (std::size_t i = 0; i < controls->length(); ++i) {
    Element* e = controls->at(i)->asElement();
    const std::u16string* name = e->attribute(u"name");
    if (!name || name->empty() || e->hasAttribute(u"disabled")) continue;
    switch (e->kind()) {
      case TagKind::Input: {
        std::u16string type = inputType(*e);
        if (type == u"submit" || type == u"image" || type == u"button" || type == u"reset" || type == u"file") {
          if (e == submitter && type == u"submit") field(*name, controlValue(*e));
          continue;
        }
        if (checkable(type) && !isChecked(*e)) continue;
        field(*name, controlValue(*e));
        break;
      }
      case TagKind::Button:
        if (e == submitter) field(*name, e->attributeOr(u"value"));
        break;
      case TagKind::Select:
        for (Element* option : optionsOf(*e))
          if (isSelected(*option)) field(*name, optionValue(*option));
        break;
      case TagKind::TextArea: field(*name, textContent(*e)); break;
      default: break;
    }
  }
  NavigationRequest request;
  request.target = form.attributeOr(u"target");
  std::u16string action = form.attributeOr(u"action");
  request.url = d->resolve(action.empty() ? d->address() : action);
  if (formMethod(form) == u"post") {
    request.method = u"POST";
    request.body = std::move(data);
    request.contentType = "application/x-www-form-urlencoded";
  } else {
    std::size_t hash = request.url.find(u'#');
    if (hash != std::u16string::npos) request.url.resize(hash);
    std::size_t query = request.url.find(u'?');
    if (query != std::u16string::npos) request.url.resize(query);
    request.url += u"?";
    request.url += utf8ToWide(data);
  }
  d->host()->navigate(*d, request);
  return true;
}

void resetForm(Element& form) {
  for (Node* n = form.firstChild(); n; n = n->nextInScope(&form)) {
    if (Element* e = n->asElement()) e->control() = Element::FormState{};
  }
}

}  // namespace trenmoor::html
