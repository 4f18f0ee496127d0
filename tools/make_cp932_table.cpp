// Writes the code page 932 table of the core's Shift-JIS codec (src/datafile/cp932_table.inc)
// from the C library's iconv ("CP932"), so that the program converts the same bytes
// everywhere, also where the C library has no code page 932 (WebAssembly's).
//
//   make_cp932_table src/datafile/cp932_table.inc
//
// Every byte and every pair of bytes is decoded, and every character from U+0000 to
// U+10FFFF encoded. The table holds what each code decodes to; the encoder writes a
// character with the lowest code that decodes to it, outside the lead bytes none of
// whose codes the encoder writes (found here), and the few choices beyond that rule are
// listed. Fails, writing nothing, when the converter does something the table cannot hold.

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// The code of one byte is the byte; of two, lead * 256 + trail.
using Code = unsigned;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "make_cp932_table: %s\n", why.c_str());
  std::exit(1);
}

// Converts `in` whole, or nothing.
std::optional<std::string> convert(iconv_t cd, const std::string& in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char out[16];
  char* outPtr = out;
  std::size_t outLeft = sizeof out;
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) return {};
  return std::string(out, static_cast<std::size_t>(outPtr - out));
}

// One character as UTF-32BE from the decoder's output, or nothing when it is not one.
std::optional<char32_t> oneCharacter(const std::optional<std::string>& utf32) {
  if (!utf32 || utf32->size() != 4) return {};
  char32_t c = 0;
  for (const char byte : *utf32) c = c << 8 | static_cast<unsigned char>(byte);
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
  } else {
    out += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
  }
}

// Trail bytes of two-byte codes: 40..7E and 80..FC, the first 94 and the second 94.
std::vector<unsigned char> trailBytes() {
  std::vector<unsigned char> trails;
  for (unsigned t = 0x40; t <= 0xFC; ++t) {
    if (t != 0x7F) trails.push_back(static_cast<unsigned char>(t));
  }
  return trails;
}

constexpr char32_t kNone = 0xFFFD;  // stands in the table where a code decodes to nothing

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) fail("usage: make_cp932_table OUTPUT.inc");
  const iconv_t decoder = iconv_open("UTF-32BE", "CP932");
  const iconv_t encoder = iconv_open("CP932", "UTF-32BE");
  if (decoder == reinterpret_cast<iconv_t>(-1) || encoder == reinterpret_cast<iconv_t>(-1)) {
    fail("this C library's iconv has no CP932");
  }

  // Decoding. A byte that decodes to nothing alone but to a character with a trail byte
  // is a lead byte.
  std::map<Code, char32_t> decoded;
  std::set<unsigned> leads;
  const std::vector<unsigned char> trails = trailBytes();
  for (unsigned b = 0; b < 0x100; ++b) {
    if (const auto c = oneCharacter(convert(decoder, std::string(1, char(b))))) {
      if (b < 0x80 && *c != b) fail("a byte below 80 is not ASCII");
      decoded[b] = *c;
    }
    for (unsigned t = 0; t < 0x100; ++t) {
      const auto c = oneCharacter(convert(decoder, {char(b), char(t)}));
      if (!c || decoded.count(b)) continue;  // a one-byte character followed by another
      if (std::find(trails.begin(), trails.end(), t) == trails.end()) fail("a trail byte outside 40..FC");
      leads.insert(b);
      decoded[b << 8 | t] = *c;
    }
  }
  std::map<char32_t, std::vector<Code>> codesOf;  // ascending
  for (const auto& [code, c] : decoded) {
    if (code >= 0x80 && (c < 0xA0 || c > 0xFFFF || c == kNone || (c >= 0xD800 && c < 0xE000))) {
      fail("a code beyond ASCII decodes to a control character or beyond U+FFFF");
    }
    codesOf[c].push_back(code);
  }

  // Encoding. What each character becomes; nothing where the encoder refuses it.
  // glibc's iconv drops the tag characters U+E0000..U+E007F without a word: the codec
  // refuses them, as every character it has no code for.
  std::map<char32_t, Code> encoded;
  for (char32_t c = 0; c < 0x110000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::string utf32{char(c >> 24), char(c >> 16 & 0xFF), char(c >> 8 & 0xFF), char(c & 0xFF)};
    const auto bytes = convert(encoder, utf32);
    if (!bytes || bytes->empty()) continue;
    if (bytes->size() > 2) fail("a character encodes to more than two bytes");
    encoded[c] = bytes->size() == 1 ? Code(static_cast<unsigned char>((*bytes)[0]))
                                    : Code(static_cast<unsigned char>((*bytes)[0])) << 8 | static_cast<unsigned char>((*bytes)[1]);
    if (convert(decoder, *bytes) == std::nullopt) fail("a character encodes to bytes that do not decode");
  }
  for (const auto& [c, codes] : codesOf) {
    if (!encoded.count(c)) fail("a character that decodes does not encode");
  }

  // Lead bytes none of whose codes the encoder writes.
  std::set<unsigned> decodeOnly = leads;
  for (const auto& [c, code] : encoded) decodeOnly.erase(code >> 8);
  // The rule, and the encoder's choices beyond it.
  std::map<char32_t, Code> choices;
  for (const auto& [c, code] : encoded) {
    std::optional<Code> byRule;
    if (const auto it = codesOf.find(c); it != codesOf.end()) {
      for (const Code candidate : it->second) {
        if (!decodeOnly.count(candidate >> 8)) {
          byRule = candidate;
          break;
        }
      }
    }
    if (byRule != code) choices[c] = code;
  }

  std::string out;
  out += "// Code page 932 (Shift-JIS with the NEC and IBM extensions) as the GNU C Library's iconv\n"
         "// converts it (\"CP932\", iconvdata/CP932.c, LGPL-2.1-or-later). Generated by\n"
         "// tools/make_cp932_table from that converter; do not edit. It holds only which\n"
         "// character each code stands for. U+FFFD marks a code that decodes to nothing.\n\n"
         "// One-byte codes 80..FF (00..7F are ASCII).\n"
         "inline constexpr char kCp932Bytes[] =\n    \"";
  for (Code b = 0x80; b < 0x100; ++b) appendUtf8(out, decoded.count(b) ? decoded[b] : kNone);
  out += "\";\n\n"
         "// Two-byte codes: a lead byte, its 94 codes with trail bytes 40..7E, 80..9E, then its\n"
         "// 94 codes 9F..FC.\n"
         "inline constexpr Cp932Row kCp932Rows[] = {\n";
  for (const unsigned lead : leads) {
    char head[32];
    std::snprintf(head, sizeof head, "    {0x%02X, \"", lead);
    out += head;
    for (std::size_t k = 0; k < trails.size(); ++k) {
      if (k == trails.size() / 2) out += "\"\n           \"";
      const auto it = decoded.find(lead << 8 | trails[k]);
      appendUtf8(out, it == decoded.end() ? kNone : it->second);
    }
    out += "\"},\n";
  }
  out += "};\n\n"
         "// Lead bytes whose codes the encoder never writes: each of their characters has\n"
         "// another code (NEC's copies of IBM's extensions).\n"
         "inline constexpr unsigned char kCp932DecodeOnlyLeads[] = {";
  for (const unsigned lead : decodeOnly) {
    char item[16];
    std::snprintf(item, sizeof item, "%s0x%02X", lead == *decodeOnly.begin() ? "" : ", ", lead);
    out += item;
  }
  out += "};\n\n"
         "// Characters the encoder writes with another code than the lowest one that decodes\n"
         "// to them outside those lead bytes, mostly with the code of a look-alike.\n"
         "inline constexpr Cp932Choice kCp932EncoderChoices[] = {";
  std::size_t count = 0;
  for (const auto& [c, code] : choices) {
    char item[32];
    std::snprintf(item, sizeof item, "%s{0x%04X, 0x%02X},", count++ % 6 == 0 ? "\n    " : " ", unsigned(c), code);
    out += item;
  }
  out += "\n};\n";

  std::ofstream file(argv[1], std::ios::binary);
  if (!(file << out && file.flush())) fail(std::string("cannot write ") + argv[1]);
  std::fprintf(stderr, "make_cp932_table: %zu codes, %zu lead bytes, %zu decode-only, %zu encoder choices\n",
               decoded.size(), leads.size(), decodeOnly.size(), choices.size());
  return 0;
}
