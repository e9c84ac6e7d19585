// The host's number parsing, its guess of a file's encoding, each text
// helper's answer to a null text (the families' uses of the other helpers are
// tested through the families), and the host string library's text file
// reader, read a UTF-16 line at a time (the UTF-8 reading is the file
// family's, through its line reader).
//
// The separator search: the block-wise scanner under every search, held to
// the byte-at-a-time reference over many texts, rule sets and start states
// (the three exports are driven by the token splitter's tests).
//
// Code-page text to UTF-8 within the caller's buffer, grown through the
// caller's routine, and the choice of the host's code page for a negative one
// while the host changes its page on another thread.
//
// Message stores: their format, lookups with language fallback, cutting to
// the buffer, the problems a broken store reports.
#include <kxutils96/host/zstrings96/text_stdio_file.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "support/code_page_reference.h"
#include "support/concurrently.h"
#include "support/file_bytes.h"
#include "support/reference_separator_search.h"
#include "support/temp_dir.h"
#include "support/utf8_path.h"

using namespace kxu::zutl96;

namespace {

using namespace kxu::test;
using namespace std::string_literals;

// One decimal integer with white space around it; -99 stands for a refusal.
TEST(utlStrToInt, AcceptsOneDecimalIntegerOnly) {
  const std::tuple<const char*, int> rows[] = {{" \t\n\v\f\r7 ", 7},
                                               {"+3", 3},
                                               {"2147483647", 2147483647},
                                               {"-2147483648", INT32_MIN},
                                               {"2147483648", -99},
                                               {"", -99},
                                               {"+-1", -99},
                                               {"1x", -99},
                                               {"1 2", -99}};
  for (const auto& [text, nExpected] : rows) {
    int nValue = -99;
    EXPECT_EQ(utlStrToInt(text, &nValue), nExpected == -99 ? 0 : 1) << '"' << text << '"';
    EXPECT_EQ(nValue, nExpected) << '"' << text << '"';
  }
  EXPECT_EQ(utlStrToInt("5", nullptr), 1);
}

// strtod's forms in the "C" locale, whatever the process's locale: an
// exponent needs digits, "0x" without hexadecimal digits is the 0, overflow
// and underflow give HUGE_VAL and 0; every result correctly rounded, at
// either word size (the hard 1e23, the least subnormal, a tie to even).
TEST(utlStrToDouble, ParsesStrtodsFormsInTheCLocale) {
  // Out of range by their digits alone, without an exponent.
  const std::string huge(400, '9'), tiny = "0." + std::string(400, '0') + "1";
  const std::tuple<std::string, double> rows[] = {
      {huge, HUGE_VAL},      {tiny, 0.0},
      {"1.5e3x", 1500.0},    {" \t\n\v\f\r-2.5", -2.5},
      {"1e", 1.0},           {"2,5", 2.0},
      {"0x.8", 0.5},         {"0xg", 0.0},
      {"-1e400", -HUGE_VAL}, {"0x1p1024", HUGE_VAL},
      {"0x1p-1080", 0.0},    {"+-5", 0.0},
      {"1e23", 1e23},        {"4.9e-324", 0x1p-1074},
      {"0.1", 0.1},          {"9007199254740993", 0x1p53}};
  const bool bCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                            std::setlocale(LC_NUMERIC, "German_Germany.1252") != nullptr;
  SCOPED_TRACE(bCommaLocale ? "in a decimal-comma locale" : "in the C locale");
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(utlStrToDouble(text.c_str()), expected) << text;
  std::setlocale(LC_NUMERIC, "C");
}

// Each class at the edges of its bytes; a char above 0x7F passed as a
// negative int is a byte of a multi-byte character.
TEST(utlCharClass, SortsEachByteIntoOneClass) {
  const std::pair<int, std::string_view> rows[] = {
      {kCharLetter, "AZaz"},
      {kCharDigit, "09"},
      {kCharBreakAfter, " \t,;:.!?-/)]}"},
      {kCharLineEnd, "\n\v\f\r"},
      {kCharQuote, "\"'"},
      {kCharOpening, "([{<"},
      {kCharControl, std::string_view("\0\x08\x0E\x1F\x7F", 5)},
      {kCharSymbol, "@`~>*#_|\\+=$%&^"},
      {kCharMultiByte, "\x80\xE9\xFF"},
  };
  for (const auto& [nClass, bytes] : rows) {
    for (const char ch : bytes) {
      EXPECT_EQ(utlCharClass(static_cast<unsigned char>(ch)), nClass) << int{ch};
      EXPECT_EQ(utlCharClass(ch), nClass) << int{ch};
    }
  }
}

// The helpers the families reach only in part, unquoting and keyword search,
// give their examples. A null text is an answer, never a crash: the host
// hands its scripts' texts on unchecked.
TEST(HostTextHelpers, GiveTheirExamplesAndTheNoResultAnswerToANullText) {
  char quoted[] = "\"a b\"";
  EXPECT_STREQ(utlUnquote(quoted, nullptr), "a b");
  // A CSV field in quotes loses them; one not starting with a quote stays.
  int nClosed = 0;
  char field[] = "\"say \"\"hi\"\"\"";
  EXPECT_STREQ(utlCsvUnquote(field, &nClosed, 0), "say \"hi\"");
  EXPECT_EQ(nClosed, 1);
  char plain[] = "a\"\"b\"";
  EXPECT_STREQ(utlCsvUnquote(plain, &nClosed, 0), "a\"\"b\"");
  EXPECT_EQ(nClosed, 0);
  char text[] = "x AND y";
  EXPECT_EQ(utlFindTextEx("and", text, kFindTextIgnoreCase), text + 2);
  EXPECT_EQ(utlFindTextEx("AND", text, 0), text + 2);
  // After a separator: the next token, or null when only white space is left.
  char spaced[] = " \t x";
  EXPECT_EQ(utlSkipWhiteAfterSep(spaced), spaced + 3);
  char blank[] = " \t";
  EXPECT_EQ(utlSkipWhiteAfterSep(blank), nullptr);
  EXPECT_EQ(utlSkipWhite(nullptr), nullptr);
  EXPECT_EQ(utlSkipWhiteAfterSep(nullptr), nullptr);
  EXPECT_EQ(utlStrToInt(nullptr, nullptr), 0);
  EXPECT_EQ(utlStrToDouble(nullptr), 0.0);
  EXPECT_EQ(utlUnquote(nullptr, nullptr), nullptr);
  EXPECT_EQ(utlCsvUnquote(nullptr, &nClosed, 0), nullptr);
  EXPECT_EQ(utlCharToCEscape('\n', nullptr, 0), 0);
  EXPECT_EQ(utlSkipComment(nullptr), nullptr);
  EXPECT_EQ(utlFindComment(nullptr), nullptr);
  EXPECT_EQ(utlFindTextEx(nullptr, text, 0), nullptr);
  EXPECT_EQ(utlFindTextEx("a", nullptr, 0), nullptr);
  EXPECT_EQ(utlConvertTextInPlace(nullptr, -1), 0);
  EXPECT_EQ(KESUTIL_DetectEncodingFile(nullptr, 0, kDetectUtf16WithoutMark), kEncodingUtf8);
}

TEST(KESUTIL_DetectEncodingFile, DecidesFromTheFirstBytesAsTheReaderReads) {
  // Bytes, whether UTF-16 patterns are looked for, and the answer. In the
  // first row a mark decides (the reader's rows below hold the other marks).
  const std::tuple<std::string, int, int> rows[] = {
      {"\xEF\xBB\xBFnon\xE9", 1, kEncodingUtf8},
      {"Gr\xC3\xBC\xC3\x9F", 1, kEncodingUtf8},
      {"caf\xE9", 1, kEncodingCodePage},
      {"h\0e\0l\0l\0o\0"s, 1, kEncodingUtf16LE},
      {"\0h\0e\0l\0l\0o"s, 1, kEncodingUtf16BE},
      {"h\0e\0l\0l\0o\0"s, 0, kEncodingUtf8},
      {"\x89PNG\0\0\0\0\x01\x02\0\0"s, 1, kEncodingCodePage},    // zeros at both positions
      {std::string(65535, 'a') + "\xC3\xA9", 1, kEncodingUtf8},  // cut by the 64 KiB sample
      {std::string(65536, 'a') + "\xE9", 1, kEncodingUtf8},      // invalid past the sample
      {std::string(65534, 'a') + "\xC0\x80more", 1, kEncodingCodePage}};  // ends at its end
  TempDir dir;
  for (const auto& [bytes, nFlags, expected] : rows) {
    WriteBytes(dir.Path("f.txt"), bytes);
    EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("f.txt")).c_str(), 0, nFlags), expected)
        << testing::PrintToString(bytes.substr(0, 16));
  }
  // A file it cannot read answers UTF-8.
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("missing")).c_str(), 0, 1), kEncodingUtf8);
  // The host string library's reader reads UTF-16 lines in each encoding the
  // first bytes decide, with its line ends.
  const std::tuple<std::string, std::vector<std::u16string>> readerRows[] = {
      {"\xFF\xFE" + "a\0\r\0\n\0b\0"s, {u"a", u"b"}},
      {"\xFE\xFF\0a\0\n\0\xE9"s, {u"a", u"\u00E9"}},
      {"\xEF\xBB\xBF" + "a\xC3\xA9\r\nb"s, {u"a\u00E9", u"b"}},
      {"a\n\nx\n", {u"a", u"", u"x"}},  // no mark: bytes
  };
  for (const auto& [bytes, expected] : readerRows) {
    WriteBytes(dir.Path("f.txt"), bytes);
    CZUNICODETextStdioFile file;
    ASSERT_TRUE(file.Open(dir.Path("f.txt").u16string().c_str(), CFile::modeRead));
    std::vector<std::u16string> lines;
    for (CStringW strLine; file.ReadString(strLine);) lines.emplace_back(strLine.GetString());
    EXPECT_EQ(lines, expected) << testing::PrintToString(bytes);
  }
}

// The three searches keep brackets whole alike, angle brackets while the
// switch is on (the offset found, or -1 for none), and find a separator above
// 0x7F in a signed char (the rule sets below use ASCII ones).
TEST(utlFindSeparator, EverySearchKeepsBracketsWholeAlikeAndTakesAHighByte) {
  // Text, separator, and the offset with the angle switch off and on.
  const std::tuple<std::string_view, char, int, int> rows[] = {
      {"(a,b),c", ',', 5, 5},   {"<a,b>,c", ',', 2, 5},       {"a,(b,c),d", ',', 1, 1},
      {"[a,{b)],c", ',', 7, 7}, {"(a,\"),\",b", ',', -1, -1}, {"a>,b", ',', 2, 2},
      {"a\xA7z", '\xA7', 1, 1}};
  for (const auto& [source, chSep, nOff, nOn] : rows) {
    for (const bool bAngle : {false, true}) {
      const int nOld = set_parenth_use_angle_brackets(bAngle ? 1 : 0);
      std::string text(source);
      const auto offset = [&](const char* p) { return p ? static_cast<int>(p - text.data()) : -1; };
      const int nExpected = bAngle ? nOn : nOff;
      const std::array found = {
          offset(utlFindSeparator(text.data(), chSep, kFindBrackets, nullptr)),
          offset(utlFindSeparatorEx(text.data(), chSep, kFindBrackets, nullptr, 0, 0)),
          offset(utlFindSeparatorQuoted(text.data(), chSep, kQuoteKindDouble))};
      EXPECT_EQ(found, (std::array{nExpected, nExpected, nExpected})) << source;
      set_parenth_use_angle_brackets(nOld);
    }
  }
}

// Every rule set a search can run under: separator, brackets with the angle
// switch off and on, escape, quote kinds.
std::vector<SeparatorRules> EveryRuleSet() {
  std::vector<SeparatorRules> all;
  for (const unsigned char separator : {',', '\0', '"', '('}) {
    for (const unsigned char escape : {'\0', '\\', '^'}) {
      // Single quotes or not, by brackets: none, all but angle ones, all.
      for (int k = 0; k < 6; ++k)
        all.push_back({separator, true, k % 2 == 0, k >= 2, k >= 4, escape});
    }
  }
  return all;
}

// Searches `text` and holds each search and the state to the reference. From
// every position in turn when `bEveryStart`, in each start state in turn (a
// state that is no quote byte starts outside); otherwise as a splitter cuts
// (the course on which a whole text is decided at once): from 0 outside
// quotes and then from one past each separator, and a search passed nothing
// exactly when its token holds no quote, bracket or escape byte.
void ExpectFindsWhatTheReferenceFinds(const std::string& text, const SeparatorRules& rules,
                                      bool bEveryStart) {
  const int kStartStates[] = {kSearchOutsideQuotes, '"', '\'', 'x', '"' + 256};
  std::string looked = rules.brackets ? (rules.angleBrackets ? "()[]{}<>" : "()[]{}") : "";
  if (rules.doubleQuotes) looked += '"';
  if (rules.singleQuotes) looked += '\'';
  if (rules.escape != 0) looked += static_cast<char>(rules.escape);
  int nState = kSearchOutsideQuotes, nReferenceState = nState;
  SeparatorScanner scanner(text, rules, &nState);
  for (std::size_t nStart = 0; nStart <= text.size();) {
    if (bEveryStart) nState = nReferenceState = kStartStates[nStart % 5];
    const std::size_t nExpected =
        ReferenceFindSeparator(text.substr(nStart), rules, &nReferenceState);
    const std::size_t nFound = scanner.FindFrom(nStart);
    ASSERT_EQ(nFound, nExpected == std::string::npos ? nExpected : nStart + nExpected)
        << text << " from " << nStart << " separator " << int{rules.separator} << " escape "
        << int{rules.escape};
    ASSERT_EQ(nState, nReferenceState) << text << " from " << nStart;
    const std::string token = text.substr(nStart, nExpected);
    if (rules.separator != 0 && !bEveryStart) {
      EXPECT_EQ(scanner.PassedNothing(), token.find_first_of(looked) == std::string::npos) << text;
    }
    if (nExpected == std::string::npos && !bEveryStart) break;
    nStart = bEveryStart ? nStart + 1 : nFound + 1;
  }
}

TEST(SeparatorScanner, EverySearchFindsWhatAByteAtATimeSearchFinds) {
  // Each byte that matters at every position of a 64-byte word and the
  // block after it, plain bytes, multi-byte characters across every block
  // edge, and random mixes; searched from every position in turn, as a
  // splitter does, in every start state (a state that is no quote byte
  // starts outside).
  const std::vector<std::string> pieces = {",", " ", "\t", "\x01", "\"",       "'",
                                           "(", ")", "[",  "]",    "{",        "}",
                                           "<", ">", "\\", "^",    "\xC3\xA9", "\xE2\x82\xAC"};
  std::vector<std::string> texts;
  for (const std::string& piece : pieces) {
    // After a word byte where i % 3 == 1 (the last of a block at 16 and 64).
    for (std::size_t i = 0; i < 80; ++i)
      texts.push_back(std::string(i, i % 3 == 1 ? 'a' : '.') + piece + ".a,b");
  }
  std::mt19937 random(23);
  std::string all;  // past the 512 bytes whose stops are worked out together
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const std::size_t nLength = random() % 56;
    while (text.size() < nLength)
      text += random() % 3 == 0 ? pieces[random() % pieces.size()] : "a.";
    texts.push_back(text);
    all += text;
  }
  for (const SeparatorRules& rules : EveryRuleSet()) {
    for (const std::string& text : texts) {
      ExpectFindsWhatTheReferenceFinds(text, rules, true);
      ExpectFindsWhatTheReferenceFinds(text, rules, false);
      // Across the 64-byte words of a decided text, and ending on their edge.
      ExpectFindsWhatTheReferenceFinds(text + std::string(64, '.') + text, rules, false);
    }
    ExpectFindsWhatTheReferenceFinds(all, rules, false);
  }
}

// How the test's growth routine answers: it grows the buffer, refuses to, or
// grows it but says the record's size is a byte short of the size asked
// (a routine that breaks its word, whose buffer the conversion must not trust).
enum class Growth { kGrants, kRefuses, kFallsShort };

// A buffer of the test's own holding a text and its NUL, with a conversion
// record over it whose growth routine records its calls and answers as
// `growth` says.
struct TestBuffer {
  explicit TestBuffer(const std::string& text, Growth how = Growth::kGrants)
      : bytes(text.c_str(), text.c_str() + text.size() + 1), growth(how) {}

  MbcsConversion Record() {
    return {&pSelf, &Grow, 0, bytes.data(), static_cast<int>(bytes.size()), 0};
  }
  static int Grow(MbcsConversion* pRecord, int nNewSize) {
    TestBuffer& buffer = **static_cast<TestBuffer**>(pRecord->pOwnerSlot);
    buffer.growCalls.push_back(nNewSize);
    if (buffer.growth == Growth::kRefuses) return pRecord->bFailed = 1, 0;
    buffer.bytes.resize(static_cast<std::size_t>(nNewSize));
    pRecord->pBuffer = buffer.bytes.data();
    pRecord->nBufferSize = nNewSize - (buffer.growth == Growth::kFallsShort ? 1 : 0);
    return 1;
  }

  std::vector<char> bytes;
  std::vector<int> growCalls;
  Growth growth = Growth::kGrants;
  TestBuffer* pSelf = this;
};

// `piece` repeated to at least `nBytes` bytes.
std::string Repeated(const std::string& piece, std::size_t nBytes) {
  std::string text;
  while (text.size() < nBytes) text += piece;
  return text;
}

TEST(UtlMBCStoUTF8InPlaceTest, ConvertsAsAWholeWithinTheBufferAndGrowsOnlyWhenNeeded) {
  // Text, page, how growth is answered, the text after, result and the growth calls.
  const std::tuple<std::string, int, Growth, std::string, int, std::vector<int>> rows[] = {
      {"abc", 1252, Growth::kGrants, "abc", 3, {}},
      {"caf\xE9", 1252, Growth::kGrants, "caf\xC3\xA9", 5, {6}},  // grows once to the exact size
      {"\xC3\xA9", 65001, Growth::kGrants, "\xC3\xA9", 2, {}},
      {"\xFF\xFE", 65001, Growth::kGrants, "\xEF\xBF\xBD\xEF\xBF\xBD", 6, {7}},
      {"abc", CP_ACP, Growth::kGrants, "abc", 3, {}},
      {"caf\xE9", 12345, Growth::kGrants, "caf\xE9", 0, {}},  // an unknown page changes nothing
      {"\xE9t\xE9", 1252, Growth::kRefuses, "\xE9t\xE9", 0, {6}},     // a refused growth neither
      {"\xE9t\xE9", 1252, Growth::kFallsShort, "\xE9t\xE9", 0, {6}},  // nor one short of its word
  };
  for (const auto& [text, nCodePage, growth, expected, nResult, growCalls] : rows) {
    TestBuffer buffer(text, growth);
    MbcsConversion record = buffer.Record();
    EXPECT_EQ(utlMBCStoUTF8InPlace(&record, nCodePage), nResult) << text;
    EXPECT_EQ(std::string(buffer.bytes.data()), expected) << text;
    EXPECT_EQ(buffer.growCalls, growCalls) << text;
    EXPECT_EQ(record.bFailed, growth == Growth::kRefuses ? 1 : 0) << text;
  }
  // No NUL within the size: the text is the size less one byte.
  char bytes[4] = {'a', 'b', 'c', 'd'};
  MbcsConversion record{nullptr, nullptr, 0, bytes, 3, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&record, 1252), 2);
  EXPECT_EQ(std::string(bytes, 3), std::string("ab\0", 3));
  MbcsConversion empty{nullptr, nullptr, 0, nullptr, 0, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&empty, 1252), 0);
  // Long texts convert as a whole, through UTF-16 at once as the system
  // converts them: with double-byte codes whose trail bytes look like ASCII
  // letters, and in the pages only some systems serve, codes with bytes of
  // every value (GB18030's four-byte codes) and codes that carry a state
  // (UTF-7, ISO-2022-JP): a cut after any byte below 0x40 would split them.
  std::string everyByteButNul;
  for (int byte = 1; byte < 256; ++byte) everyByteButNul += static_cast<char>(byte);
  const std::tuple<std::string, int> longRows[] = {
      {Repeated("caf\xE9 na\xEFve \x93x\x94, ", 300000), 1252},
      {Repeated("abc\xE9", 200000) + " tail\xE9", 1252},  // without a chunk end
      {Repeated(everyByteButNul, 70000), 1255},           // undefined bytes too
      {Repeated("\x83\x41\x83\x61\x93\xFA", 200000), 932},
      {Repeated("\x93\xFA\x96\x7B \x8C\xEA", 200000), 932},
      {Repeated("\xA4\xA4\xA4\x40", 150001), 950},
      {Repeated("ab\xFF\xE4\xB8 ", 200000), 65001},
      {"x" + Repeated("\x81\x30\x81\x30\xB0\xA1\xB0\xA1\xB0\xA1", 100000), 54936},
      {"+" + Repeated("Ti1OLU4t", 100000) + "-", 65000},
      {"\x1B$B" + Repeated("\x30\x21", 200000) + "\x1B(B", 50220},
  };
  for (const auto& [text, nPage] : longRows) {
    if (!IsValidCodePage(static_cast<UINT>(nPage))) continue;
    TestBuffer buffer(text);
    MbcsConversion record = buffer.Record();
    const std::string expected = Utf8ByWayOfUtf16(text, static_cast<UINT>(nPage));
    ASSERT_EQ(utlMBCStoUTF8InPlace(&record, nPage), static_cast<int>(expected.size())) << nPage;
    EXPECT_TRUE(std::string(record.pBuffer) == expected) << nPage;
    EXPECT_EQ(buffer.growCalls.size(), 1u) << nPage;
  }
}

// The host writes its code page at any time, as one aligned int; a
// conversion that reads it sees either the old or the new page, never a mix
// of the two (here: never the -1 that means "none" instead of the ANSI page).
TEST(HostCodePageThreads, AChoiceSeesOneValueOfTheHostsPage) {
  const int nAnsi = static_cast<int>(GetACP());
  std::atomic_ref<int> hostPage(g_nCodePage);
  const int nSaved = hostPage.load();
  kxu::test::RunConcurrently(kxu::test::kThreads, [&](int k) {
    for (int i = 0; i < 1000; ++i) {
      if (k == 0) {
        hostPage.store(i % 2 == 0 ? 932 : -1);
      } else {
        const int nChosen = utlChooseCodePage(-1);
        EXPECT_TRUE(nChosen == 932 || nChosen == nAnsi) << nChosen;
      }
    }
  });
  hostPage.store(nSaved);
}

// A store file in a fresh folder.
class MessageStoreTest : public ::testing::Test {
 protected:
  std::u16string Write(const std::string& content, const char* name = "store.kxmsg") {
    WriteBytes(m_dir.Path(name), content);
    return m_dir.Path(name).u16string();
  }

  TempDir m_dir;
};

constexpr const char* kStore =
    "\xEF\xBB\xBF# a comment\r\n"
    "default 0x0409\r\n"
    "\n"
    "language 0x0409 English\n"
    "  10000 Plain text  \n"
    "10001\t\\sBlanks\\s at the ends\\s\n"
    "10002 Two\\nlines\\tand a \\\\ backslash\n"
    "1 abc\xC3\xA9\xE2\x82\xACz\n"
    "65535 Highest id\n"
    "0 Lowest id\n"
    "language 0x0407 Deutsch\n"
    "10000 Schlichter Text\n"
    "20 Nur deutsch\n";

// The text found, "<none>" when nothing was copied and the buffer is as it was.
std::string Lookup(HMODULE hStore, int nID, int nLangId, int nBufferSize) {
  std::vector<char> buffer(static_cast<std::size_t>(nBufferSize), '#');
  const int nCopied = utlLoadModuleString(hStore, nID, buffer.data(), nBufferSize, nLangId, 0, 0);
  if (nCopied == 0) return buffer[0] == '#' ? "<none>" : "<touched>";
  EXPECT_EQ(std::string(buffer.data()).size(), static_cast<std::size_t>(nCopied));
  return buffer.data();
}

TEST_F(MessageStoreTest, FindsTextsByIdAndLanguageFallingBackToTheDefaultAndCutsAtCharacters) {
  const HMODULE hStore = utlLoadMessageStore(Write(kStore).c_str());
  ASSERT_NE(hStore, nullptr);
  // Id, language, buffer size and the text found.
  const std::tuple<int, int, int, const char*> rows[] = {
      {10000, 0, 256, "Plain text"},
      {10000, 0x0407, 256, "Schlichter Text"},
      {10001, 0, 256, " Blanks  at the ends "},
      {10002, 0, 256, "Two\nlines\tand a \\ backslash"},
      {65535, 0, 256, "Highest id"},
      {0, 0, 256, "Lowest id"},
      {10001, 0x0407, 256, " Blanks  at the ends "},  // the default language's
      {10000, 0x0411, 256, "Plain text"},
      {10000, 0x10407, 256, "Schlichter Text"},  // only 16 bits count
      {20, 0x0407, 256, "Nur deutsch"},          // found in its own language only
      {20, 0, 256, "<none>"},
      {1, 0, 10, "abc\xC3\xA9\xE2\x82\xACz"},  // 9 bytes fit exactly
      {1, 0, 8, "abc\xC3\xA9"},                // the euro sign does not fit whole
      {1, 0, 2, "a"},
      {1, 0, 1, "<none>"},
  };
  for (const auto& [nID, nLangId, nBufferSize, expected] : rows)
    EXPECT_EQ(Lookup(hStore, nID, nLangId, nBufferSize), expected) << nID;
  for (int nID : {-1, 10003}) EXPECT_EQ(Lookup(hStore, nID, 0, 8), "<none>") << nID;
  // Foreign handles find nothing; absent files load no store.
  int nNotAStore = 0;
  EXPECT_EQ(Lookup(reinterpret_cast<HMODULE>(&nNotAStore), 10000, 0, 16), "<none>");
  EXPECT_EQ(Lookup(nullptr, 10000, 0, 16), "<none>");
  EXPECT_EQ(utlLoadMessageStore(m_dir.Path("absent.kxmsg").u16string().c_str()), nullptr);
  EXPECT_EQ(utlLoadMessageStore(nullptr), nullptr);
}

// The host's language numbers: 1 to 4 name a language, every other none.
TEST(utlLanguageToLangId, NamesTheFourLanguagesAndNoneForAnyOtherNumber) {
  const std::pair<int, int> rows[] = {{1, 0x0409}, {4, 0x0804}, {0, 0}, {5, 0}, {-1, 0}, {99, 0}};
  for (const auto& [nLanguage, nLangId] : rows)
    EXPECT_EQ(utlLanguageToLangId(nLanguage), nLangId) << nLanguage;
}

// The line and kind of each problem the check reports, each with a text.
using Problems = std::vector<std::pair<int, int>>;

// The problems listed, their texts one after another in `pTexts` when given;
// each one is counted unless `pnCount` takes the count.
Problems Check(const std::u16string& path, int* pnCount = nullptr, std::string* pTexts = nullptr) {
  std::pair<Problems, std::string> report;
  const int nCount = utlCheckMessageStore(
      path.c_str(),
      [](void* pContext, int nLine, int nKind, const char* lpcszProblem) {
        EXPECT_NE(*lpcszProblem, '\0');
        auto& [problems, texts] = *static_cast<std::pair<Problems, std::string>*>(pContext);
        problems.emplace_back(nLine, nKind);
        texts += lpcszProblem;
      },
      &report);
  if (pTexts != nullptr) *pTexts = report.second;
  if (pnCount != nullptr)
    *pnCount = nCount;
  else
    EXPECT_EQ(nCount, static_cast<int>(report.first.size()));
  return report.first;
}

#define STORE_HEAD "default 0x0409\nlanguage 0x0409\n"

// A broken store does not load; the check lists the first problems in line
// order and counts the rest.
TEST_F(MessageStoreTest, ABrokenStoreDoesNotLoadAndCheckListsEachProblemsLineInOrder) {
  // The store and the line of its one error.
  const std::tuple<std::string, int> rows[] = {
      {"language 0x0409\n1 a\n", 0},                                 // no default
      {STORE_HEAD "default 0x0407\n", 3},    {"default 1033\n", 1},  // not hexadecimal
      {"default 0x0409\nlanguage 0x0\n", 2}, {"default 0x0409\nlanguage 0x10409\n", 2},
      {"default 0x0409\n1 a\n", 2},  // a message before a language
      {STORE_HEAD "65536 a\n", 3},           {STORE_HEAD "000001 a\n", 3},
      {STORE_HEAD "15000The file\n", 3},     {STORE_HEAD "15000   \n", 3},
      {STORE_HEAD "1 C:\\data\n", 3},        {STORE_HEAD "1 a\x01z\n1 b\n", 3},
      {STORE_HEAD "1 caf\xE9\n", 3},         {STORE_HEAD "message 1 a\n", 3},
      {STORE_HEAD "1 a\n2 b\n1 c\n", 5}};
  int nFile = 0;
  for (const auto& [content, nLine] : rows) {
    const std::u16string path = Write(content, std::to_string(++nFile).c_str());
    EXPECT_EQ(utlLoadMessageStore(path.c_str()), nullptr) << content;
    EXPECT_EQ(Check(path), (Problems{{nLine, kStoreError}})) << content;
  }
  // A repeated message's problem names the line it repeats.
  std::string text;
  Check(Write(STORE_HEAD "1 a\n2 b\n1 c\n", "repeated"), nullptr, &text);
  EXPECT_NE(text.find("already on line 3"), std::string::npos) << text;
  // 7 has no text in the default language: a warning, which does not stop a load.
  EXPECT_EQ(Check(Write("default 0x0409\nlanguage 0x0407\n7 nur hier\nbad line\n8 x\\q\n")),
            (Problems{{3, kStoreWarning}, {4, kStoreError}, {5, kStoreError}}));
  const std::u16string path = Write("default 0x0409\nlanguage 0x0407\n7 nur hier\n", "warned");
  EXPECT_EQ(Check(path), (Problems{{3, kStoreWarning}}));
  EXPECT_NE(utlLoadMessageStore(path.c_str()), nullptr);
  // Past the first problems, one report on line 0 counts the rest, an error
  // when one of them is, whether they are cut as they come or only at the
  // end; the count is exact.
  for (const int nJunk : {3 * kMaxListedStoreProblems, kMaxListedStoreProblems}) {
    std::string junk = "default 0x0409\nlanguage 0x0407\n7 nur hier\n";
    for (int i = 0; i < nJunk; ++i) junk += "x\n";
    Problems expected = {{3, kStoreWarning}};
    for (int nLine = 4; nLine < kMaxListedStoreProblems + 3; ++nLine)
      expected.emplace_back(nLine, kStoreError);
    expected.emplace_back(0, kStoreError);
    int nCount = 0;
    EXPECT_EQ(Check(Write(junk, "junk"), &nCount), expected) << nJunk;
    EXPECT_EQ(nCount, nJunk + 1);
  }
}

// A text's units in the module's wide literal: quotes doubled, backslashes
// and tabs escaped, printable ASCII as it is, a letter past ASCII by its code.
TEST(MessageStoreRc, WritesEachTextAsAWideLiteral) {
  std::string rc;
  ASSERT_TRUE(MessageStoreRc("default 0x0409\nlanguage 0x0409\n1 \"a\"\\\\\\t~ Gr\xC3\xBC\n", rc));
  EXPECT_NE(rc.find(R"(L"""a""\\\t~ Gr\x00FC")"), std::string::npos) << rc;
}

}  // namespace
