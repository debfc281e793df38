// Page-level operations: they act on the page as a whole, or on an element the caller holds.
#include "driver/page_driver.h"

namespace trenmoor {

bool PageDriver::fireElementEvent(const ComObject& element, const Text& eventName) {
  // 1. The handler the element holds for the event (normally its attached handler, or empty).
  const Variant handler = element.getValue(eventName);
  // 2.-3. FireEvent with the name and that value; its result as a logical.
  return element.callLogical("FireEvent", {ComObject::textArgument(eventName), handler});
}

}  // namespace trenmoor
