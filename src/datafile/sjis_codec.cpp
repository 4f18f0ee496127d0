#include "datafile/sjis_codec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace eq {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// iconv's input pointer is char** on glibc and const char** elsewhere.
template <typename In>
std::size_t callIconv(std::size_t (*convert)(iconv_t, In, std::size_t*, char**, std::size_t*), iconv_t cd,
                      const char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
  return convert(cd, const_cast<In>(in), inLeft, out, outLeft);
}

// An iconv converter for the life of one conversion.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(openAny(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of `in` as it can and appends it to `out`; stops at the first
  // sequence it cannot convert, leaving `in` there. True when all of `in` was used.
  bool convert(std::string_view& in, std::string& out) {
    const char* inPtr = in.data();
    std::size_t inLeft = in.size();
    bool done = false;
    bool failed = false;
    while (!done && !failed) {
      char buffer[4096];
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = callIconv(&::iconv, cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (result != static_cast<std::size_t>(-1)) {
        done = true;
      } else if (errno != E2BIG) {
        failed = true;  // EILSEQ or EINVAL: a sequence it cannot convert
      }
    }
    in.remove_prefix(in.size() - inLeft);
    callIconv(&::iconv, cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return done;
  }

 private:
  // Code page 932 goes by several names; the first one iconv knows is used.
  static iconv_t openAny(const char* to, const char* from) {
    const bool toShiftJis = std::string_view(to) == "CP932";
    const bool fromShiftJis = std::string_view(from) == "CP932";
    for (const char* name : {"CP932", "WINDOWS-31J", "MS932"}) {
      const iconv_t cd = iconv_open(toShiftJis ? name : to, fromShiftJis ? name : from);
      if (cd != reinterpret_cast<iconv_t>(-1) || !(toShiftJis || fromShiftJis)) return cd;
    }
    return reinterpret_cast<iconv_t>(-1);
  }

  iconv_t cd_;
};

// Everything `converter` can convert, with one replacement character for each unit of
// `unitSize` bytes (or the shorter rest) at which it cannot; nothing when there is no
// converter.
std::optional<std::string> decodeWith(Converter& converter, std::string_view bytes, std::size_t unitSize) {
  if (!converter.valid()) return std::nullopt;
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  while (!converter.convert(bytes, out) && !bytes.empty()) {
    out += kReplacement;
    bytes.remove_prefix(std::min(unitSize, bytes.size()));
  }
  return out;
}

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
  Converter converter("UTF-8", byteOrder == TextEncoding::Utf16Be ? "UTF-16BE" : "UTF-16LE");
  return decodeWith(converter, bytes, 2);
}

std::optional<std::string> decodeShiftJis(std::string_view bytes) {
  // Not Shift-JIS: one replacement character per byte that cannot start one.
  Converter converter("UTF-8", "CP932");
  return decodeWith(converter, bytes, 1);
}

ShiftJisEncoding encodeShiftJis(std::string_view utf8) {
  ShiftJisEncoding result;
  if (!isValidUtf8(utf8)) return result;
  Converter converter("CP932", "UTF-8");
  if (!converter.valid()) return result;
  std::string bytes;
  bytes.reserve(utf8.size());
  // One character at a time, so that what each one became can be judged on its bytes.
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = utf8CharLength(utf8, i);
    std::string_view character = utf8.substr(i, length);
    const std::size_t before = bytes.size();
    const bool converted = converter.convert(character, bytes);
    // A character beyond ASCII that comes out as one ASCII byte reads back as another
    // character (¥ as a backslash); two bytes read back as itself or its look-alike.
    const bool becameAscii = length > 1 && bytes.size() == before + 1 && static_cast<unsigned char>(bytes.back()) < 0x80;
    if (!converted || becameAscii) {
      result.badCharacter = std::string(utf8.substr(i, length));
      return result;
    }
    i += length;
  }
  result.ok = true;
  result.bytes = std::move(bytes);
  return result;
}

}  // namespace eq
