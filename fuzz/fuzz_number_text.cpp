// Any bytes as the text of a table cell or a file field, and any 32-bit pattern as a
// stored number: the readings agree with each other, and what is written reads back.

#include "fuzz_check.h"
#include "model/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

bool nearlyEqual(float a, float b) {
  return std::fabs(static_cast<double>(a) - b) <= std::fabs(static_cast<double>(a)) * 1e-6 + 1.5e-45;
}

void checkWritten(float value) {
  if (!std::isfinite(value)) return;
  const std::string text = eq::generalText(value);
  FUZZ_CHECK(text.find_first_of(" ,") == std::string::npos);
  const auto back = eq::strictSingle(text);
  FUZZ_CHECK(back.has_value());
  FUZZ_CHECK(nearlyEqual(value, *back));
  const auto signedBack = eq::strictSingle(eq::signedText(value));
  FUZZ_CHECK(signedBack.has_value() && *signedBack == *back);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const auto strict = eq::strictNumber(text);
  const double leading = eq::leadingNumber(text);
  if (strict) {
    FUZZ_CHECK(std::isfinite(*strict));
    FUZZ_CHECK(leading == *strict);  // a whole number is also its own leading part
  }
  const auto single = eq::strictSingle(text);
  FUZZ_CHECK(single.has_value() == (strict && eq::toSingle(*strict).has_value()));
  if (single) checkWritten(*single);

  if (size >= sizeof(float)) {
    float stored;
    std::memcpy(&stored, data, sizeof stored);
    checkWritten(stored);
  }
  return 0;
}
