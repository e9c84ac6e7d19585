// The text transforms: URL encoding, HTML entities, C literal bodies and
// identifiers; whole-keyword replacement and expression correction; wrapping
// lines; removing comments from C source text; and filling a script string
// array from another in a given order (which object is asked, and what a
// missing one gives, is the frame's call-shape table).
//
// The message formatters. The ordered one: every documented case and the six
// error texts over a table of values, which also shows how arguments are read
// (once each, in index order, typed by their letter, none at all for a
// rejected format); a format or value that lies in the result is the aliasing
// fuzz target's. The printf-style one, with only the values a caller supplied.
#include <kxutils96/format/messages/detail/supplied_format.h>
#include <kxutils96/format/messages/ordered_format.h>
#include <kxutils96/format/transforms/escaping.h>
#include <kxutils96/format/transforms/keyword_replace.h>
#include <kxutils96/format/transforms/multi_str_reorder.h>
#include <kxutils96/format/transforms/source_text.h>
#include <kxutils96/format/transforms/wrap_pad.h>
#include <kxutils96/frame/flat_call.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "support/array_text.h"
#include "support/caught_exception.h"
#include "support/mock_host_object.h"

namespace {

using namespace kxu::format;  // the result codes
using namespace kxu::test;

TEST(kxu_url_encode, EncodesEveryByteButLettersAndDigitsAndDecodesLeniently) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"AZaz09 b&c/\xC3\xBC", 1, "AZaz09+b%26c%2F%C3%BC"},
      {"-._~\x01\xFF", 1, "%2D%2E%5F%7E%01%FF"},
      {"a+b%26c", 0, "a b&c"},
      {"%c3%bc", 0, "\xC3\xBC"},
      {"100%", 0, "100"},
      {"%+", 0, "+"},  // the byte after a last-but-one % is kept
      {"%zz", 0, "3"},
      {"ab%00cd", 0, "ab"},  // a NUL ends the text
      {"%%41", 0, "\xE4\x31"}};
  for (const auto& [text, bEncode, expected] : rows) {
    CStringUTF8 url(text.c_str());
    kxu_url_encode(&url, bEncode);
    EXPECT_EQ(TextOf(url), expected) << text;
  }
  kxu_url_encode(nullptr, 0);  // no crash
}

// The wide form is the URL and HTML fuzz target's, which holds it to this one
// on every input. (A set that is the text itself, which the first
// replacement rewrites, is the aliasing fuzz target's.)
TEST(kxu_check_escape_html_charcters, EscapesAndUnescapesTheChosenCharacters) {
  // Text, characters, whether to unescape, the text after and the result.
  const std::tuple<const char*, const char*, int, const char*, int> rows[] = {
      {"a<b & \"c\"", "&<>\" ", 0, "a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;", 1},
      {"plain", "<>", 0, "plain", 0},
      {"<a&b>", "<", 0, "&lt;a&b>", 1},
      {"a\nb", "\n", 0, "a<br>b", 1},
      {"&amp;lt;", "&<", 1, "&lt;", 1},  // the ampersand last
      {"a<br />b<br>c", "\n", 1, "a\nb\nc", 1},
      {"&LT;<br/>", "<\n", 1, "&LT;<br/>", 0},
      {"&lt;&gt;", ">", 1, "&lt;>", 1},
      {"", nullptr, 0, "", 0}};
  for (const auto& [source, chars, bUnescape, expected, nResult] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_check_escape_html_charcters(&text, chars, bUnescape), nResult);
    EXPECT_STREQ(text.GetString(), expected);
  }
  EXPECT_EQ(kxu_check_escape_html_charcters(nullptr, "<", 0), 0);
}

// Each byte's escape is the host's (utlCharToCEscape); this layer strings them.
// (A source that is the result's own text is the aliasing fuzz target's.)
TEST(kxu_make_C_string_from_ascii, EscapesEveryByteThatNeedsIt) {
  CStringUTF8 result("old");
  kxu_make_C_string_from_ascii("say \"hi\"\\\x1b\x31\n", &result);
  EXPECT_STREQ(result.GetString(), "say \\\"hi\\\"\\\\\\0331\\n");
  kxu_make_C_string_from_ascii(nullptr, &result);
  EXPECT_STREQ(result.GetString(), "");
  kxu_make_C_string_from_ascii("abc", nullptr);  // a null result is no crash
}

TEST(kxuMakeValidCName, GivesAnIdentifier) {
  const std::tuple<std::string, char, const char*> rows[] = {
      {"3d-plot", '_', "_3dplot"},
      {"12ab", '-', "ab"},  // leading digits go with a prefix that is no identifier's
      {std::string("ab\0cd", 5), '_', "abcd"}};  // an embedded NUL is deleted
  for (const auto& [source, chPrefix, expected] : rows) {
    CStringUTF8 text(source.data(), static_cast<int>(source.size()));
    kxuMakeValidCName(&text, chPrefix);
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  kxuMakeValidCName(nullptr, '_');  // no crash
}

TEST(kxu_keyword_replace, ReplacesWholeKeywordsOnly) {
  // Text, keyword, replacement, whether case is ignored, the text after and the result.
  const std::tuple<const char*, const char*, const char*, bool, const char*, int> rows[] = {
      {"a and b", "and", "&&", false, "a && b", 1},
      {"android or band", "and", "&&", false, "android or band", 0},
      {"and_x x$and 9and and:", "and", "&&", false, "and_x x$and 9and and:", 0},
      {"*a \\a ~a ^a @a %a a~", "a", "b", false, "*a \\a ~a ^a @a %a a~", 0},  // every joiner
      {"(and x", "and", "&&", false, "(&& x", 1},  // an opening parenthesis only
      {"(and)", "and", "&&", false, "(and)", 0},
      {"a a", "a", "aa", false, "aa aa", 2},  // a replacement is not searched again
      {"a and b", "", "&&", false, "a and b", -1},
      {"a and b", nullptr, "&&", false, "a and b", -1},
      {"a and b", "and", nullptr, false, "a and b", -1},
      {"a AND b", "and", "&&", false, "a AND b", 0},
      {"a AND b And c", "and", "&&", true, "a && b && c", 2},
      {"\xC3\xA9\x61nd\xC3\xA9", "and", "x", false, "\xC3\xA9x\xC3\xA9", 1},
      // An occurrence right after a replaced one sees the replacement as its left neighbour.
      {"-x-x", "-x", "y", false, "y-x", 1},
      {"-x-x", "-x", "+", false, "++", 2},
  };
  for (const auto& [source, keyword, replacement, bIgnoreCase, expected, nResult] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_keyword_replace(&text, keyword, replacement, bIgnoreCase), nResult) << source;
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  EXPECT_EQ(kxu_keyword_replace(nullptr, "and", "&&", false), -1);
}

// Pasted typographic quotes become ASCII ones first when asked: then an = inside them stays.
TEST(kxu_get_correct_KS_expression, GivesScriptOperators) {
  const char* kPasted = "s=\xE2\x80\x9C\x61=b\xE2\x80\x9D";
  const std::tuple<const char*, bool, const char*> rows[] = {
      {"x=1 & y=2 | not z", false, "x==1 && y==2 || ! z"},
      {"x!=1, x<=1, x>=1", false, "x!=1, x<=1, x>=1"},
      {"a==b, a&&b, a||b", false, "a==b, a&&b, a||b"},
      {"s=\"a=b\"", false, "s==\"a=b\""},
      {"a\nb\"c\nd\"", false, "a b\"c d\""},  // line feeds become blanks
      {"a AND b Or Not c", false, "a && b || ! c"},
      {"=a&", false, "==a&&"},
      {"a===b", false, "a===b"},
      {kPasted, true, "s==\"a=b\""},
      {kPasted, false, "s==\xE2\x80\x9C\x61==b\xE2\x80\x9D"},
      {"", false, ""}};
  for (const auto& [expression, bQuotes, expected] : rows) {
    CStringUTF8 result("old");
    EXPECT_EQ(kxu_get_correct_KS_expression(expression, &result, bQuotes), *expected ? 1 : 0);
    EXPECT_STREQ(result.GetString(), expected) << expression;
  }
  EXPECT_EQ(kxu_get_correct_KS_expression("a=b", nullptr, false), 0);
}

TEST(kxu_wrap_text, BreaksAfterBreakCharactersAndIndentsTheLinesAfter) {
  // Text, width, indent, the text after and the result.
  const std::tuple<const char*, int, int, const char*, int> rows[] = {
      {"a b", 1, 0, "a \nb", 2},  // the narrowest width
      {"hello world", 5, 2, "hello \n  world", 2},
      {"a b c d e f", 3, 1, "a b \n c d \n e f", 3},
      {"ab\ncd", 5, 3, "ab\n   cd", 2},
      {"abcdefgh", 4, 0, "abcdefgh", -1},
      {"abcde", 5, 2, "abcde", 1},
      {"abcde ", 5, 2, "abcde \n", 1},
      {"abcde \nxyz", 5, 2, "abcde \n  \n  xyz", 3},
      {"any", 0, 0, "any", -1},
      {"ab cdefgh", 3, 0, "ab cdefgh", -1},
      {"ab cd", 3, INT_MAX, "ab cd", -1}};
  for (const auto& [source, nWidth, nIndent, expected, nResult] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_wrap_text(&text, nWidth, nIndent), nResult) << source;
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  EXPECT_EQ(kxu_wrap_text(nullptr, 5, 0), -1);
}

TEST(kxu_skip_C_comments, RemovesCommentsAndTrims) {
  const std::tuple<const char*, int, const char*> rows[] = {
      {" a /* b */c // d", 0, "a c "},
      {"  int x;  ", 0, "int x;"},
      {"a // x\nb", 0, "a \nb"},  // a line comment keeps its line feed
      {"/*1*//*2*/a", 0, "a"},
      {"/* all */", 0, ""},
      {"a /* to the end", 0, "a "},
      {"/* 2*3 / 4 */x", 0, "x"},  // a star or slash alone does not end it
      {"/*x*/a/*y*/", 1, "a/*y*/"},
      {"/*x*///y\nb // z", 1, "\nb // z"},
      {" code /* c */ ", 1, "code /* c */"}};
  for (const auto& [source, bLeadingOnly, expected] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_skip_C_comments(&text, bLeadingOnly), 1) << source;
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  EXPECT_EQ(kxu_skip_C_comments(nullptr, 0), -1);
}

TEST(kxu_multi_str_reorder, CopiesInOrderWhenEveryIndexFits) {
  // Order, stated source size, destination size and result; a refused
  // order leaves the destination as it was.
  const std::tuple<std::vector<int>, int, int, int> rows[] = {
      {{2, 0, 1}, 3, 3, kReorderDone},
      {{0, 3}, 3, 2, kReorderOutOfRange},
      {{0, -1}, 3, 2, kReorderOutOfRange},
      {{2}, 2, 1, kReorderOutOfRange},  // the stated size limits
      {{0, 1, 2}, 3, 2, kReorderOutOfRange},
      {{3}, 5, 1, kReorderOutOfRange},  // a stated size past the source
      {{}, 3, 1, kReorderDone},
      {{}, 0, 1, kReorderOutOfRange},
      {{0}, INT_MIN, 1, kReorderOutOfRange},  // the size less one overflowed
  };
  const Texts kSource = {"a", "b", "c"}, kDest = {"x", "y", "z"};
  for (const auto& [order, nSrcSize, nDestSize, nResult] : rows) {
    const int nOrder = static_cast<int>(order.size());
    SCOPED_TRACE(testing::Message() << nSrcSize << " " << nOrder);
    QueryLog log;
    Texts expected(kDest.begin(), kDest.begin() + nDestSize);
    CZQVStringArray source = ArrayOf(kSource), dest = ArrayOf(expected);
    MockHostObject src(log, source), dst(log, dest);
    const int none = 0;  // an order of no entries, but not a null one
    const int* pnOrder = nOrder == 0 ? &none : order.data();
    EXPECT_EQ(kxu_multi_str_reorder(nOrder, &dst, pnOrder, nSrcSize, &src), nResult);
    for (int i = 0; nResult == kReorderDone && i < nOrder; ++i)
      expected[static_cast<std::size_t>(i)] = kSource[static_cast<std::size_t>(order[i])];
    EXPECT_EQ(TextsOf(dest), expected);
  }
}

constexpr const char* kNoSign = "ERROR: Format sign ({0}) not found";
constexpr const char* kNoBrace = "ERROR: Cannot found matching '{'";
constexpr const char* kBadNumber = "ERROR: Format sign invalid number";
constexpr const char* kBadNotation = "ERROR: Invalid format notation";
constexpr const char* kBadCount = "ERROR: Too many or too few format sign";
constexpr const char* kBadOrder = "ERROR: Invalid format sign order";

constexpr auto N = [](int n) { return OrderedValue{.n = n}; };
constexpr auto S = [](const char* psz) { return OrderedValue{.psz = psz}; };
constexpr auto D = [](double d) { return OrderedValue{.d = d}; };

// Values by index, and the letters of the reads made of them, which must come
// in index order.
struct TableReader {
  std::vector<OrderedValue> values;
  std::string letters;

  static OrderedValue Read(void* pContext, int nIndex, char chLetter) {
    auto& self = *static_cast<TableReader*>(pContext);
    EXPECT_EQ(static_cast<std::size_t>(nIndex), self.letters.size()) << "read out of order";
    self.letters += chLetter;
    return self.values.at(static_cast<std::size_t>(nIndex));
  }
};

TEST(OrderedFormat, FormatsOrReportsTheErrorReadingEachValueOnceInIndexOrder) {
  const std::vector<OrderedValue> ten = {N(0), N(1), N(2), N(3), N(4),
                                         N(5), N(6), N(7), N(8), N(9)};
  // Format, values, result and the letters of the values read.
  const std::tuple<const char*, std::vector<OrderedValue>, const char*, const char*> rows[] = {
      {"{1}%s has {0}%d rows", {N(12), S("Table")}, "Table has 12 rows", "ds"},
      {"{0}%s", {S("x")}, kBadCount, ""},
      {"{0}%d{1}%d{2}%d{3}%d{4}%d{5}%d{6}%d{7}%d{8}%d{9}%d{10}%d", ten, kBadCount, ""},
      {"{9}%d{8}%d{7}%d{6}%d{5}%d{4}%d{3}%d{2}%d{1}%d{0}%d", ten, "9876543210", "dddddddddd"},
      {"{0}%s {0}%s", {S("a"), S("b")}, kBadOrder, ""},
      {"{0}%s {2}%s", {S("a"), S("b")}, kBadOrder, ""},
      {"{0}%f {1}%s", {}, kNoSign, ""},  // f is no sign's letter
      {"{0}%s {1}%x", {}, kBadNotation, ""},
      {"0}%s {1}%d", {}, kNoBrace, ""},
      {"50%% of {0}%s in {1}%d", {S("x"), N(7)}, "50% of x in 7", "sd"},
      {"{0}%s is {1}%d%%", {S("x"), N(7)}, "x is 7%", "sd"},
      {nullptr, {}, kNoSign, ""},
      {"{0}%s {1}%s %", {S("a"), S("b")}, kBadNotation, ""},
      {"} {0}%s {{1}%s }", {S("a"), S("b")}, "} a {b }", "ss"},
      {"{10000000000}%d {0}%d", {}, kBadNumber, ""},
      {"{ 01 }%s {+0}%d", {N(5), S("b")}, "b 5", "ds"},
      {"{0}%e|{1}%E|{2}%g|{3}%G",
       {D(0.5), D(1234.5), D(1e-5), D(2.5e20)},
       "5.000000e-01|1.234500E+03|1e-05|2.5E+20",
       "eEgG"},
      {"{0}%%s {0}%s {1}%d", {S("a"), N(1)}, "{0}%s a 1", "sd"},  // a pair after a brace is text
      {"{0}%s {1}%s", {S(nullptr), S("b")}, "(null) b", "ss"},
  };
  for (const auto& [format, values, expected, letters] : rows) {
    TableReader reader{values, {}};
    CStringUTF8 result("earlier text");
    SCOPED_TRACE(format == nullptr ? "(null)" : format);
    EXPECT_EQ(kxuStringOrderedFormatFrom(result, format, TableReader::Read, &reader),
              *letters == '\0' ? 0 : 1);
    EXPECT_STREQ(result.GetString(), expected);
    EXPECT_EQ(reader.letters, letters);
  }
}

// Ten values of 215 MB: a result longer than a string holds is refused
// before anything is written, as a string refuses to grow that long.
TEST(OrderedFormat, TooLongForAStringRaisesMemoryException) {
  const std::string value(INT_MAX / 10 + 1, 'v');
  TableReader reader{std::vector<OrderedValue>(10, S(value.c_str())), {}};
  CStringUTF8 result("earlier text");
  EXPECT_TRUE(kxu::test::Caught<CMemoryException>([&] {
    kxuStringOrderedFormatFrom(result, "{0}%s{1}%s{2}%s{3}%s{4}%s{5}%s{6}%s{7}%s{8}%s{9}%s",
                               TableReader::Read, &reader);
  }));
  EXPECT_STREQ(result.GetString(), "earlier text");
}

TEST(FormatSupplied, FillsOnlyTheConversionsThatFitTheValuesInTurn) {
  const auto T = SuppliedValue::Text;
  const auto I = SuppliedValue::Int;
  const std::tuple<const char*, std::vector<SuppliedValue>, const char*> rows[] = {
      {"%s has %d rows", {T("T"), I(3)}, "T has 3 rows"},
      {"100%% of %d", {I(7)}, "100% of 7"},
      {"[%-4s|%05d|%x|%+d|%c]", {T("ab"), I(42), I(255), I(5), I('z')}, "[ab  |00042|ff|+5|z]"},
      {"%.2s", {T("abcdef")}, "ab"},
      {"(%s)", {T("")}, "()"},  // a conversion that prints nothing
      {"%u", {I(-1)}, "4294967295"},
      {"%d and %s", {T("x")}, "%d and x"},  // a conversion of another kind stays
      {"%s, %s and %d", {T("a")}, "a, %s and %d"},
      {"%d steps (%.3g)", {I(9)}, "9 steps (%.3g)"},
      {"%ld %*d %99999.1d %.99999d %#d %d", {I(4)}, "%ld %*d %99999.1d %.99999d %#d 4"},
      {"%1$s %0s %s", {T("a")}, "%1$s %0s a"},
      {"%.2c%c", {I('a')}, "%.2ca"},
      {"x %-5", {I(1)}, "x %-5"},
  };
  for (const auto& [format, values, expected] : rows) {
    CStringUTF8 result("earlier");
    FormatSupplied(result, format, values);
    EXPECT_STREQ(result.GetString(), expected) << format;
  }
}

}  // namespace
