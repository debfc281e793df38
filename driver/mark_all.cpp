// Labelling every form control of the page, kind by kind.
#include "driver/page_driver.h"

namespace trenmoor {

void PageDriver::markAllFormControls() {
  // Each kind labels itself; the counts are not needed.
  countTextInputs(true);
  countTextAreas(true);
  countRadios(true);
  countCheckBoxes(true);
  countButtons(true);
  countSelects(true);
  countAdvancedButtons(true);
  countImageButtons(true);
}

}  // namespace trenmoor
