#pragma once
// Text of the eruption data files: Shift-JIS (code page 932, with the NEC and IBM
// extensions) converted by the program's own table of it (cp932_table.inc, made from
// glibc's iconv by tools/make_cp932_table, so the bytes are the same with any C
// library), and recognition of files that a modern editor saved as UTF-8, or as UTF-16
// with a byte-order mark (Notepad's "Unicode"). Everything on the program's side is UTF-8.
//
// Shift-JIS second bytes run from 0x40 to 0xFC, so 表 is 0x95 0x5C: the second byte
// is a backslash in ASCII. Nothing here treats any byte as an escape; the only bytes
// the file format looks at (CR, LF, comma, double quote) never occur inside a
// two-byte character.

#include "datafile/utf8.h"

#include <optional>
#include <string>
#include <string_view>

namespace eq {

enum class TextEncoding { ShiftJis, Utf8, Utf16Le, Utf16Be };

// The byte-order marks.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// How a file's bytes are to be read: UTF-16 when they start with its byte-order mark
// (no Shift-JIS text starts with FF FE or FE FF); UTF-8 when they start with its mark
// or are valid UTF-8 with at least one character of three or four bytes (every kana
// and kanji); Shift-JIS otherwise, even when they are valid two-byte UTF-8, which
// half-width kana in Shift-JIS can be. Plain ASCII reads the same either way.
TextEncoding detectEncoding(std::string_view bytes);

// UTF-16 bytes (no byte-order mark) to UTF-8, with U+FFFD for each code unit that
// is not part of a character (a lone surrogate, an odd last byte). Always a text (optional
// for its callers, from when the conversion needed a converter of the C library).
std::optional<std::string> decodeUtf16(std::string_view bytes, TextEncoding byteOrder);

// Shift-JIS bytes to UTF-8. A byte sequence that is not Shift-JIS becomes U+FFFD and
// the conversion goes on after it. Always a text.
std::optional<std::string> decodeShiftJis(std::string_view bytes);

// UTF-8 to Shift-JIS. A few characters share their bytes with a look-alike and read
// back as it: 〜 as ～ (U+FF5E), − as －, — as ―, ‖ as ∥, ¢ £ ¬ as ￠ ￡ ￢; they are
// written so. On failure `bytes` is empty and `badCharacter` holds the first character
// (UTF-8) that code page 932 cannot represent, or writes as an ASCII character that
// means something else (¥ as "\", ‾ as "~"); it is empty when the text is not UTF-8.
struct ShiftJisEncoding {
  bool ok = false;
  std::string bytes;
  std::string badCharacter;
};
ShiftJisEncoding encodeShiftJis(std::string_view utf8);

}  // namespace eq
