#pragma once
// Reading and writing numbers the way the window and the data files do.
//
// Two readings:
//  - strict: the whole text is a number, blanks around it allowed; empty text fails.
//  - leading: the longest numeric prefix of the text, 0 when there is none; never fails.
// Both accept what a Japanese IME produces: full-width digits, signs, period, "e" and
// the ideographic space, so "２０２４" and "－１．５" read like "2024" and "-1.5".
//
// Two printed forms of a single-precision value (7 significant digits):
//  - general text: "8", "35.4", "0.5", "-1.5", "1.234568E+07" (table cells, data files);
//  - signed text:  " 8", " 35.4", " .5", "-.5" (sheet stamps, the count label).

#include <optional>
#include <string>
#include <string_view>

namespace eq {

// Whole text as a number (UTF-8). Fails on empty text, trailing garbage and values
// beyond the double range.
std::optional<double> strictNumber(std::string_view text);

// Whole text as a single-precision number; also fails when the value lies outside
// the single range.
std::optional<float> strictSingle(std::string_view text);

// The longest leading numeric part (after leading blanks), 0 when there is none.
// A prefix too large for a double reads as +/- infinity; storing it in a single fails.
double leadingNumber(std::string_view text);

// A double stored into a single: fails when it is not finite or out of range.
std::optional<float> toSingle(double value);

// General form of a single: at most 7 significant digits, no trailing zeros, "."
// as decimal point, a leading zero before it, exponent form "1.5E+07" for very
// large or very small magnitudes.
std::string generalText(float value);

// Signed number text: like generalText, but a blank stands where a minus sign would,
// and a value between -1 and 1 has no zero before its decimal point.
std::string signedText(float value);

// A number as printed on the sheet by itself: the signed text plus one trailing blank.
std::string printedNumberText(float value);

}  // namespace eq
