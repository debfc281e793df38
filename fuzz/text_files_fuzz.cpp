// Any bytes as the text files a user writes for the stand-ins: the first byte picks a site
// description (even) or a scenario (odd), the rest is parsed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "standin/site/site_description.h"
#include "standin/toolkit/scripted_user.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trenmoor;
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    site::DescriptionResult result = site::parseSiteDescription(text);
    if (!result.ok()) (void)result.error->text();
  } else {
    std::string error;
    auto scenario = toolkit::ScriptedUser::parse(text, "/nonexistent", error);
    if (scenario) {
      for (const auto& timed : scenario->timed) (void)toolkit::describeAction(timed.action);
    }
  }
  return 0;
}
