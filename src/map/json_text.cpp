#include "map/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace eq {
namespace {

template <typename Number>
void appendNumber(std::string& out, Number value) {
  if constexpr (std::is_floating_point_v<Number>) {
    if (!std::isfinite(value)) {
      out += "null";
      return;
    }
  }
#if defined(__cpp_lib_to_chars)
  constexpr bool kToChars = true;
#else
  constexpr bool kToChars = std::is_integral_v<Number>;
#endif
  if constexpr (kToChars) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
  } else {
    out += shortestNumberText(value);
  }
}

// The fewest significant digits that read back as `value` (finite, not negative),
// and the decimal exponent of the first of them.
template <typename Number>
std::pair<std::string, int> shortestDigits(Number value) {
  char buffer[40];
  for (int precision = 1;; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, static_cast<double>(value));
    Number back;
    if constexpr (std::is_same_v<Number, float>) {
      back = std::strtof(buffer, nullptr);
    } else {
      back = std::strtod(buffer, nullptr);
    }
    if (back == value || precision >= 17) break;
  }
  // buffer: d[.ddd]e[+-]xx, the C locale's point (the program never changes it).
  const char* const e = std::strchr(buffer, 'e');
  std::string digits;
  for (const char* c = buffer; c < e; ++c) {
    if (*c >= '0' && *c <= '9') digits += *c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return {digits, std::atoi(e + 1)};
}

}  // namespace

template <typename Number>
std::string shortestNumberText(Number value) {
  std::string sign = std::signbit(value) ? "-" : "";
  const auto [digits, exponent] = shortestDigits(std::fabs(value));
  const int count = static_cast<int>(digits.size());
  // Plain: the digits with the point where it belongs; a whole number with all of its
  // digits, as to_chars writes it (123456790528 for the float nearest 123456789012).
  std::string plain;
  if (exponent >= count - 1) {
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", std::fabs(static_cast<double>(value)));
    plain = whole;
  } else if (exponent >= 0) {
    plain = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + '.' + digits.substr(static_cast<std::size_t>(exponent + 1));
  } else {
    plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  // Scientific: d[.ddd]e, a sign and at least two digits of exponent.
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  std::string scientific = digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : std::string()) + tail;
  // The shorter of the two; plain when they are as long.
  return sign + (scientific.size() < plain.size() ? scientific : plain);
}

template std::string shortestNumberText(double);
template std::string shortestNumberText(float);

void appendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (const char ch : utf8) {
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20) {
          static const char hex[] = "0123456789abcdef";
          out += "\\u00";
          out += hex[byte >> 4];
          out += hex[byte & 15];
        } else {
          out += ch;
        }
      }
    }
  }
  out += '"';
}

void appendJsonNumber(std::string& out, double value) { appendNumber(out, value); }
void appendJsonNumber(std::string& out, float value) { appendNumber(out, value); }
void appendJsonNumber(std::string& out, int value) { appendNumber(out, value); }

JsonWriter& JsonWriter::key(std::string_view name) {
  separate();
  appendJsonString(out_, name);
  out_ += ':';
  return *this;
}

JsonWriter& JsonWriter::string(std::string_view utf8) {
  separate();
  appendJsonString(out_, utf8);
  return done();
}

JsonWriter& JsonWriter::number(double value) {
  separate();
  appendJsonNumber(out_, value);
  return done();
}

JsonWriter& JsonWriter::number(float value) {
  separate();
  appendJsonNumber(out_, value);
  return done();
}

JsonWriter& JsonWriter::number(int value) {
  separate();
  appendJsonNumber(out_, value);
  return done();
}

JsonWriter& JsonWriter::boolean(bool value) {
  separate();
  out_ += value ? "true" : "false";
  return done();
}

JsonWriter& JsonWriter::null() {
  separate();
  out_ += "null";
  return done();
}

JsonWriter& JsonWriter::lineBreak() {
  separate();
  out_ += '\n';
  return *this;
}

JsonWriter& JsonWriter::open(char bracket) {
  separate();
  out_ += bracket;
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  out_ += bracket;
  return done();
}

}  // namespace eq
