// The codec's own code page 932 table and UTF-16 reader against glibc's iconv, every
// code both ways: the bytes must be the same as where the C library converts them.

#include "datafile/sjis_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

using namespace eq;

namespace {

struct Converted {
  std::string out;
  std::size_t used;  // bytes of the input converted
  bool whole;        // all of it
};

Converted convert(iconv_t cd, std::string_view in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char buffer[32];
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  const bool whole = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  return {std::string(buffer, static_cast<std::size_t>(outPtr - buffer)), in.size() - inLeft, whole};
}

// What iconv makes of `bytes`, with U+FFFD for each unit of `unitSize` bytes (or the
// shorter rest) at which it stops.
std::string glibcDecode(const char* from, std::string_view bytes, std::size_t unitSize) {
  const iconv_t cd = iconv_open("UTF-8", from);
  std::string out;
  while (!bytes.empty()) {
    const Converted converted = convert(cd, bytes);
    out += converted.out;
    bytes.remove_prefix(converted.used);
    if (!converted.whole) {
      out += "\xEF\xBF\xBD";
      bytes.remove_prefix(std::min(unitSize, bytes.size()));
    }
  }
  iconv_close(cd);
  return out;
}

TEST(Cp932, DecodesEveryCodeAsGlibc) {
  // A code is at most two bytes, so these are every case of a byte with what follows it.
  for (unsigned first = 0; first < 0x100; ++first) {
    const std::string one(1, static_cast<char>(first));
    ASSERT_EQ(decodeShiftJis(one), glibcDecode("CP932", one, 1)) << std::hex << first;
    for (unsigned second = 0; second < 0x100; ++second) {
      const std::string two{static_cast<char>(first), static_cast<char>(second)};
      ASSERT_EQ(decodeShiftJis(two), glibcDecode("CP932", two, 1)) << std::hex << first << ' ' << second;
    }
  }
}

TEST(Cp932, EncodesEveryCharacterAsGlibc) {
  const iconv_t toUtf8 = iconv_open("UTF-8", "UTF-32BE");
  const iconv_t toCp932 = iconv_open("CP932", "UTF-8");
  for (char32_t c = 0; c < 0x110000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const char utf32[] = {static_cast<char>(c >> 24), static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    const std::string utf8 = convert(toUtf8, std::string_view(utf32, 4)).out;
    const Converted glibc = convert(toCp932, utf8);
    const ShiftJisEncoding codec = encodeShiftJis(utf8);
    // Refused: what glibc cannot write; a character beyond ASCII that it writes as an ASCII
    // byte (¥ as \, ‾ as ~); the tag characters U+E0000..U+E007F, which glibc drops unsaid.
    const bool ascii = glibc.out.size() == 1 && static_cast<unsigned char>(glibc.out[0]) < 0x80;
    if (!glibc.whole || glibc.out.empty() || (c >= 0x80 && ascii)) {
      ASSERT_FALSE(codec.ok) << std::hex << unsigned(c);
      ASSERT_EQ(codec.badCharacter, utf8);
    } else {
      ASSERT_TRUE(codec.ok) << std::hex << unsigned(c);
      ASSERT_EQ(codec.bytes, glibc.out) << std::hex << unsigned(c);
    }
  }
  iconv_close(toUtf8);
  iconv_close(toCp932);
}

// Every code unit alone, followed by a low surrogate, by "A", and by an odd byte.
TEST(Utf16, DecodesEveryUnitAsGlibc) {
  for (const auto& [order, name] : {std::pair{TextEncoding::Utf16Le, "UTF-16LE"}, {TextEncoding::Utf16Be, "UTF-16BE"}}) {
    const auto bytes = [order = order](unsigned unit) {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit);
      return order == TextEncoding::Utf16Be ? std::string{high, low} : std::string{low, high};
    };
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
      for (const std::string& text : {bytes(unit), bytes(unit) + bytes(0xDC00 | (unit & 0x3FF)), bytes(unit) + bytes('A'),
                                      bytes(unit) + "A"}) {
        ASSERT_EQ(decodeUtf16(text, order), glibcDecode(name, text, 2)) << name << ' ' << std::hex << unit;
      }
    }
  }
}

}  // namespace
