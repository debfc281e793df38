// Attaches a driver to a window: the window calls are left for the stand-ins to resolve.
#include "driver/page_driver.h"

int main() {
  trenmoor::PageDriver driver;
  return driver.attach(1) ? 0 : 1;
}
