// Pages that need no server: about:, data: and file: addresses.
#pragma once

#include <string_view>

#include "standin/browser/http_client.h"

namespace trenmoor::browser {

// The page at an about:, data: or file: address as a reply: status 200 with a Content-Type
// header and the bytes; about: addresses give an empty HTML page. A file that cannot be read
// gives FetchFailure::NotFound, a malformed data: address FetchFailure::Other, any other
// scheme FetchFailure::Unsupported.
HttpReply readLocalPage(std::string_view url);

}  // namespace trenmoor::browser
