// The data file and its text: Shift-JIS both ways, UTF-8, UTF-16, lines, fields and
// records, what the save writes and reads back, the shipped examples.

#include "datafile/record_format.h"
#include "datafile/sjis_codec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace eq;

namespace {

const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD

// A record as text: the name or "<none>", then each number or "-" where the line gave none.
std::string describe(const EruptionRecord& record) {
  std::string out = record.name ? *record.name : "<none>";
  for (const auto& number : record.numbers) {
    char text[32];
    std::snprintf(text, sizeof text, " %.7g", number ? static_cast<double>(*number) : 0.0);
    out += number ? text : " -";
  }
  return out;
}

struct Character {
  const char* what;
  std::string text;
  std::string shiftJis;
  std::string readBack;  // empty: the text itself
};

// Both ways for characters whose second byte is 0x5C (a backslash in ASCII) and the
// extensions. Characters sharing their two bytes with a look-alike are written as it and
// come back as it: a Japanese input method types U+301C for 〜.
const Character kCharacters[] = {
    {"表 and ソ", "a表,ソ\"", "a\x95\x5C,\x83\x5C\"", ""},
    {"backslash and tilde stay ASCII", "\\~", "\x5C\x7E", ""},
    {"NEC extensions ①㈱", "①㈱", "\x87\x40\x87\x8A", ""},
    {"IBM extension 髙", "髙", "\xFB\xFC", ""},
    {"half-width kana", "ｻｸﾗ", "\xBB\xB8\xD7", ""},
    {"ideographic space", "\u3000", "\x81\x40", ""},
    {"wave dash", "\u301C", "\x81\x60", "\uFF5E"},
    {"minus sign", "\u2212", "\x81\x7C", "\uFF0D"},
    {"em dash", "\u2014", "\x81\x5C", "\u2015"},
    {"double vertical line", "\u2016", "\x81\x61", "\u2225"},
    {"cent, pound, not", "\u00A2\u00A3\u00AC", "\x81\x91\x81\x92\x81\xCA", "\uFFE0\uFFE1\uFFE2"},
};

TEST(ShiftJis, Characters) {
  for (const Character& c : kCharacters) {
    const ShiftJisEncoding encoded = encodeShiftJis(c.text);
    ASSERT_TRUE(encoded.ok) << c.what;
    EXPECT_EQ(encoded.bytes, c.shiftJis) << c.what;
    EXPECT_EQ(decodeShiftJis(c.shiftJis).value(), c.readBack.empty() ? c.text : c.readBack) << c.what;
  }
  EXPECT_EQ(decodeShiftJis("a\x81").value(), "a" + kBad);  // a lead byte at the end
  EXPECT_EQ(decodeShiftJis("\x81 b").value(), kBad + " b");
  EXPECT_EQ(decodeShiftJis("\xFF\xFF").value(), kBad + kBad);
  EXPECT_EQ(decodeShiftJis(std::string("a\0b", 3)).value(), std::string("a\0b", 3));
  // The first character code page 932 lacks; ¥ and ‾ would come back as "\" and "~".
  for (const auto& [text, bad] : {std::pair{"桜島🌋です", "🌋"}, {"长白山", "长"}, {"\uFFFD", "\uFFFD"},
                                  {"a¥100", "¥"}, {"\u203E", "\u203E"}}) {
    const ShiftJisEncoding encoded = encodeShiftJis(text);
    EXPECT_TRUE(!encoded.ok && encoded.bytes.empty()) << text;
    EXPECT_EQ(encoded.badCharacter, bad);
  }
}

struct Utf8Case {
  const char* what;
  std::string bytes;
  bool valid;
  bool readAsUtf8;
};

const Utf8Case kUtf8[] = {
    {"empty", "", true, false},
    {"ASCII", "1,\"a\",1\r\n", true, false},
    {"mark alone", "\xEF\xBB\xBF", true, true},
    {"overlong", "\xE0\x80\xAF", false, false},
    {"surrogate", "\xED\xA0\x80", false, false},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", false, false},
    {"Shift-JIS", "a\x95\x5C\x83\x5C", false, false},
    {"Shift-JIS that starts like UTF-8", "\xE8\xA1\x41", false, false},
    // Valid UTF-8 counts as UTF-8 only with a character of three bytes or more.
    {"two-byte UTF-8 only", "\xC3\xBD\xC3\xA9", true, false},  // ﾃｽﾃｩ in Shift-JIS
    {"two-byte UTF-8, then kanji", "\xC3\xBD\xE8\xA1\xA8", true, true},
    {"UTF-8 emoji", "a\xF0\x9F\x8C\x8B", true, true},
};

TEST(Utf8, ValidAndRecognised) {
  for (const Utf8Case& c : kUtf8) {
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.what;
    EXPECT_EQ(detectEncoding(c.bytes) == TextEncoding::Utf8, c.readAsUtf8) << c.what;
    if (!c.valid) {
      EXPECT_NE(decodeUtf8(c.bytes).find(kBad), std::string::npos) << c.what;
    }
  }
}

TEST(DataFile, Lines) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb\r\nc\rd\n\ne", {"a", "b", "c", "d", "", "e"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12\r", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
  };
  for (const auto& [bytes, expected] : cases) {
    std::vector<std::string> got;
    for (const auto line : splitLines(bytes)) got.emplace_back(line);
    EXPECT_EQ(got, expected) << bytes;
  }
}

const std::string kTail = ",1914,1,12,31.585,130.657";
const std::string kPlain = " 1914 1 12 31.585 130.657";

const std::pair<std::string, std::string> kRecords[] = {
    {"7,\"桜島\"" + kTail, "桜島" + kPlain},
    {"x,桜島,1914,1,12,31.585,130.657,later", "桜島" + kPlain},  // the row number is ignored
    {"1,\"abc " + kTail, "abc" + kPlain},                        // an opening quote takes the last character
    {"1,\" 桜 島 \"" + kTail, " 桜 島 " + kPlain},
    {"1,\"a\"b\"" + kTail, "a\"b" + kPlain},
    {"1,\"A\"\"B\"\"\"\"\"" + kTail, "A\"B\"\"" + kPlain},  // doubled quotes
    {"1,\"a\"\",b\"" + kTail, "a\",b" + kPlain},            // a doubled quote before a comma
    {"1,\"a,b\"\"" + kTail, "a,b\"" + kPlain},              // a quote before a comma, not doubled
    {"\"1\",\"浅間山\",\"2004\",\"9\",\"1\",\" 36.4 \",\"138.5\"", "浅間山 2004 9 1 36.4 138.5"},
    {"1,x,\"\",2004\",\"\"5\",1,\"1\"", "x - - - 1 1"},  // half-quoted numbers
    {"1,\"" + kTail, "<none>" + kPlain},                 // one quote gives no name
    {"1,\"表ソ十能予\\\"" + kTail, "表ソ十能予\\" + kPlain},
    {"1,\"a,b,c,d,e,f,g\"" + kTail, "a,b,c,d,e,f,g" + kPlain},
    // Numbers after the name keep the old reading.
    {"1,\"Name,1914,1,12,31.585,130.657,\"note\"", "Nam" + kPlain},
    {"1,\"a,b" + kTail, " - 1914 1 12 31.585"},  // a comma, no closing quote
    {"3,\"x\",2000", "x 2000 - - - -"},
    {"", "<none> - - - - -"},
    {"1,\"x\", 2000 ,-1,.5, -12.25,+139", "x 2000 -1 0.5 -12.25 139"},
    {"1,\"x\",,abc,1.2.3,12a,-", "x - - - - -"},
    {"1,\"x\",1e39,-1e39,1e-50,3.4e38,1e400", "x - - 0 3.4e+38 -"},  // out of the single range
    {"1,\"x\",\xC0\xB1,1,\xE0\x80\xB1,1,\xF0\x80\x80\xB1", "x - 1 - 1 -"},  // overlong forms of a digit
};

TEST(DataFile, Records) {
  for (const auto& [line, record] : kRecords) EXPECT_EQ(describe(parseRecord(line)), record) << line;
  // Whether a line is an eruption record at all: a file without one is not data.
  for (const auto& [line, isRecord] :
       {std::pair{"7,\"桜島\",1914,1,12,31.585,130.657", true}, {"7,\"\",0,0,0,0,0", true},
        {"1,\"a,b\",2000,1,1,,", true}, {"1,\"x\",2000,1,1,35", false}, {"x,\"x\",2000,1,1,35,139", false},
        {"1,\"x\",2000,1,,35,139", false}, {"Dear Sir, we met in 2000, 1 or 2, at 3, 4 and 5", false}}) {
    EXPECT_EQ(isRecordLine(line), isRecord) << line;
  }
}

// UTF-16 both ways round with a mark: each character as two bytes.
std::string utf16(const std::u16string& text, bool bigEndian) {
  std::string out;
  for (const char16_t c : u"\uFEFF" + text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

TEST(DataFile, Encodings) {
  const std::string numbers = ",1,1,1,1,1\r\n";
  std::string eleven;
  for (int k = 0; k < 10; ++k) eleven += "1,\"a\"" + numbers;
  eleven += "11,\"\xE8\xA1\xA8\"" + numbers;
  // Notepad's "Unicode": LF and CR code units end lines, a pair of surrogates is one
  // character, a lone one is not.
  const std::u16string text = u"1,\"表🌋\",1,1,1,1,1\n2,\"x\xDC00\",1,1,1,1,1\r\n3,\"\u0A0D\u0D0A\",1,1,1,1,1";
  const struct {
    const char* what;
    std::string file;
    TextEncoding encoding;
    std::vector<std::string> names;
  } cases[] = {
      {"Shift-JIS", "1,\"\x95\x5C\"" + numbers, TextEncoding::ShiftJis, {"表"}},
      {"UTF-8 with mark", "\xEF\xBB\xBF" "1,\"Fuji\"" + numbers, TextEncoding::Utf8, {"Fuji"}},
      {"UTF-8 without mark", "1,\"\xE8\xA1\xA8\"" + numbers, TextEncoding::Utf8, {"表"}},
      {"half-width kana that are two-byte UTF-8", "1,\"\xC3\xBD\"" + numbers, TextEncoding::ShiftJis, {"ﾃｽ"}},
      {"the same with a mark", "\xEF\xBB\xBF" "1,\"\xC3\xBD\"" + numbers, TextEncoding::Utf8, {"ý"}},
      {"only the lines read decide", eleven, TextEncoding::ShiftJis, std::vector<std::string>(10, "a")},
      {"UTF-16LE", utf16(text, false), TextEncoding::Utf16Le, {"表🌋", "x" + kBad, "\u0A0D\u0D0A"}},
      {"UTF-16BE", utf16(text, true), TextEncoding::Utf16Be, {"表🌋", "x" + kBad, "\u0A0D\u0D0A"}},
  };
  for (const auto& c : cases) {
    const auto content = readDataFile(c.file);
    ASSERT_TRUE(content) << c.what;
    EXPECT_EQ(content->encoding, c.encoding) << c.what;
    std::vector<std::string> names;
    for (const EruptionRecord& record : content->records) {
      names.push_back(record.name.value());
      EXPECT_EQ(describe(record).substr(record.name->size()), " 1 1 1 1 1") << c.what;
    }
    EXPECT_EQ(names, c.names) << c.what;
  }
}

TEST(DataFile, WrittenAndReadBack) {
  EXPECT_EQ(formatRecord(7, {"", {0, 0, 0, 0, 0}}), "7,\"\",0,0,0,0,0\r\n");
  EXPECT_EQ(formatRecord(10, {" 桜\"島 ", {1914, 1, 12, 31.585f, 130.657f}}), "10,\" 桜\"\"島 \",1914,1,12,31.585,130.657\r\n");
  EXPECT_EQ(formatRecord(1, {"x", {-0.5f, 1234.5678f, 35.4f, 8, 1e-3f}}), "1,\"x\",-0.5,1234.568,35.4,8,0.001\r\n");
  for (const std::string name : {"", "  桜　島  ", ",\"a,,b\"", "\"", "a\",b\"\"", "ﾃｽ"}) {
    std::vector<RecordValues> rows(3);
    rows[1] = {name, {1914.5f, -1, 12, 31.585f, 130.657f}};
    const EncodedDataFile file = encodeDataFile(rows);
    ASSERT_EQ(file.failedRow, 0) << name;
    const auto content = readDataFile(file.bytes);
    ASSERT_TRUE(content && content->records.size() == 3) << name;
    EXPECT_EQ(content->records[1].name.value(), name);
    for (std::size_t k = 0; k < kNumbersPerRecord; ++k) EXPECT_EQ(content->records[1].numbers[k].value(), rows[1].numbers[k]);
  }
  // A name that would not read back stops the save: its Shift-JIS bytes would make the
  // file read as UTF-8 (E6 97 A5 is 日 in UTF-8), or a line break would end its line.
  for (const auto& [name, problem] : {std::pair{"譌･", NameProblem::ReadsAsUtf8}, {"a\nb", NameProblem::NotReadBack},
                                      {"a\rb", NameProblem::NotReadBack}}) {
    const EncodedDataFile file = encodeDataFile({{"a", {}}, {name, {}}});
    EXPECT_EQ(file.failedRow, 2) << name;
    EXPECT_EQ(file.problem, problem) << name;
    EXPECT_TRUE(file.bytes.empty());
  }
}

TEST(DataFile, LongSingleLine) {
  std::string file = "1,\"" + std::string(10 * 1024 * 1024, '\x95') + "\",2000,1,1,35,139";
  file[10] = '\\';
  const auto content = readDataFile(file);
  ASSERT_TRUE(content && content->records.size() == 1);
  EXPECT_EQ(content->records[0].numbers[4].value(), 139.0f);
}

// Beyond 64 MB only the first ten lines are taken, and only when they end within it.
TEST(DataFile, LeadingRecordBytes) {
  const std::string tenLines = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
  const std::string big = tenLines + std::string(kMaxDataFileBytes, 'x');
  EXPECT_EQ(leadingRecordBytes(big).value(), "1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
  EXPECT_FALSE(leadingRecordBytes("1\n" + std::string(kMaxDataFileBytes, 'x')));
  EXPECT_EQ(leadingRecordBytes(tenLines).value(), tenLines);
}

// The shipped examples read as ten rows of valid text and are exactly what the save
// would write for those rows.
TEST(DataFile, ShippedExamples) {
  for (const char* name : {"kyushu.txt", "recent.txt", "all-ten.txt"}) {
    std::ifstream in(std::string(EQ_SOURCE_DIR "/examples/") + name, std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto content = readDataFile(data);
    ASSERT_TRUE(content && content->encoding == TextEncoding::ShiftJis && content->records.size() == kRecordsPerFile)
        << name;
    std::vector<RecordValues> rows;
    for (const EruptionRecord& record : content->records) {
      ASSERT_TRUE(record.name && isValidUtf8(*record.name));
      rows.push_back({*record.name, {}});
      for (std::size_t k = 0; k < kNumbersPerRecord; ++k) rows.back().numbers[k] = record.numbers[k].value();
    }
    EXPECT_EQ(encodeDataFile(rows).bytes, data) << name;
  }
}

}  // namespace
