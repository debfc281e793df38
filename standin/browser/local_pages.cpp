#include "standin/browser/local_pages.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/text.h"
#include "standin/browser/web_address.h"

namespace trenmoor::browser {
namespace {

HttpReply page(std::string contentType, std::string body) {
  HttpReply reply;
  reply.status = 200;
  reply.headers.push_back({"Content-Type", std::move(contentType)});
  reply.body = std::move(body);
  return reply;
}

HttpReply failure(FetchFailure kind, std::string error) {
  HttpReply reply;
  reply.failure = kind;
  reply.error = std::move(error);
  return reply;
}

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+' || c == '-') return 62;
  if (c == '/' || c == '_') return 63;
  return -1;
}

// Decodes base64, skipping blanks and stopping at '='; false on any other character.
bool decodeBase64(std::string_view text, std::string& out) {
  std::uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    int v = base64Value(c);
    if (v < 0) return false;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    if (++count == 4) {
      out += static_cast<char>((bits >> 16) & 0xFF);
      out += static_cast<char>((bits >> 8) & 0xFF);
      out += static_cast<char>(bits & 0xFF);
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) out += static_cast<char>((bits >> 4) & 0xFF);
  if (count == 3) {
    out += static_cast<char>((bits >> 10) & 0xFF);
    out += static_cast<char>((bits >> 2) & 0xFF);
  }
  return count != 1;
}

HttpReply readData(std::string_view url) {
  std::string_view rest = url.substr(5);  // after "data:"
  std::size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return failure(FetchFailure::Other, "malformed data address");
  std::string mediaType(rest.substr(0, comma));
  std::string_view payload = rest.substr(comma + 1);
  bool base64 = false;
  if (mediaType.size() >= 7 && asciiLower(mediaType.substr(mediaType.size() - 7)) == ";base64") {
    base64 = true;
    mediaType.resize(mediaType.size() - 7);
  }
  if (mediaType.empty() || mediaType.front() == ';') mediaType = "text/plain" + mediaType;
  std::string body;
  if (base64) {
    if (!decodeBase64(percentDecode(payload), body)) return failure(FetchFailure::Other, "malformed data address");
  } else {
    body = percentDecode(payload);
  }
  return page(percentDecode(mediaType), std::move(body));
}

std::string typeByExtension(const std::filesystem::path& path) {
  std::string ext = asciiLower(path.extension().string());
  if (ext == ".txt") return "text/plain";
  if (ext == ".png") return "image/png";
  if (ext == ".gif") return "image/gif";
  if (ext == ".jpg" || ext == ".jpeg") return "image/jpeg";
  if (ext == ".bmp") return "image/bmp";
  return "text/html";  // pages of any other name are read as HTML, as a browser sniffs them
}

HttpReply readFile(std::string_view url) {
  auto address = parseWebAddress(url);
  if (!address) return failure(FetchFailure::NotFound, "malformed file address");
  std::filesystem::path path(percentDecode(address->path));
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return failure(FetchFailure::NotFound, "the file " + path.string() + " was not found");
  std::ifstream in(path, std::ios::binary);
  if (!in) return failure(FetchFailure::NotFound, "the file " + path.string() + " cannot be read");
  std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return page(typeByExtension(path), std::move(body));
}

}  // namespace

HttpReply readLocalPage(std::string_view url) {
  std::string scheme = schemeOf(url);
  if (scheme == "about") return page("text/html; charset=utf-8", "");
  if (scheme == "data") return readData(url);
  if (scheme == "file") return readFile(url);
  return failure(FetchFailure::Unsupported, "the address " + std::string(url) + " cannot be opened");
}

}  // namespace trenmoor::browser
