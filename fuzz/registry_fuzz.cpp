// Any bytes as a sequence of registry accessor calls over a fresh in-memory hive: each line is
// one call, its first byte the operation and the rest "path|value name|data", so path parsing,
// key creation and deletion and every value type's write and read are fuzzed together.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/registry_calls.h"
#include "platform/text.h"
#include "registry/registry_access.h"
#include "standin/registry/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trenmoor;
  if (!standin::openMemoryRegistryStore()) return 0;
  standin::setMachineWideWrites(size % 2 ? standin::MachineWideWrites::Allowed : standin::MachineWideWrites::Refused);
  RegistryAccess registry;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  forEachSplitMember(input, "\n", [&](std::string_view line) {
    if (line.empty()) return;
    const char op = line[0];
    std::vector<Text> parts = splitText(line.substr(1), "|");
    parts.resize(3);
    const Text& path = parts[0];
    const Text& name = parts[1];
    const Text& text = parts[2];
    std::vector<Text> names;
    std::vector<Bytes> values;
    std::vector<std::int32_t> types;
    switch (op % 16) {
      case 0: registry.writeString(path, name, text); break;
      case 1: (void)registry.readString(path, name); break;
      case 2: registry.writeDword(path, name, truncatedInteger(std::string_view(text))); break;
      case 3: (void)registry.readDword(path, name); break;
      case 4: registry.writeBinary(path, name, Bytes(text.begin(), text.end())); break;
      case 5: (void)registry.readBinary(path, name); break;
      case 6: registry.writeMultiString(path, name, text); break;
      case 7: (void)registry.readMultiString(path, name); break;
      case 8: registry.writeExpandString(path, name, text); break;
      case 9: (void)registry.readExpandString(path, name); break;
      case 10: (void)registry.listSubKeys(path, names); break;
      case 11: (void)registry.listValues(path, names, values, types); break;
      case 12: (void)registry.deleteKey(path); break;
      case 13: (void)registry.deleteValue(path, name); break;
      case 14: (void)registry.describeValueType(path, name); (void)registry.keyOrValueExists(path, name); break;
      default: {
        win::HKEY key = registry.openKey(path, !text.empty());
        if (key) win::RegCloseKey(key);
        registry.writeValueUnderRoot(leadingInteger(name), path, text, Bytes(text.begin(), text.end()));
        break;
      }
    }
  });
  return 0;
}
