// Any bytes as an imported link-list file: the file's text, then every line split into fields.
#include <cstddef>
#include <cstdint>

#include "app/link_import.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trenmoor;
  app::LinkFileText file = app::linkFileText(Bytes(data, data + size));
  forEachSplitMember(file.text, app::kLineBreak, [](std::string_view line) { (void)app::splitLinkLine(line); });
  return 0;
}
