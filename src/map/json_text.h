#pragma once
// The one JSON writer of the program (the sheet's JSON, GeoJSON): UTF-8, no blanks,
// numbers in their shortest form that reads back as the same value, the same whatever
// the locale.

#include <optional>
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

// The shortest text that reads back as `value` (finite), written as std::to_chars
// writes it: the digits plain or in scientific form, whichever is shorter (plain when
// they are as long). A C++ library without floating-point to_chars writes it so.
template <typename Number>
std::string shortestNumberText(Number value);

// Appends a document to `out`, value by value; the commas between the members of an
// object or array come by themselves.
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  JsonWriter& beginObject() { return open('{'); }
  JsonWriter& endObject() { return close('}'); }
  JsonWriter& beginArray() { return open('['); }
  JsonWriter& endArray() { return close(']'); }
  // The member's name; its value follows.
  JsonWriter& key(std::string_view name);

  JsonWriter& string(std::string_view utf8);
  JsonWriter& number(double value);
  JsonWriter& number(float value);
  JsonWriter& number(int value);
  JsonWriter& boolean(bool value);
  JsonWriter& null();
  JsonWriter& number(const std::optional<double>& value) { return value ? number(*value) : null(); }

  // A line break before the next value, after its comma.
  JsonWriter& lineBreak();
  // A line break at the end of the document.
  JsonWriter& endLine() {
    out_ += '\n';
    return *this;
  }

 private:
  void separate() {
    if (comma_) out_ += ',';
    comma_ = false;
  }
  JsonWriter& open(char bracket);
  JsonWriter& close(char bracket);
  JsonWriter& done() {
    comma_ = true;
    return *this;
  }

  std::string& out_;
  bool comma_ = false;  // a value came before at this level
};

}  // namespace eq
