// What the zq conversions add to the system's conversion calls (whose codec
// the platform's tests hold): the length and terminator rules, what a failure
// leaves, the report of a default character, and the array forms; and
// code-page text to UTF-8 straight into the string.
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/encoding_conversions.h>
#include <kxutils96/strings/wide_conversion.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/array_text.h"
#include "support/caught_exception.h"
#include "support/code_page_reference.h"
#include "support/string_array_archive.h"

namespace {

using namespace kxu::test;
using U16 = std::basic_string<WCHAR>;

constexpr int kUnknownPage = 12345;

template <class String>
auto Units(const String& str) {
  return std::basic_string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

TEST(ZqMBCStoUTF16Test, ConvertsWithTheLengthAndTerminatorRules) {
  const char embedded[] = "ab\0cd";
  // A length without the NUL keeps every character; one past the NUL ends at the NUL.
  const std::tuple<const char*, int, int, U16> rows[] = {
      {"caf\xE9", 1252, -1, u"café"}, {"abcdef", 1252, 2, u"ab"}, {embedded, 1252, 5, u"ab"},
      {nullptr, 1252, -1, u""},       {"abc", 1252, 0, u""},      {"abc", kUnknownPage, -1, u""},
  };
  for (const auto& [pSource, nCodePage, nLen, expected] : rows) {
    CString strDest(u"old");
    EXPECT_EQ(zqMBCStoUTF16(strDest, pSource, nCodePage, nLen), static_cast<int>(expected.size()))
        << nLen;
    EXPECT_EQ(Units(strDest), expected) << nLen;
  }
  // A destination with room for the result keeps all of it for the next one.
  CString strRoomy(u"a text longer than the result");
  const int nRoom = strRoomy.GetAllocLength();
  zqMBCStoUTF16(strRoomy, "caf\xE9", 1252, -1);
  EXPECT_EQ(strRoomy.GetAllocLength(), nRoom);
  // A text past the room converted in one pass is counted first, then converted whole.
  const std::string longText(std::size_t{kxu::platform::kOnePassUnits} + 3, '\xE9');
  CString strLong;
  EXPECT_EQ(zqMBCStoUTF16(strLong, longText.c_str(), 1252, -1), kxu::platform::kOnePassUnits + 3);
  EXPECT_TRUE(Units(strLong) == U16(longText.size(), u'\u00E9'));
}

TEST(ZqUTF16toMBCSTest, ConvertsReportsAndEmpties) {
  // Text, page, length, flags, the bytes and the default-character report (-1: none asked).
  const std::tuple<const WCHAR*, int, int, DWORD, std::string, int> rows[] = {
      {u"na\u00EFve", 1252, -1, 0, "na\xEFve", FALSE},
      {u"a\u4E2D", 1252, -1, WC_NO_BEST_FIT_CHARS, "a?", TRUE},
      {u"abcdef", 1252, 2, 0, "ab", -1},
      {u"ab\0cd", 1252, 5, 0, "ab", -1},
      {u"abc", kUnknownPage, -1, 0, "", -1},
      {nullptr, 1252, -1, 0, "", -1},
  };
  for (const auto& [source, nCodePage, nLen, dwFlags, expected, bUsedDefault] : rows) {
    CStringA strDest("old");
    int bUsed = -1;
    EXPECT_EQ(zqUTF16toMBCS(strDest, source, nCodePage, nLen, bUsedDefault == -1 ? nullptr : &bUsed,
                            dwFlags),
              static_cast<int>(expected.size()));
    EXPECT_EQ(Units(strDest), expected);
    EXPECT_EQ(bUsed, bUsedDefault) << expected;
  }
  CStringA strDest;
  CStringUTF8 strUtf8("old");
  EXPECT_EQ(zqUTF16toUTF8(strUtf8, u"\U0001F600!\u00E9", 3), 5);
  EXPECT_EQ(Units(strUtf8), "\xF0\x9F\x98\x80!");
  // From UTF-8 the length counts bytes of the source.
  EXPECT_EQ(zqUTF8toMBCS(strDest, "\xC3\xA9t\xC3\xA9", 1252, 3), 2);
  EXPECT_EQ(Units(strDest), "\xE9t");
}

// A string's room is filled piece by piece (8 KiB of the source a piece), the
// text's end found as it goes, and from 1 MiB of units on ASCII is written
// around the caches: the results are the system's conversion of the whole
// run (a character across a piece's end, a caller's length that splits
// one, a character cut short ending the text, ASCII runs that end inside a
// piece past 1 MiB), also into too little room or none.
constexpr std::size_t kPiece = 8192;  // bytes of UTF-8
constexpr std::size_t kWidePiece = kPiece / 2;
constexpr std::size_t kPastOneMiB = (std::size_t{1} << 20) + 2 * kPiece;

template <class String, class Unit, class Convert, class Whole>
void ExpectPiecesGiveTheWhole(const std::basic_string<Unit>& text, Convert convert, Whole whole) {
  for (const int nLen : {-1, static_cast<int>(kPiece), static_cast<int>(kPastOneMiB + 5)}) {
    const auto expected = whole(std::basic_string_view<Unit>(
        text.c_str(), nLen < 0 ? text.size() : static_cast<std::size_t>(nLen)));
    // Into room for the whole, into too little room, and into a fresh string.
    for (const int nRoom : {static_cast<int>(3 * text.size()), 5, -1}) {
      String str;
      if (nRoom >= 0) str.Preallocate(nRoom);
      EXPECT_EQ(convert(str, text.c_str(), nLen), static_cast<int>(expected.size())) << nRoom;
      EXPECT_TRUE(Units(str) == expected) << nLen << " " << nRoom;
    }
  }
}

TEST(ZqUTF16toMBCSTest, TextsConvertedIntoRoomPieceByPieceAsWhole) {
  // UTF-16: a pair across the end of the first piece, which ends before it,
  // and of a piece past 1 MiB; a lone high surrogate ends the text.
  U16 wide(kPastOneMiB + kPiece, u'a');
  wide.replace(kWidePiece - 1, 2, u"\U0001F600");
  wide.replace(kPastOneMiB - kWidePiece - 1, 2, u"\U0001F600");
  wide[kPastOneMiB - kWidePiece / 2] = u'\u00E9';
  wide.back() = 0xD800;
  // UTF-8: characters that begin 3, 2 and 1 bytes before the ends of the
  // first three pieces, which each end before them (6 bytes in all), and
  // one across a piece's end past 1 MiB; the length of one piece cuts the
  // first. (A cut character before the terminator is left out: Wine drops
  // it when it converts the terminator too, as the whole conversion does.)
  std::string narrow(kPastOneMiB + kPiece, 'a');
  narrow.replace(kPiece - 3, 4, "\xF0\x9F\x98\x80");
  narrow.replace(2 * kPiece - 3 - 2, 3, "\xE2\x82\xAC");
  narrow.replace(3 * kPiece - 5 - 1, 2, "\xC2\xA9");
  narrow.replace(kPastOneMiB - 6 - 1, 3, "\xE2\x82\xAC");
  narrow.replace(kPastOneMiB - kPiece / 2, 2, "\xC3\xA9");
  narrow.replace(kPastOneMiB - 3, 3, "\x80\x80\x80");
  ExpectPiecesGiveTheWhole<CStringUTF8>(
      wide, [](CStringUTF8& str, const WCHAR* p, int n) { return zqUTF16toUTF8(str, p, n); },
      [](std::basic_string_view<WCHAR> run) { return ToBytes(CP_UTF8, 0, run); });
  ExpectPiecesGiveTheWhole<CString>(
      narrow, [](CString& str, const char* p, int n) { return zqUTF8toUTF16(str, p, n); },
      [](std::string_view run) { return ToWide(CP_UTF8, 0, run); });
  CStringA strDest("old");
  EXPECT_EQ(zqUTF16toMBCS(strDest, wide.c_str(), CP_UTF8, -1, nullptr, WC_ERR_INVALID_CHARS), 0);
  EXPECT_TRUE(strDest.IsEmpty());
}

std::vector<U16> WideTexts(const CStringArray& array) {
  std::vector<U16> texts;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) texts.push_back(Units(array[i]));
  return texts;
}

TEST(ZqArrayTest, EachFormConvertsEveryElementAndTakesTheSourceCount) {
  CStringArray saWide;
  saWide.SetSize(7);
  CZQVStringArray saUtf8 = ArrayOf({"x", "", "\xE4\xB8\xAD"});
  EXPECT_EQ(zqUTF8toUTF16(saWide, saUtf8), 3);
  EXPECT_EQ(WideTexts(saWide), (std::vector<U16>{u"x", u"", u"中"}));
  saWide[0] = CString(u"\u00E9");
  saUtf8 = ArrayOf({"1", "2", "3", "4", "5"});
  EXPECT_EQ(zqUTF16toUTF8(saUtf8, saWide), 3);
  EXPECT_EQ(TextsOf(saUtf8), (Texts{"\xC3\xA9", "", "\xE4\xB8\xAD"}));
  CZQVStringArray sa = ArrayOf({"\xE9t\xE9", "", "\x80"});
  EXPECT_EQ(zqMBCStoUTF8(sa, 1252), 3);
  EXPECT_EQ(TextsOf(sa), (Texts{"\xC3\xA9t\xC3\xA9", "", "\xE2\x82\xAC"}));
  EXPECT_EQ(zqUTF8toMBCS(sa, 1252), 3);
  EXPECT_EQ(TextsOf(sa), (Texts{"\xE9t\xE9", "", "\x80"}));
  CZQVStringArray saEmpty;
  EXPECT_EQ(zqUTF8toUTF16(saWide, saEmpty), 0);
  EXPECT_EQ(saWide.GetSize(), 0);
}

// Buffers of no units: the conversions must not even look at a first unit.
TEST(ZeroLengthRunTest, ReadsNoUnit) {
  const std::unique_ptr<char[]> pNoBytes(new char[0]);
  const std::unique_ptr<WCHAR[]> pNoUnits(new WCHAR[0]);
  CString strWide(u"old");
  CStringA strBytes("old");
  EXPECT_EQ(kxu::strings::ConvertToWide(strWide, pNoBytes.get(), 65001, 0), 0);
  EXPECT_EQ(zqUTF16toMBCS(strBytes, pNoUnits.get(), 1252, 0, nullptr, 0), 0);
  EXPECT_TRUE(strWide.IsEmpty());
  EXPECT_TRUE(strBytes.IsEmpty());
}

// Code-page text converts to UTF-8 straight from the source into the
// string (single-byte pages through their tables, the others by way of
// UTF-16), or within the string when the source is the string itself. Both
// against the system's conversion to UTF-16 followed by the codec, over
// random texts whose non-ASCII bytes lie anywhere in and across blocks (in
// 932 also cut double-byte codes and lone lead bytes), into a string reused
// from text to text.
TEST(ZqMBCStoUTF8Test, CodePagesConvertAsTheSystemDoes) {
  std::mt19937 rng(1252);
  CStringUTF8 reused;
  for (const int nPage : {1252, 1251, 437, 932}) {
    for (int round = 0; round < 400; ++round) {
      // Up to nine blocks; from no byte to every byte beyond ASCII.
      std::string text(rng() % 150, ' ');
      const unsigned nHighInFour = rng() % 5;
      for (char& ch : text) {
        ch = static_cast<char>(rng() % 4 < nHighInFour ? 0x80 + rng() % 0x80 : ' ' + rng() % 0x5F);
      }
      const std::string expected = Utf8ByWayOfUtf16(text, static_cast<UINT>(nPage));
      SCOPED_TRACE(testing::Message() << "page " << nPage << " round " << round);
      EXPECT_EQ(zqMBCStoUTF8(reused, text.c_str(), nPage), static_cast<int>(expected.size()));
      EXPECT_EQ(TextOf(reused), expected);
      CStringUTF8 inPlace(text.c_str());
      EXPECT_EQ(zqMBCStoUTF8(inPlace, nullptr, nPage), static_cast<int>(expected.size()));
      EXPECT_EQ(TextOf(inPlace), expected);
    }
  }
}

Bytes With(Bytes head, const std::string& text) {
  head.insert(head.end(), text.begin(), text.end());
  return head;
}

// The words of the object that the host reads: the virtual table, then the
// first, last and end addresses.
std::array<const CStringUTF8*, 4> WordsOf(const CZQVStringArray& array) {
  std::array<const CStringUTF8*, 4> words;
  static_assert(sizeof words == sizeof array && sizeof(CStringUTF8) == sizeof(void*));
  std::memcpy(words.data(), static_cast<const void*>(&array), sizeof words);
  return words;
}

// The count, then each element's length and bytes, in the archive's forms
// (whose boundaries the archive's own tests hold), stored and loaded back.
// A string added as an rvalue gives up its text rather than a copy of it; an
// element of the array itself is copied, as growing the array moves it.
TEST(ZQVStringArrayTest, AddTakesAMovedStringsTextAndCopiesAnElement) {
  CZQVStringArray array;
  CStringUTF8 strLine("first line");
  const char* const pText = strLine.GetString();
  EXPECT_EQ(array.Add(std::move(strLine)), 0);
  EXPECT_TRUE(strLine.IsEmpty());  // NOLINT(bugprone-use-after-move): left empty by contract
  EXPECT_EQ(array[0].GetString(), pText);
  for (int i = 1; i < 40; ++i) EXPECT_EQ(array.Add(std::move(array[0])), i);
  for (int i = 0; i < 40; ++i) EXPECT_STREQ(array[i].GetString(), "first line") << i;
}

// RemoveAt drops what it is asked to, up to the end, and refuses a negative
// start or count, changing nothing; an element is read only inside the array.
TEST(ZQVStringArrayTest, RemoveAtDropsUpToTheEndAndRefusesNegativeArguments) {
  const Texts all = {"a", "b", "c", "d"};
  const std::tuple<int, int, Texts> rows[] = {
      {1, 2, {"a", "d"}}, {3, 5, {"a", "b", "c"}}, {4, 1, all}, {-1, 1, all}, {0, -1, all}};
  for (const auto& [i, n, kept] : rows) {
    CZQVStringArray array = ArrayOf(all);
    if (i < 0 || n < 0) {
      EXPECT_TRUE(Caught<CInvalidArgException>([&, i = i, n = n] { array.RemoveAt(i, n); }))
          << i << " " << n;
    } else {
      array.RemoveAt(i, n);
    }
    EXPECT_EQ(TextsOf(array), kept) << i << " " << n;
  }
  const CZQVStringArray array = ArrayOf(all);
  for (const int i : {-1, 4}) EXPECT_TRUE(Caught<CInvalidArgException>([&] { (void)array[i]; }));
}

TEST(ZQVStringArrayArchiveTest, StoredBytesFollowTheArchiveFormat) {
  const std::tuple<const char*, Texts, Bytes> cases[] = {
      {"empty array", {}, {0x00, 0x00}},
      {"one empty string", {""}, {0x01, 0x00, 0x00}},
      {"two strings", {"ab", "\xC3\xA9"}, {0x02, 0x00, 0x02, 'a', 'b', 0x02, 0xC3, 0xA9}},
      {"0xFFFF elements: the count takes four bytes more", Texts(0xFFFF),
       With({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, std::string(0xFFFF, '\0'))},
  };
  for (const auto& [name, texts, expected] : cases) {
    EXPECT_EQ(Store(ArrayOf(texts)), expected) << name;
    CZQVStringArray loaded;
    EXPECT_EQ(LoadCause(expected, loaded), kLoaded) << name;
    EXPECT_EQ(TextsOf(loaded), texts) << name;
    const auto words = WordsOf(loaded);
    EXPECT_EQ(words[2] - words[1], static_cast<std::ptrdiff_t>(texts.size())) << name;
    EXPECT_EQ(loaded.GetData(), texts.empty() ? nullptr : words[1]) << name;
  }
}

TEST(ZQVStringArrayArchiveTest, LoadsReplaceTheContentOrFailByTheirCause) {
  // Bytes, cause, and what an array that held "kept" holds after.
  const std::tuple<const char*, Bytes, int, std::optional<Texts>> rows[] = {
      {"replaces the content", {0x02, 0x00, 0x01, 'a', 0x00}, kLoaded, Texts{"a", ""}},
      {"a stored NUL ends the element",
       {0x02, 0x00, 0x03, 'a', 0x00, 'b', 0x01, 'c'},
       kLoaded,
       Texts{"a", "c"}},
      {"a length of 0xFFFFFFFF overflows",
       {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
        0x00, 0x00},
       static_cast<int>(0x80070216u),
       std::nullopt},
      {"a wide-tagged string is a bad schema",
       {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00},
       CArchiveException::badSchema,
       std::nullopt},
      {"an absurd count fails before the array changes",
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F, 0x01, 'a'},
       CArchiveException::endOfFile,
       Texts{"kept"}},
      {"a huge length without data",
       {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'a'},
       CArchiveException::endOfFile,
       std::nullopt},
  };
  for (const auto& [name, bytes, nCause, after] : rows) {
    CZQVStringArray array = ArrayOf({"kept"});
    EXPECT_EQ(LoadCause(bytes, array), nCause) << name;
    if (after) {
      EXPECT_EQ(TextsOf(array), *after) << name;
    }
  }
}

TEST(ZQVStringArrayArchiveTest, EveryTruncationIsEndOfFileAndKeepsWhatLoaded) {
  const Bytes full = Store(ArrayOf({"first", std::string(300, 'q'), "third"}));
  for (size_t cut = 0; cut < full.size(); ++cut) {
    CZQVStringArray array = ArrayOf({"old"});
    EXPECT_EQ(LoadCause(Bytes(full.begin(), full.begin() + static_cast<long>(cut)), array),
              CArchiveException::endOfFile)
        << "cut at " << cut;
    const bool bFirstLoaded = cut >= 2 + 1 + 5;
    if (bFirstLoaded) {
      EXPECT_STREQ(array[0], "first") << "cut at " << cut;
    }
    // The element cut short keeps its text; a new one stays empty.
    if (cut < full.size() - (1 + 5)) {
      EXPECT_STREQ(array[bFirstLoaded ? 1 : 0], bFirstLoaded ? "" : "old") << "cut at " << cut;
    }
    if (cut >= 2) {
      EXPECT_EQ(array.GetSize(), 3) << "cut at " << cut;
    }
  }
}

}  // namespace
