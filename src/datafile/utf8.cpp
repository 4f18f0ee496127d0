#include "datafile/utf8.h"

namespace eq {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Where the character after the one at `at` starts.
std::size_t nextCharacter(std::string_view text, std::size_t at) {
  const std::size_t length = utf8CharLength(text, at);
  return at + (length == 0 ? 1 : length);
}

}  // namespace

std::size_t utf8CharLength(std::string_view bytes, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char b0 = at(i);
  if (b0 < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    if (b0 == 0xE0) low = 0xA0;   // overlong
    if (b0 == 0xED) high = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    if (b0 == 0xF0) low = 0x90;   // overlong
    if (b0 == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

char32_t nextCodePoint(std::string_view text, std::size_t& i) {
  const std::size_t length = utf8CharLength(text, i);
  if (length == 0) {
    ++i;
    return 0xFFFD;
  }
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t cp = static_cast<unsigned char>(text[i]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  i += length;
  return cp;
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = utf8CharLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string decodeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = utf8CharLength(bytes, i);
    if (length == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at = nextCharacter(text, at)) ++count;
  return count;
}

std::string_view characters(std::string_view text, std::size_t first, std::size_t count) {
  std::size_t begin = 0;
  for (std::size_t n = 0; n < first && begin < text.size(); ++n) begin = nextCharacter(text, begin);
  std::size_t end = begin;
  for (std::size_t n = 0; n < count && end < text.size(); ++n) end = nextCharacter(text, end);
  return text.substr(begin, end - begin);
}

}  // namespace eq
