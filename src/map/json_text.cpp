#include "map/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

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
// and the decimal exponent of the first of them. More digits read back whenever fewer
// do, so the count is found by halving the range (17 digits always read back).
// The same for a float below 2^23 with at most six decimals (as map units and table
// values mostly are), found without printing: the nearest number of p decimals, for the
// fewest p that reads back. value * 10^p is exact in a double (24 + 20 bits), n / 10^p
// is the double nearest the decimal, and that rounds to the float nearest the decimal
// unless it lies exactly halfway between two floats; nothing in the doubtful cases.
std::optional<std::pair<std::string, int>> shortFloatDigits(float value) {
  if (value == 0) return std::pair<std::string, int>{"0", 0};
  if (!(value < 8388608.0f)) return std::nullopt;
  double scale = 1;
  for (int p = 0; p <= 6; ++p, scale *= 10) {
    const double scaled = static_cast<double>(value) * scale;
    const double n = std::nearbyint(scaled);
    if (std::fabs(scaled - n) == 0.5) return std::nullopt;
    const double back = n / scale;
    const float nearest = static_cast<float>(back);
    const float other = std::nextafter(nearest, back > nearest ? HUGE_VALF : 0.0f);
    if (back == (static_cast<double>(nearest) + static_cast<double>(other)) / 2) return std::nullopt;
    if (nearest != value) continue;
    std::string digits = std::to_string(static_cast<long long>(n));
    const int exponent = static_cast<int>(digits.size()) - 1 - p;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return std::pair<std::string, int>{digits, exponent};
  }
  return std::nullopt;
}

#if defined(__EMSCRIPTEN__)
// In the browser, JavaScript's own conversion gives a double's shortest digits, the
// nearest of them (ECMAScript's Number::toString rule, the same as to_chars's), as
// "d.ddde+x".
EM_JS(void, javaScriptExponential, (double value, char* out, int size), {
  const text = value.toExponential();
  for (let k = 0; k < text.length && k < size - 1; ++k) HEAPU8[out + k] = text.charCodeAt(k);
  HEAPU8[out + Math.min(text.length, size - 1)] = 0;
});
#endif

template <typename Number>
std::pair<std::string, int> shortestDigits(Number value) {
  if constexpr (std::is_same_v<Number, float>) {
    if (auto digits = shortFloatDigits(value)) return *digits;
  }
#if defined(__EMSCRIPTEN__)
  if constexpr (std::is_same_v<Number, double>) {
    char text[40];
    javaScriptExponential(value, text, sizeof text);
    const char* const e = std::strchr(text, 'e');
    std::string digits;
    for (const char* c = text; c < e; ++c) {
      if (*c >= '0' && *c <= '9') digits += *c;
    }
    return {digits, std::atoi(e + 1)};
  }
#endif
  const auto digitsReadBack = [value](int precision, char* buffer, std::size_t size) {
    std::snprintf(buffer, size, "%.*e", precision - 1, static_cast<double>(value));
    if constexpr (std::is_same_v<Number, float>) {
      return std::strtof(buffer, nullptr) == value;
    } else {
      return std::strtod(buffer, nullptr) == value;
    }
  };
  char buffer[40];
  int low = 1, high = std::is_same_v<Number, float> ? 9 : 17;
  // A computed double mostly needs 16 or 17 digits: those are tried first.
  if constexpr (std::is_same_v<Number, double>) {
    if (!digitsReadBack(16, buffer, sizeof buffer)) {
      low = 17;
    } else if (!digitsReadBack(15, buffer, sizeof buffer)) {
      low = high = 16;
    } else {
      high = 15;
    }
  }
  while (low < high) {
    const int middle = (low + high) / 2;
    if (digitsReadBack(middle, buffer, sizeof buffer)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  digitsReadBack(low, buffer, sizeof buffer);
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
  // Below 2^24 (a float) or 2^53 (a double) every whole number is exact: its digits are
  // the shortest ones and zeros.
  const Number exact = std::is_same_v<Number, float> ? 16777216.0f : 9007199254740992.0;
  if (exponent >= count - 1 && std::fabs(value) < exact) {
    plain = digits + std::string(static_cast<std::size_t>(exponent - count + 1), '0');
  } else if (exponent >= count - 1) {
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", std::fabs(static_cast<double>(value)));
    plain = whole;
  } else if (exponent >= 0) {
    plain = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + '.' + digits.substr(static_cast<std::size_t>(exponent + 1));
  } else {
    plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  // Scientific: d[.ddd]e, a sign and at least two digits of exponent.
  const std::string power = std::to_string(std::abs(exponent));
  const std::string scientific = digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : std::string()) + 'e' +
                                 (exponent < 0 ? '-' : '+') + (power.size() < 2 ? "0" : "") + power;
  // The shorter of the two; plain when they are as long.
  return sign + (scientific.size() < plain.size() ? scientific : plain);
}

template std::string shortestNumberText(double);
template std::string shortestNumberText(float);

void appendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  std::size_t plain = 0;  // the start of the characters not yet appended, none of them escaped
  for (std::size_t k = 0; k < utf8.size(); ++k) {
    const auto byte = static_cast<unsigned char>(utf8[k]);
    if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
    out.append(utf8, plain, k - plain);
    plain = k + 1;
    switch (byte) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        static const char hex[] = "0123456789abcdef";
        out += "\\u00";
        out += hex[byte >> 4];
        out += hex[byte & 15];
      }
    }
  }
  out.append(utf8, plain, utf8.size() - plain);
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
