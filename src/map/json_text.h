#pragma once
// Pieces of JSON text shared by the exports, the same whatever the locale.

#include <string>
#include <string_view>

namespace eq {

// A quoted string: quotes, backslashes and control characters escaped; UTF-8
// passes through.
void appendJsonString(std::string& out, std::string_view utf8);

// The shortest text that reads back as the same value; null when not finite.
void appendJsonNumber(std::string& out, double value);
void appendJsonNumber(std::string& out, float value);
void appendJsonNumber(std::string& out, int value);

}  // namespace eq
