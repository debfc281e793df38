#include "driver/page_driver.h"

#include "platform/com_init.h"

namespace trenmoor {

PageDriver::PageDriver() { win::CoInitialize(nullptr); }

PageDriver::~PageDriver() {
  document_.clear();
  win::CoUninitialize();
}

PageDriver::PageDriver(const PageDriver& other) : document_(other.document_), window_(other.window_) {
  win::CoInitialize(nullptr);
}

// Assignment makes no new driver, so the COM count stays as it is.
PageDriver& PageDriver::operator=(const PageDriver& other) {
  document_ = other.document_;
  window_ = other.window_;
  return *this;
}

}  // namespace trenmoor
