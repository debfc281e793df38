// Forms: the document's forms collection, with a lookup of its own (name, id, then the running
// index against the key's leading integer; no skip count).
#include "driver/page_driver.h"

namespace trenmoor {

ComObject PageDriver::findForm(const Text& key, std::int32_t* runningIndex) {
  std::int32_t local = 0;
  std::int32_t& index = runningIndex ? *runningIndex : local;
  // The key's whole leading number: 2, 2abc and 2.9 all give 2.
  const std::int32_t keyNumber = leadingInteger(key);
  // 1. The forms and their number.
  const ComObject forms = document_.getObject("forms");
  const std::int32_t count = forms.getInteger("length");
  // 2. Each form in order: the running index moves on by one (wrapping, as a caller may hand
  // in any value), then name, id and position are tried.
  for (std::int32_t i = 0; i < count; ++i) {
    ComObject form = forms.callObject("item", {Variant(static_cast<double>(i))});
    index = static_cast<std::int32_t>(static_cast<std::uint32_t>(index) + 1u);
    if (form.getText("name") == key || form.getText("id") == key || keyNumber == index) return form;
  }
  // 3. None: the running index becomes -1.
  index = -1;
  return {};
}

bool PageDriver::submitForm(const Text& key) {
  const ComObject form = findForm(key);
  form.call("submit");
  return !form.empty();
}

std::int32_t PageDriver::formIndex(const Text& key) {
  std::int32_t index = 0;
  findForm(key, &index);
  return index;
}

Text PageDriver::getFormHtml(const Text& key) { return findForm(key).getText("outerHTML"); }

std::int32_t PageDriver::countForms() { return document_.getObject("forms").getInteger("length"); }

bool PageDriver::formInfo(const Text& key, Text* method, Text* action) {
  const ComObject form = findForm(key);
  if (method) *method = form.getText("method");
  if (action) *action = form.getText("action");
  return !form.empty();
}

}  // namespace trenmoor
