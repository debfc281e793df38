#include "platform/com_init.h"

namespace trenmoor::win {
namespace {
thread_local int initializationCount = 0;
}

HRESULT CoInitialize(void*) { return initializationCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (initializationCount > 0) --initializationCount;
}

int comInitializationCount() { return initializationCount; }

}  // namespace trenmoor::win
