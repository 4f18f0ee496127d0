#include "datafile/sjis_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace eq {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr char16_t kNone = 0xFFFD;  // no code page 932 code stands for it

struct Cp932Row {
  unsigned char lead;
  const char* characters;  // UTF-8, one for each trail byte 40..7E, 80..FC
};
struct Cp932Choice {
  char32_t character;
  std::uint16_t code;
};
#include "datafile/cp932_table.inc"

// The code point of one well-formed UTF-8 character.
char32_t codePoint(std::string_view character) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(character[k]); };
  if (character.size() == 1) return byte(0);
  char32_t c = byte(0) & (0x7F >> character.size());
  for (std::size_t k = 1; k < character.size(); ++k) c = c << 6 | (byte(k) & 0x3F);
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
  } else if (c < 0x10000) {
    out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  } else {
    out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
            static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
}

// Code page 932 both ways, from the table. A code is a byte (00..FF) or lead * 256 +
// trail; every character it has lies below U+10000.
class Cp932 {
 public:
  static const Cp932& get() {
    static const Cp932 table;
    return table;
  }

  // The character of a code, kNone for none.
  char16_t decode(unsigned code) const { return code < 0x80 ? static_cast<char16_t>(code) : decode_[code]; }
  // The code of a character, 0 for none (U+0000 is 0 too).
  unsigned encode(char32_t c) const { return c < 0x80 ? c : c < 0x10000 ? encode_[c] : 0; }

 private:
  Cp932() {
    decode_.fill(kNone);
    add(0x80, kCp932Bytes);
    for (const Cp932Row& row : kCp932Rows) add(row.lead * 0x100u + 0x40, row.characters);
    for (const Cp932Choice& choice : kCp932EncoderChoices) encode_[choice.character] = choice.code;
  }

  // The characters of consecutive codes from `first` (trail byte 7F is none). Each
  // character gets the first of its codes, unless the encoder never writes its lead byte.
  void add(unsigned first, std::string_view characters) {
    const bool decodeOnly = std::find(std::begin(kCp932DecodeOnlyLeads), std::end(kCp932DecodeOnlyLeads), first >> 8) !=
                            std::end(kCp932DecodeOnlyLeads);
    unsigned code = first;
    for (std::size_t i = 0; i < characters.size(); code += (code & 0xFF) == 0x7E ? 2 : 1) {
      const std::size_t length = utf8CharLength(characters, i);
      const char32_t c = codePoint(characters.substr(i, length));
      i += length;
      if (c == kNone) continue;
      decode_[code] = static_cast<char16_t>(c);
      if (!decodeOnly && encode_[c] == 0) encode_[c] = static_cast<std::uint16_t>(code);
    }
  }

  std::array<char16_t, 0x10000> decode_{};
  std::array<std::uint16_t, 0x10000> encode_{};
};

}  // namespace

TextEncoding detectEncoding(std::string_view bytes) {
  if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) return TextEncoding::Utf16Le;
  if (bytes.substr(0, kUtf16BeBom.size()) == kUtf16BeBom) return TextEncoding::Utf16Be;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return TextEncoding::Utf8;
  // Two half-width kana in Shift-JIS can be a two-byte UTF-8 character (ﾃｽ is "ý"), so
  // only a longer one counts as a sign of UTF-8.
  bool longCharacter = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = utf8CharLength(bytes, i);
    if (length == 0) return TextEncoding::ShiftJis;
    longCharacter = longCharacter || length >= 3;
    i += length;
  }
  return longCharacter ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

std::optional<std::string> decodeUtf16(std::string_view bytes, TextEncoding byteOrder) {
  const bool bigEndian = byteOrder == TextEncoding::Utf16Be;
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    return bigEndian ? byte(i) << 8 | byte(i + 1) : byte(i + 1) << 8 | byte(i);
  };
  const auto isLowSurrogate = [](char32_t u) { return u >= 0xDC00 && u < 0xE000; };
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size();) {
    if (bytes.size() - i < 2) {  // an odd last byte
      out += kReplacement;
      break;
    }
    char32_t c = unit(i);
    i += 2;
    if (c >= 0xD800 && c < 0xDC00 && bytes.size() - i >= 2 && isLowSurrogate(unit(i))) {
      c = 0x10000 + ((c - 0xD800) << 10 | (unit(i) - 0xDC00));
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      out += kReplacement;  // a lone surrogate
      continue;
    }
    appendUtf8(out, c);
  }
  return out;
}

std::optional<std::string> decodeShiftJis(std::string_view bytes) {
  // Not Shift-JIS: one replacement character per byte that cannot start one.
  const Cp932& cp932 = Cp932::get();
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size();) {
    // A two-byte code where one starts, else the byte alone.
    const unsigned first = static_cast<unsigned char>(bytes[i]);
    char16_t c = kNone;
    if (first >= 0x80 && i + 1 < bytes.size()) c = cp932.decode(first << 8 | static_cast<unsigned char>(bytes[i + 1]));
    if (c != kNone) {
      i += 2;
    } else {
      c = cp932.decode(first);
      ++i;
    }
    appendUtf8(out, c);
  }
  return out;
}

ShiftJisEncoding encodeShiftJis(std::string_view utf8) {
  ShiftJisEncoding result;
  if (!isValidUtf8(utf8)) return result;
  const Cp932& cp932 = Cp932::get();
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = utf8CharLength(utf8, i);
    const unsigned code = cp932.encode(codePoint(utf8.substr(i, length)));
    // None, or a character beyond ASCII written as an ASCII byte, which reads back as
    // another character (¥ as a backslash); two bytes read back as itself or its look-alike.
    if (length > 1 && code < 0x80) {
      result.badCharacter = std::string(utf8.substr(i, length));
      return result;
    }
    if (code > 0xFF) bytes += static_cast<char>(code >> 8);
    bytes += static_cast<char>(code & 0xFF);
    i += length;
  }
  result.ok = true;
  result.bytes = std::move(bytes);
  return result;
}

}  // namespace eq
