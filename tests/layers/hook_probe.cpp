// Hooks a function: the hook's module and memory calls are left for the stand-ins to resolve.
#include "hook/api_hook.h"

int main() {
  trenmoor::ApiHook hook;
  trenmoor::Text library = "probe.dll";
  return hook.installHook(library, "probe", nullptr) ? 0 : 1;
}
