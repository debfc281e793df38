// Writes a value: the registry calls are left for the stand-ins to resolve.
#include "registry/registry_access.h"

int main() {
  trenmoor::RegistryAccess registry;
  return registry.writeDword("HKEY_CURRENT_USER\\Probe", "probe", 1) ? 0 : 1;
}
