// PageDriver: the page-automation driver. It is bound to one browser window and holds one
// reference to the HTML document shown in it; its operations read and change that document by
// late binding. Operations are virtual, in the order of the driver's table, and call one
// another through it.
#pragma once

#include "platform/com_object.h"
#include "platform/window_calls.h"

namespace trenmoor {

class PageDriver {
 public:
  // A new driver: empty document, window 0; initialises COM for this thread.
  PageDriver();
  // 1. Clean-up: releases the document, then balances the creation's COM initialisation.
  virtual ~PageDriver();
  // 2. Copy: the same window and a new reference to the same document; initialises COM like a
  // new driver so that its clean-up is balanced.
  PageDriver(const PageDriver& other);
  PageDriver& operator=(const PageDriver& other);

 protected:
  ComObject document_;
  win::HWND window_ = 0;
};

}  // namespace trenmoor
