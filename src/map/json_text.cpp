#include "map/json_text.h"

#include <charconv>
#include <cmath>

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
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

}  // namespace

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
