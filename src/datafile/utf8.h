#pragma once
// UTF-8, the program's own text: the one decoder that the number readings, the data
// files, the XML and the sheet's texts share. Well-formed means no overlong forms, no
// surrogates and nothing above U+10FFFF.

#include <string>
#include <string_view>

namespace eq {

// Length of the well-formed UTF-8 character at bytes[i], 0 when none starts there.
std::size_t utf8CharLength(std::string_view bytes, std::size_t i);

// The character at text[i], and i moved past it; a byte that starts no well-formed
// character is U+FFFD and moves i by one.
char32_t nextCodePoint(std::string_view text, std::size_t& i);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

// Bytes that should be UTF-8, with U+FFFD for each byte that does not start a
// well-formed character.
std::string decodeUtf8(std::string_view bytes);

// The number of characters; a byte that starts none counts as one.
std::size_t characterCount(std::string_view text);

// `count` characters of `text` from character `first` on (fewer at its end).
std::string_view characters(std::string_view text, std::size_t first, std::size_t count);

}  // namespace eq
