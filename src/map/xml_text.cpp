#include "map/xml_text.h"

#include "datafile/utf8.h"

namespace eq {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Whether the well-formed UTF-8 character `c` may stand in XML 1.0.
bool xmlAllows(std::string_view c) {
  if (c.size() == 1) return static_cast<unsigned char>(c[0]) >= 0x20 || c[0] == '\t' || c[0] == '\n' || c[0] == '\r';
  return c != "\xEF\xBF\xBE" && c != "\xEF\xBF\xBF";  // U+FFFE, U+FFFF
}

// Appends the text with what XML cannot hold replaced, and with the markup characters
// as references when `escapeMarkup`.
void appendXml(std::string& out, std::string_view utf8, bool escapeMarkup) {
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = utf8CharLength(utf8, i);
    const std::string_view c = utf8.substr(i, length == 0 ? 1 : length);
    i += c.size();
    if (length == 0 || !xmlAllows(c)) {
      out += kReplacement;
      continue;
    }
    if (!escapeMarkup) {
      out += c;
      continue;
    }
    switch (c[0]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
}

}  // namespace

std::string xmlCharacters(std::string_view utf8) {
  std::string out;
  appendXml(out, utf8, false);
  return out;
}

void appendXmlText(std::string& out, std::string_view utf8) { appendXml(out, utf8, true); }

}  // namespace eq
