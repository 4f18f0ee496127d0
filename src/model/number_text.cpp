#include "model/number_text.h"

#include "datafile/utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace eq {
namespace {

// The characters a number may be written with, folded to ASCII; 0 for any other.
char numberChar(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0xFF10 && cp <= 0xFF19) return static_cast<char>('0' + (cp - 0xFF10));
  switch (cp) {
    case 0xFF0B: return '+';   // full-width plus
    case 0xFF0D: return '-';   // full-width hyphen-minus
    case 0x2212: return '-';   // minus sign
    case 0xFF0E: return '.';   // full-width full stop
    case 0xFF45: return 'e';
    case 0xFF25: return 'E';
    case 0x3000: return ' ';   // ideographic space
    default: return '\0';
  }
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text folded to ASCII number characters; any other character becomes '\x01',
// which nothing accepts, so it ends a prefix and spoils a whole-text reading.
std::string fold(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = numberChar(nextCodePoint(text, i));
    out.push_back(c == '\0' ? '\x01' : c);
  }
  return out;
}

// Length of the number that starts at s[pos] ([sign] digits [. digits] [e [sign] digits],
// with at least one mantissa digit), 0 when none does.
std::size_t numberLength(const std::string& s, std::size_t pos) {
  std::size_t i = pos;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && isDigit(s[j])) {
      while (j < s.size() && isDigit(s[j])) ++j;
      i = j;
    }
  }
  return i - pos;
}

// Power of ten of the leading nonzero digit of a validated unsigned number
// (2 for "125", -2 for "0.05e0", 399 for "1" with 400 zeros and "e-1"). The exponent is
// capped, which is far beyond any double and cannot change the sign of the result.
[[maybe_unused]] long decimalOrder(std::string_view number) {
  const std::size_t e = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, e);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return 0;
  long order = first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
  if (e != std::string_view::npos) {
    std::size_t i = e + 1;
    const bool negative = number[i] == '-';
    if (number[i] == '+' || number[i] == '-') ++i;
    long exponent = 0;
    for (; i < number.size(); ++i) exponent = std::min(exponent * 10 + (number[i] - '0'), 100000L);
    order += negative ? -exponent : exponent;
  }
  return order;
}

// Converts a validated number (as numberLength accepted it). from_chars does not take
// a leading '+' and is independent of the C locale, which Qt sets from the environment.
double convert(std::string_view number) {
  bool negative = false;
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  double value = 0;
#if defined(__cpp_lib_to_chars)
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves value untouched then: too large is infinity, too small zero.
    // The mantissa counts as much as the exponent ("1000e-1" is 100).
    value = decimalOrder(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
#else
  // A C++ library without floating-point from_chars (WebAssembly's): strtod gives the same
  // value, infinity and zero out of range included; its decimal point is the C locale's,
  // and nothing there changes the locale.
  value = std::strtod(std::string(number).c_str(), nullptr);
#endif
  return negative ? -value : value;
}

// Digits and decimal exponent of |value| rounded to 7 significant digits.
struct Decimal {
  std::string digits;  // no trailing zeros, at least one digit
  int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent+1), i.e. d1 is at 10^exponent
};

Decimal toDecimal(float value) {
  // to_chars, unlike printf, writes "." whatever the C locale says.
  char buf[32];
#if defined(__cpp_lib_to_chars)
  const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(static_cast<double>(value)),
                                 std::chars_format::scientific, 6).ptr;
#else
  // As in convert(): the same digits, and the locale is C.
  const char* end = buf + std::snprintf(buf, sizeof buf, "%.6e", std::fabs(static_cast<double>(value)));
#endif
  // buf: d.dddddde[+-]xx
  Decimal d;
  d.digits.push_back(buf[0]);
  d.digits.append(buf + 2, 6);
  const char* exponent = buf + 9;
  if (*exponent == '+') ++exponent;
  std::from_chars(exponent, end, d.exponent);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string format(float value, bool leadingZero) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0) return "0";
  const Decimal d = toDecimal(value);
  std::string out = value < 0 ? "-" : "";
  if (d.exponent >= 7 || d.exponent < -5) {
    out += d.digits[0];
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    const int magnitude = std::abs(d.exponent);
    out += d.exponent < 0 ? "E-" : "E+";
    if (magnitude < 10) out += '0';
    return out + std::to_string(magnitude);
  }
  if (d.exponent < 0) {
    if (leadingZero) out += "0";
    out += "." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    return out;
  }
  const std::size_t intDigits = static_cast<std::size_t>(d.exponent) + 1;
  if (d.digits.size() <= intDigits) return out + d.digits + std::string(intDigits - d.digits.size(), '0');
  return out + d.digits.substr(0, intDigits) + "." + d.digits.substr(intDigits);
}

}  // namespace

std::optional<double> strictNumber(std::string_view text) {
  const std::string s = fold(text);
  std::size_t begin = 0;
  while (begin < s.size() && isBlank(s[begin])) ++begin;
  const std::size_t length = numberLength(s, begin);
  if (length == 0) return std::nullopt;
  for (std::size_t i = begin + length; i < s.size(); ++i) {
    if (!isBlank(s[i])) return std::nullopt;
  }
  const double value = convert(std::string_view(s).substr(begin, length));
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<float> strictSingle(std::string_view text) {
  const auto value = strictNumber(text);
  if (!value) return std::nullopt;
  return toSingle(*value);
}

double leadingNumber(std::string_view text) {
  const std::string s = fold(text);
  std::size_t begin = 0;
  while (begin < s.size() && isBlank(s[begin])) ++begin;
  const std::size_t length = numberLength(s, begin);
  if (length == 0) return 0;
  return convert(std::string_view(s).substr(begin, length));
}

std::optional<float> toSingle(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const float single = static_cast<float>(value);
  if (!std::isfinite(single)) return std::nullopt;
  return single;
}

std::string generalText(float value) { return format(value, true); }

std::string signedText(float value) {
  const std::string text = format(value, false);
  return (value < 0 || text.front() == '-') ? text : " " + text;
}

std::string printedNumberText(float value) { return signedText(value) + " "; }

}  // namespace eq
