// The UTF-8 and UTF-16 codec (the boundaries of each sequence length, one
// U+FFFD per maximal invalid subsequence, lone surrogates and escaping; long
// texts through the block paths are tested through the families'
// conversions), then the code-page calls: each page's codes both ways, default
// characters and errors, every served page's round trip, the last error;
// and the run-time library's locale conversions.
//
// The SIMD kernels, each implementation this processor runs (scalar, SSE2,
// SSSE3, AVX2, AVX-512) held to a plain reference: every length up to three of the
// widest blocks and one more, the stopping unit (or code-page byte) at every
// offset, unaligned starts, and nothing written past the room given.
//
// The text scans: the library's one substring search finds what
// std::string_view::find finds, with and without ASCII case, and compares each
// text byte a bounded number of times whatever the pattern; the NUL scan
// agrees with a unit-by-unit scan.
#include <kxutils96/platform/cpu/simd_level.h>
#include <kxutils96/platform/crt/crt_locale.h>
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/text/simd.h>
#include <kxutils96/platform/text/single_byte_page.h>
#include <kxutils96/platform/text/substring_search.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "support/code_page_reference.h"
#include "support/hex_text.h"

namespace {

using namespace kxu::platform;
using namespace kxu::test;
using U16 = std::basic_string<WCHAR>;

constexpr UINT kUnknownPage = 12345;

constexpr WCHAR kFFFD = 0xFFFD;

// Lone surrogates become U+FFFD, or with escaping carry the invalid bytes
// there and back; a lone surrogate that escapes no byte is replaced.
TEST(UnicodeTest, LoneSurrogatesAndEscaping) {
  const struct {
    InvalidInput mode;
    U16 utf16;
    std::string_view utf8;
    bool bBothWays;
  } rows[] = {
      // A high one before a non-surrogate, before another high one or at the
      // end, and a low one alone, each become U+FFFD.
      {InvalidInput::kReplace, U16{0xD800, u'z', 0xDC00, 0xD800, 0xD800, 0xDC00, 0xD800},
       "\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x90\x80\x80\xEF\xBF\xBD", false},
      {InvalidInput::kEscape, U16{0xD800, u'z', 0xDC7F}, "\xEF\xBF\xBDz\xEF\xBF\xBD", false},
      {InvalidInput::kEscape, U16{0xDCED, 0xDCA0, 0xDC80, 0xD83D, 0xDE00},
       "\xED\xA0\x80\xF0\x9F\x98\x80", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Hex(row.utf16));
    EXPECT_EQ(Hex(Utf16ToUtf8(row.utf16, row.mode)), Hex(row.utf8));
    if (row.bBothWays) {
      EXPECT_EQ(Hex(Utf8ToUtf16(row.utf8, row.mode)), Hex(row.utf16));
    }
  }
}

// Each row's units encode to its bytes, or to the error a bad argument names,
// reporting whether the default character was used where the row says; the
// defined codes of rows without a default character decode back.
TEST(CodePageTest, ConvertsEachPageBothWaysWithItsDefaultCharacter) {
  enum Report { kNone, kUsed, kUnused };
  const struct {
    UINT nPage;
    DWORD dwFlags;  // the decoding and encoding flags together
    std::string_view bytes;
    U16 units;
    Report report;
    const char* pszDefault;
  } rows[] = {
      {1252, 0, "\x80\xE9\xFF", u"\u20AC\u00E9\u00FF", kUnused, nullptr},
      // Bytes 1252 leaves undefined stand for the control characters.
      {1252, MB_ERR_INVALID_CHARS, "\x81\x8D\x90", u"\u0081\u008D\u0090", kUnused, nullptr},
      {437, 0, "\xB0\xDB", u"\u2591\u2588", kUnused, nullptr},
      // Small roman one has two codes; the page writes FA40, not the lower EEEF.
      {932, 0, "\x93\xFA\x96\x7B\xB1\xFA\x40", u"日本\uFF71\u2170", kUnused, nullptr},
      {936, 0, "\xD6\xD0\xCE\xC4", u"中文", kUnused, nullptr},
      {CP_UTF8, 0, std::string_view("G\xC3\xBC\0\xF0\x9F\x98\x80", 8),
       U16(u"G\u00FC\0\U0001F600", 5), kNone, nullptr},
      // No look-alikes (a-macron is not written as a); each unit of a pair is a default.
      {1252, WC_NO_BEST_FIT_CHARS, "\xE9????", u"\u00E9\u4E2D\u0101\U0001F600", kUsed, nullptr},
      {20127, WC_NO_BEST_FIT_CHARS, "A?", u"A\u00E9", kUsed, nullptr},
      {932, WC_NO_BEST_FIT_CHARS, "a?", u"a\u00A5", kUsed, nullptr},  // not the backslash's code
      {1252, 0, "a*", u"a\u4E2D", kNone, "*"},
      {932, 0, "a\x81\x45", u"a\u0101", kNone, "\x81\x45"},  // a double-byte default, whole
      {CP_UTF8, WC_ERR_INVALID_CHARS, "<error 1113>", U16(1, 0xDE00), kNone, nullptr},
      {CP_UTF8, WC_ERR_INVALID_CHARS, "\xF0\x9F\x98\x80", u"\U0001F600", kNone, nullptr},
      {kUnknownPage, 0, "<error 87>", u"a", kNone, nullptr},
      {CP_UTF8, 0, "<error 87>", u"a", kUnused, nullptr},
      {CP_UTF8, 0, "<error 87>", u"a", kNone, "?"},
      {CP_UTF8, WC_NO_BEST_FIT_CHARS, "<error 1004>", u"a", kNone, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.nPage << ": " << Hex(row.bytes));
    BOOL bUsed = 7;
    EXPECT_EQ(Hex(ToBytes(row.nPage, row.dwFlags & ~DWORD{MB_ERR_INVALID_CHARS}, row.units,
                          row.report == kNone ? nullptr : &bUsed, row.pszDefault)),
              Hex(row.bytes));
    if (row.bytes[0] == '<') continue;
    EXPECT_EQ(bUsed, row.report == kNone ? 7 : row.report == kUsed);
    if (row.report != kUsed && row.pszDefault == nullptr) {
      EXPECT_EQ(ToWide(row.nPage, row.dwFlags & MB_ERR_INVALID_CHARS, row.bytes), row.units);
    }
  }
}

// Only the served pages are valid (CP_ACP stands for the ANSI page but is
// none); every single-byte and double-byte code a page defines converts to one
// unit and back to a code of that unit, without a default or a look-alike;
// one code a page is known by (from its standard) reads as its character.
TEST(CodePageTest, EveryServedPageRoundTripsWhatItDefines) {
  const struct {
    UINT nPage;
    std::string_view code;
    WCHAR unit;
  } pages[] = {
      {437, "\xB0", 0x2591},     {737, "\x80", 0x0391},     {775, "\x80", 0x0106},
      {850, "\x9B", 0x00F8},     {852, "\xA4", 0x0104},     {855, "\x80", 0x0452},
      {857, "\x98", 0x0130},     {860, "\x84", 0x00E3},     {861, "\x8B", 0x00D0},
      {862, "\x80", 0x05D0},     {863, "\x84", 0x00C2},     {865, "\x9D", 0x00D8},
      {866, "\x80", 0x0410},     {874, "\xA1", 0x0E01},     {932, "\x82\xA0", 0x3042},
      {936, "\xB0\xA1", 0x554A}, {949, "\xB0\xA1", 0xAC00}, {950, "\xA4\x40", 0x4E00},
      {1250, "\xA5", 0x0104},    {1251, "\xC0", 0x0410},    {1252, "\x80", 0x20AC},
      {1253, "\xC1", 0x0391},    {1254, "\xD0", 0x011E},    {1255, "\xE0", 0x05D0},
      {1256, "\xC7", 0x0627},    {1257, "\xC0", 0x0104},    {1258, "\xD0", 0x0110},
      {10000, "\x80", 0x00C4},   {10007, "\x80", 0x0410},   {10021, "\xA1", 0x0E01},
      {10029, "\x81", 0x0100},   {20127, "A", 0x0041},      {20866, "\xC1", 0x0430},
      {21866, "\xA4", 0x0454},   {28591, "\xE9", 0x00E9},   {28592, "\xA1", 0x0104},
      {28595, "\xB0", 0x0410},   {28597, "\xC1", 0x0391},   {28599, "\xD0", 0x011E},
      {28603, "\xA1", 0x201D},   {28605, "\xA4", 0x20AC},
  };
  for (const auto& page : pages) {
    const UINT nPage = page.nPage;
    ASSERT_TRUE(IsValidCodePage(nPage)) << nPage;
    EXPECT_EQ(ToWide(nPage, MB_ERR_INVALID_CHARS, page.code), U16(1, page.unit)) << nPage;
    for (unsigned code = 0; code < 256 * 257; ++code) {
      std::string bytes(1, static_cast<char>(code / 257));
      if (code % 257 < 256) bytes += static_cast<char>(code % 257);
      const U16 unit = ToWide(nPage, MB_ERR_INVALID_CHARS, bytes);
      if (unit.size() != 1) continue;
      BOOL bUsed = TRUE;
      const std::string back = ToBytes(nPage, WC_NO_BEST_FIT_CHARS, unit, &bUsed);
      ASSERT_FALSE(bUsed) << nPage << ": " << Hex(bytes);
      ASSERT_EQ(ToWide(nPage, MB_ERR_INVALID_CHARS, back), unit) << nPage << ": " << Hex(bytes);
    }
  }
  // The user-defined areas read as private-use characters, row by row, at
  // the edges of each kind of row's trail bytes.
  const std::tuple<UINT, std::string_view, U16> areaEdges[] = {
      {949, "\xC9\xA1\xC9\xFE\xFE\xA1", u"\uE000\uE05D\uE05E"},
      {936, "\xA1\x40\xA1\x7E\xA1\x80\xA1\xA0\xA2\x40\xA2\xAB",
       u"\uE4C6\uE504\uE505\uE525\uE526\uE766"},
      {950, "\xFA\x40\xFA\x7E\xFA\xA1\xFA\xFE\xFB\x40\x8E\x40",
       u"\uE000\uE03E\uE03F\uE09C\uE09D\uE311"},
      {1361, "\xD8\x31\xD8\x7E\xD8\x91\xD8\xFE", u"\uE000\uE04D\uE04E\uE0BB"},
  };
  for (const auto& [nPage, codes, units] : areaEdges) {
    EXPECT_EQ(ToWide(nPage, MB_ERR_INVALID_CHARS, codes), units) << nPage;
    EXPECT_EQ(ToBytes(nPage, WC_NO_BEST_FIT_CHARS, units), codes) << nPage;
  }
  EXPECT_TRUE(IsValidCodePage(CP_UTF8));
  EXPECT_FALSE(IsValidCodePage(CP_ACP));
  EXPECT_FALSE(IsValidCodePage(kUnknownPage));
  EXPECT_EQ(ToWide(CP_ACP, 0, "caf\xE9 \x80"), ToWide(GetACP(), 0, "caf\xE9 \x80"));
}

// A whole conversion first tries room for its bound while the room at hand
// or a one-pass result holds it, else the room at hand.
TEST(OnePassRoom, IsTheBoundUpToTheRoomAtHandOrAOnePassResult) {
  EXPECT_EQ(OnePassRoom(kOnePassUnits, 0), kOnePassUnits);
  EXPECT_EQ(OnePassRoom(kOnePassUnits + 1LL, 0), 0);
  EXPECT_EQ(OnePassRoom(kOnePassUnits + 1LL, kOnePassUnits + 1), kOnePassUnits + 1);
  EXPECT_EQ(OnePassRoom(kOnePassUnits + 2LL, kOnePassUnits + 1), kOnePassUnits + 1);
}

// The two threads take turns through an atomic counter alone: a lock or a
// wait of the system's could itself set the thread's last error.
TEST(LastErrorTest, IsKeptPerThread) {
  std::atomic<int> turn{0};
  const auto awaitTurn = [&turn](int nTurn) {
    while (turn.load() != nTurn) {
    }
  };
  DWORD dwOtherThread = 0;
  std::thread other([&] {
    MultiByteToWideChar(kUnknownPage, 0, "a", 1, nullptr, 0);  // ERROR_INVALID_PARAMETER
    turn = 1;
    awaitTurn(2);
    dwOtherThread = GetLastError();
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    turn = 3;
  });
  awaitTurn(1);
  SetLastError(ERROR_INVALID_FLAGS);
  turn = 2;
  awaitTurn(3);
  const DWORD dwThisThread = GetLastError();
  other.join();
  EXPECT_EQ(dwOtherThread, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(dwThisThread, ERROR_INVALID_FLAGS);
}

constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// The run-time library's conversions between the locale's multibyte text and
// wide text in a UTF-8 locale: whole characters only, and what is not text
// refused. (The classic locale's one byte a unit is tested through the shell
// item export, which converts its paths and texts so.)
TEST(CrtLocale, ConvertsWholeCharactersOrRefusesWhatIsNotText) {
  EXPECT_EQ(wcstombs(nullptr, static_cast<const WCHAR*>(nullptr), 4), kFailed);
  EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), static_cast<const char*>(nullptr), 4), kFailed);
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  // A character that does not fit the room is not written at all.
  std::string bytes(4, '#');
  EXPECT_EQ(wcstombs(bytes.data(), u"\u00E9\U0001F600!", 4), 2u);
  EXPECT_EQ(bytes, "\xC3\xA9##");
  U16 units(4, u'#');
  EXPECT_EQ(mbstowcs(units.data(), "\xC3\xA9\xF0\x9F\x98\x80!", 2), 1u);
  EXPECT_EQ(units, u"\u00E9###");
  EXPECT_EQ(mbstowcs(units.data(), "\xC3\xA9\xF0\x9F\x98\x80!", 4), 4u);
  EXPECT_EQ(units, u"\u00E9\U0001F600!");
  EXPECT_EQ(wcstombs(nullptr, u"\u00E9\U0001F600!", 0), 7u);
  for (const char* text : {"a\xC3(", "a\xE2\x82"})
    EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), text, 0), kFailed);
  for (const U16& text : {U16{u'a', 0xDC00, u'b'}, U16{u'a', 0xD83D}})
    EXPECT_EQ(wcstombs(nullptr, text.c_str(), 0), kFailed);
  std::setlocale(LC_ALL, saved.c_str());
}

// The bytes the widest form of a kernel moves a step (AVX-512), and the
// length of three steps and one more.
constexpr std::size_t kWidestStep = 64;
constexpr std::size_t kLongest = 3 * kWidestStep + 1;
constexpr char kUntouched = '\x5A';

class SimdKernels : public ::testing::TestWithParam<SimdLevel> {
 protected:
  void SetUp() override { ASSERT_TRUE(ForceSimdLevel(GetParam())); }
  void TearDown() override { ForceSimdLevel(m_before); }

 private:
  SimdLevel m_before = ActiveSimdLevel();
};

// Texts of `n` ASCII units, starting `start` units into their buffer, with
// the unit `stop` at `at` when `at` < n.
template <class Unit>
std::vector<Unit> AsciiWithStop(std::size_t start, std::size_t n, std::size_t at, Unit stop) {
  std::vector<Unit> units(start + n + 1, Unit{'.'});
  for (std::size_t i = 0; i < n; ++i) units[start + i] = static_cast<Unit>('a' + i % 26);
  if (at < n) units[start + at] = stop;
  return units;
}

// Room for `n` units and one more, `shift` units past the start of a line
// of 64 bytes, filled with kUntouched.
template <class Unit>
Unit* RoomAfterLineStart(std::vector<Unit>& buffer, std::size_t n, std::size_t shift) {
  buffer.assign(n + 1 + shift + kWidestStep, static_cast<Unit>(kUntouched));
  void* p = buffer.data();
  std::size_t nSpace = buffer.size() * sizeof(Unit);
  return static_cast<Unit*>(std::align(kWidestStep, sizeof(Unit), p, nSpace)) + shift;
}

// Also writing around the caches, whose forms take whole lines between a
// head and a tail written through them: the output starts at a line, one
// unit after it, or one line's width of 32 units after it less one.
TEST_P(SimdKernels, AsciiRunsStopAtTheFirstOtherUnitAndWriteOnlyTheirRoom) {
  constexpr std::size_t kOutputShifts[] = {0, 1, 31};
  std::vector<char16_t> wideBuffer;
  std::vector<char> narrowBuffer;
  for (const simd::Stores stores : {simd::Stores::kThroughCaches, simd::Stores::kAroundCaches}) {
    for (std::size_t start = 0; start < 3; ++start) {
      for (std::size_t n = 0; n <= kLongest; ++n) {
        for (std::size_t at = 0; at <= n; ++at) {
          const auto bytes = AsciiWithStop<unsigned char>(start, n, at, 0x80 | (at * 37 % 128));
          const auto units = AsciiWithStop<char16_t>(start, n, at, at % 2 ? 0x80 : 0xFF00 + at);
          char16_t* const widened = RoomAfterLineStart(wideBuffer, n, kOutputShifts[start]);
          char* const narrowed = RoomAfterLineStart(narrowBuffer, n, kOutputShifts[start]);
          const unsigned char* p = bytes.data() + start;
          ASSERT_EQ(simd::AsciiPrefixLength(p, n), at) << start << " " << n;
          ASSERT_EQ(simd::WidenAscii(p, n, widened, stores), at) << start << " " << n;
          ASSERT_EQ(simd::NarrowAscii(units.data() + start, n, narrowed, stores), at) << start << n;
          ASSERT_EQ(std::u16string(widened, at), std::u16string(p, p + at)) << start << " " << n;
          ASSERT_EQ(std::string(narrowed, at), std::string(p, p + at)) << start << " " << n;
          ASSERT_EQ(widened[n], kUntouched) << start << " " << n;
          ASSERT_EQ(narrowed[n], kUntouched) << start << " " << n;
        }
      }
    }
  }
}

std::string Utf8Of(const char16_t* p, std::size_t nUnits) {
  std::string out;
  for (const char16_t* end = p + nUnits; p != end; ++p) {
    const unsigned unit = *p;
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += {static_cast<char>(0xC0 | unit >> 6), static_cast<char>(0x80 | (unit & 0x3F))};
    } else {
      out += {static_cast<char>(0xE0 | unit >> 12), static_cast<char>(0x80 | (unit >> 6 & 0x3F)),
              static_cast<char>(0x80 | (unit & 0x3F))};
    }
  }
  return out;
}

// Each encoder takes whole groups of its units only, up to the first other
// unit or the first group the room left may not hold, encodes them as UTF-8
// does, and keeps within any room.
TEST_P(SimdKernels, EncodersTakeWholeGroupsOfTheirUnitsAndKeepWithinTheRoom) {
  struct Encoder {
    simd::EncodedRun (*encode)(const char16_t*, std::size_t, char*, std::size_t) noexcept;
    char16_t units[8];  // of the encoder's kind (NUL among them), drawn by a hash
    char16_t other;
    std::size_t nStepRoom;  // the bytes a group may store
  };
  const Encoder encoders[] = {
      {simd::EncodeBelowU0800, {u'a', 0xE9, 0x7FF, 0x80, 0, 0x7F, 0x100, u'z'}, 0x800, 16},
      {simd::EncodeFromU0800, {0x800, 0x4E2D, 0xFFFF, u'7', 0, 0xD7FF, 0xE000, 0x7F}, 0xD800, 32},
      {simd::EncodeFromU0800, {0x800, 0x4E2D, 0xFFFF, u'7', 0, 0xD7FF, 0xE000, 0x7F}, 0x7FF, 32}};
  constexpr std::size_t kUnits = kLongest / 2 + 1;  // three steps of 32 units and one more
  for (const Encoder& encoder : encoders) {
    for (std::size_t at = 0; at <= kUnits; ++at) {
      std::u16string text(kUnits, u' ');
      for (std::uint32_t i = 0; i < kUnits; ++i)
        text[i] = encoder.units[static_cast<std::uint32_t>((i + 31 * at) * 2654435761U) >> 29];
      if (at < kUnits) text[at] = encoder.other;
      for (std::size_t nRoom : {0, 15, 16, 31, 32, 47, 48, 63, 64, 127, 128, 300}) {
        std::string out(nRoom + 1, kUntouched);
        const simd::EncodedRun run = encoder.encode(text.data(), kUnits, out.data(), nRoom);
        ASSERT_EQ(run.nUnits % simd::kEncodeGroupUnits, 0U) << at << " " << nRoom;
        ASSERT_LE(run.nUnits, at - at % simd::kEncodeGroupUnits) << at << " " << nRoom;
        ASSERT_TRUE(run.nUnits == at - at % simd::kEncodeGroupUnits ||
                    nRoom - run.nBytes < encoder.nStepRoom)
            << at << " " << nRoom;
        ASSERT_EQ(out.substr(0, run.nBytes), Utf8Of(text.data(), run.nUnits)) << at << " " << nRoom;
        ASSERT_EQ(out[nRoom], kUntouched) << at << " " << nRoom;
      }
    }
  }
}

// Each decoder takes steps of its sequences only (ASCII and two-byte ones;
// ASCII and three-byte ones), up to the first other byte (another length, or a
// sequence not well formed), the first step the room left may not hold or
// the last block of the text, decodes them as UTF-8 does, and keeps within
// any room.
TEST_P(SimdKernels, DecodersTakeStepsOfTheirSequencesUpToAnyOtherByteAndKeepWithinTheRoom) {
  struct Decoder {
    simd::DecodedRun (*decode)(const unsigned char*, std::size_t, char16_t*, std::size_t) noexcept;
    std::size_t nLongestStep;
    std::size_t nStepRoom;  // the units a step may store
  };
  const Decoder kTwoByte = {simd::DecodeBelowU0800, simd::kBlockBytes, simd::kBlockBytes};
  const Decoder kThreeByte = {simd::DecodeFromU0800, simd::kDecodeThreeByteStep, 8};
  // Each decoder, units of its kind (drawn in turn) and the stops put among them.
  const std::tuple<Decoder, std::u16string_view, std::vector<std::string_view>> rows[] = {
      {kTwoByte, u"a\u00E9\u07FF", {"\xE0\xA0\x80", "\x80", "\xC0\x80", "\xC3\x41", "\xC3\xC3"}},
      {kThreeByte,
       u"\u0800\u4E2D a\uD7FF\uE000\uFFFF\u4E8C",
       {"\x01\x80", "\xC3 ", "\xC3\xA9", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
        "\xF1\x9F\x98\x80", "\xE4\xB8\x61", "\xBF"}},
      // No ASCII, and mostly ASCII (more characters a step than half its bytes).
      {kThreeByte,
       u"\u0800\u4E2D\uD7FF\uE000\uFFFF",
       {"\xE0\x9F\xBF", "\xED\xA0\x80", "\xC3\xA9", "\x01\x80"}},
      {kThreeByte, u"ab\u4E2D", {"\x01\x80", "\xC3\xA9"}}};
  constexpr std::size_t kUnits = 3 * kWidestStep;
  for (const auto& [decoder, units, stops] : rows) {
    for (const std::string_view stop : stops) {
      for (std::size_t at = 0; at <= kUnits; ++at) {
        std::u16string text(kUnits, u' ');
        for (std::size_t i = 0; i < kUnits; ++i) text[i] = units[(i * 7 + at) % units.size()];
        const std::string before = Utf8Of(text.data(), at);
        // Ending right before the stop, with room for every unit: the steps
        // go on while a block's bytes are left to read.
        std::u16string all(kUnits + kWidestStep, kUntouched);
        const simd::DecodedRun whole =
            decoder.decode(reinterpret_cast<const unsigned char*>(before.data()), before.size(),
                           all.data(), all.size());
        ASSERT_LT(before.size() - whole.nBytes, simd::kBlockBytes) << at;
        const std::string bytes =
            before + std::string(stop) + Utf8Of(text.data() + at, kUnits - at);
        for (std::size_t nRoom : {0, 7, 8, 15, 16, 31, 32, 47, 48, 63, 64, 200}) {
          std::u16string out(nRoom + 1, kUntouched);
          const simd::DecodedRun run =
              decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             out.data(), nRoom);
          ASSERT_LE(run.nBytes, before.size()) << stop << " " << at << " " << nRoom;
          ASSERT_TRUE(run.nBytes + decoder.nLongestStep > before.size() ||
                      nRoom - run.nUnits < decoder.nStepRoom)
              << stop << " " << at << " " << nRoom;
          ASSERT_EQ(out.substr(0, run.nUnits), text.substr(0, run.nUnits)) << stop << " " << at;
          ASSERT_EQ(Utf8Of(text.data(), run.nUnits).size(), run.nBytes) << stop << " " << at;
          ASSERT_EQ(out[nRoom], kUntouched) << stop << " " << at << " " << nRoom;
        }
      }
    }
  }
}

// Each sequence, well formed or not, with what decoding gives (one U+FFFD
// per maximal invalid subsequence), at every place of four blocks among
// ASCII text and among characters of every length, and at the end: the
// decoder gives its units among the others', the validator and the encoder
// take the text exactly when the sequence encodes back to itself (a
// replacement never does), and the validating kernel takes a valid prefix
// ending with a whole character, from SSSE3 on all whole blocks of valid text
// but the character the last one ends in.
TEST_P(SimdKernels, Utf8SequencesDecodeAndValidateAtEveryPlaceOfABlock) {
  struct Piece {
    std::string_view utf8;
    U16 utf16;
  };
  std::vector<Piece> rows = {
      {std::string_view("a\0b", 3), U16(u"a\0b", 3)},
      {"\xC2\x80", u"\u0080"},
      {"\xDF\xBF\xE0\xA0\x80", u"\u07FF\u0800"},
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000"},  // around the surrogates
      {"\xF0\x90\x80\x80\xF1\x80\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U00040000\U0010FFFF"},
      // Cut short before a character, the leads at the ends of their ranges;
      // a continuation byte after a character; one too many.
      {"\xC2", {kFFFD}},
      {"\xC2\x41", u"\uFFFDA"},
      {"\xC2\xC2\x80", u"\uFFFD\u0080"},
      {"\xE1\x80", {kFFFD}},
      {"\xEF\xBF\x41", u"\uFFFDA"},
      {"\xF0\x9F\x98", {kFFFD}},
      {"\xF3\xBF\xBF\x41", u"\uFFFDA"},
      {"\xC3\xA9\xA9", u"\u00E9\uFFFD"},
      {"\xF1\x80\x80\x80\x80", u"\U00040000\uFFFD"}};
  // Sequences each byte of which decodes to a U+FFFD: continuation bytes
  // without a lead; C0 and C1, which never start one; bytes that start
  // nothing; overlong; the first and the last surrogate, encoded; past
  // U+10FFFF; a lead cut short by a byte that never continues one.
  for (const std::string_view bytes :
       {"\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xFF", "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80",
        "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80",
        "\xEF\xC0\x80"})
    rows.push_back({bytes, U16(bytes.size(), kFFFD)});
  const std::vector<Piece> fillers[] = {{{"a", u"a"}, {"b", u"b"}, {"c", u"c"}},
                                        {{"a", u"a"},
                                         {"\xC3\xA9", u"\u00E9"},
                                         {"\xE4\xB8\xAD", u"\u4E2D"},
                                         {"\xF0\x9F\x98\x80", u"\U0001F600"},
                                         {"\xDF\xBF", u"\u07FF"},
                                         {" ", u" "}}};
  const bool bTakesBlocks = GetParam() >= SimdLevel::kSsse3;
  // 60 to 64 pieces: among ASCII, sequences of every length end a 64-byte
  // block, inside the text and at its end.
  for (std::size_t nPlaces = 60; nPlaces <= 64; ++nPlaces) {
    for (const auto& filler : fillers) {
      for (const Piece& row : rows) {
        const bool bValid = Utf16ToUtf8(row.utf16) == row.utf8;
        for (std::size_t at = 0; at <= nPlaces; ++at) {
          std::string text;
          U16 units;
          for (std::size_t i = 0; i <= nPlaces; ++i) {
            if (i == at) text += row.utf8, units += row.utf16;
            if (i == nPlaces) break;
            const Piece& piece = filler[(i * 5 + at) % filler.size()];
            text += piece.utf8, units += piece.utf16;
          }
          ASSERT_EQ(Hex(Utf8ToUtf16(text)), Hex(units)) << Hex(text);
          ASSERT_EQ(IsValidUtf8(text), bValid) << Hex(text);
          if (bValid) {
            ASSERT_EQ(Hex(Utf16ToUtf8(units)), Hex(text));
          }
          const std::size_t n = simd::ValidUtf8Prefix(
              reinterpret_cast<const unsigned char*>(text.data()), text.size());
          const std::string prefix = text.substr(0, n);
          ASSERT_EQ(Utf16ToUtf8(Utf8ToUtf16(prefix)), prefix) << Hex(text);
          if (!bTakesBlocks) {
            ASSERT_EQ(n, 0U);
          } else if (bValid) {
            ASSERT_GE(n + 4, text.size() - text.size() % simd::kBlockBytes) << Hex(text);
          }
        }
      }
    }
  }
}

// The code-page encoder takes whole blocks of ASCII and bytes with two-byte
// forms, up to the block of the first other byte (a longer form, or a byte
// read as ASCII) or the first block met with less room than a block may
// store, converts them as the page does, and keeps within the room.
TEST_P(SimdKernels, PageEncoderTakesBlocksOfTwoByteFormsAndKeepsWithinTheRoom) {
  const struct {
    UINT nPage;
    unsigned char bytes[4];  // ASCII and two-byte forms, drawn by a hash
    unsigned char other;
  } pages[] = {{1252, {'a', 0xE9, 0x8A, 0xFF}, 0x80},
               {1251, {0xC0, 0xFF, 0xA8, '7'}, 0x96},
               {20127, {'a', 'z', ' ', '~'}, 0xC1}};
  for (const auto& page : pages) {
    for (std::size_t at = 0; at <= kLongest; ++at) {
      std::string text(kLongest, ' ');
      for (std::uint32_t i = 0; i < kLongest; ++i)
        text[i] = static_cast<char>(
            page.bytes[static_cast<std::uint32_t>((i + 31 * at) * 2654435761U) >> 30]);
      if (at < kLongest) text[at] = static_cast<char>(page.other);
      const auto utf8Of = [&](std::size_t nBytes) {
        const U16 units = ToWide(page.nPage, 0, text.substr(0, nBytes) + '.');
        return Utf8Of(units.data(), units.size() - 1);
      };
      for (std::size_t nRoom : {0, 47, 48, 64, 79, 80, 96, 127, 128, 300}) {
        std::size_t nTaken = 0;
        while (nTaken + simd::kBlockBytes <= at &&
               nRoom - utf8Of(nTaken).size() >= simd::kPageBlockReach)
          nTaken += simd::kBlockBytes;
        std::string out(nRoom + 1, kUntouched);
        const simd::EncodedRun run = simd::EncodePageBelowU0800(
            *SingleBytePageOf(page.nPage), reinterpret_cast<const unsigned char*>(text.data()),
            kLongest, out.data(), nRoom);
        ASSERT_EQ(run.nUnits, nTaken) << page.nPage << " " << at << " " << nRoom;
        ASSERT_EQ(out.substr(0, run.nBytes), utf8Of(nTaken)) << page.nPage << " " << at;
        ASSERT_EQ(out[nRoom], kUntouched) << page.nPage << " " << at << " " << nRoom;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, SimdKernels, ::testing::ValuesIn(AvailableSimdLevels()),
                         [](const auto& info) { return std::string(SimdLevelName(info.param)); });

// KXU_SIMD chose the level this program started with (ctest runs the
// conversion tests once a level): the level it names when the processor has
// it, the best one otherwise.
TEST(SimdLevel, TheEnvironmentChoosesTheStartingLevel) {
  const char* const pszWanted = std::getenv("KXU_SIMD");
  const std::vector<SimdLevel> levels = AvailableSimdLevels();
  SimdLevel expected = levels.back();
  for (const SimdLevel level : levels) {
    if (pszWanted != nullptr && SimdLevelName(level) == pszWanted) expected = level;
  }
  EXPECT_EQ(ActiveSimdLevel(), expected);
}

std::string AsciiLower(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// Both searches for `pattern` find in `text`, from every start, what
// std::string_view::find finds (the caseless one in the texts lowered).
void ExpectFindsWhatFindFinds(const std::string& pattern, const std::string& text) {
  const SubstringSearch<char> exact(pattern);
  const SubstringSearch<char, AsciiCaselessUnits> caseless(pattern);
  for (std::size_t nFrom = 0; nFrom <= text.size() + 1; ++nFrom) {
    ASSERT_EQ(exact.Find(text, nFrom), text.find(pattern, nFrom)) << text << '/' << pattern;
    ASSERT_EQ(caseless.Find(text, nFrom), AsciiLower(text).find(AsciiLower(pattern), nFrom))
        << text << '/' << pattern;
  }
}

// Every pattern of up to 4 bytes in every text of up to 5 over "abA\xC3":
// periodic and aperiodic patterns, repeats and near-repeats, both letter
// cases and a byte above 0x7F (negative as a char).
TEST(SubstringSearchTest, FindsWhatStringViewFindFindsWithAndWithoutCase) {
  std::vector<std::string> texts = {""};
  for (std::size_t i = 0; texts[i].size() < 5; ++i)
    for (const char c : std::string("abA\xC3")) texts.push_back(texts[i] + c);
  for (const std::string& pattern : texts) {
    if (pattern.size() > 4) break;
    for (const std::string& text : texts)
      ASSERT_NO_FATAL_FAILURE(ExpectFindsWhatFindFinds(pattern, text));
  }
  // Longer ones, at random: a factorization of the pattern that is not
  // critical misses matches only texts this long show.
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string pattern, text;
    for (auto k = 1 + rng() % 8; k > 0; --k) pattern += "abA"[rng() % 3];
    for (auto k = rng() % 24; k > 0; --k) text += "abA"[rng() % 3];
    ASSERT_NO_FATAL_FAILURE(ExpectFindsWhatFindFinds(pattern, text));
  }
  // The letters at both ends of the alphabet, and the bytes just outside it.
  const std::string edges = "@AZ[`az{";
  for (const char c : edges) {
    for (const char d : edges) ExpectFindsWhatFindFinds(std::string(1, d), std::string(1, c));
  }
}

// Units compared as they are, counting the comparisons.
struct CountedUnits {
  static inline std::size_t nComparisons = 0;
  static bool Same(char a, char b) { return ++nComparisons != 0 && a == b; }
  static bool Less(char a, char b) { return ++nComparisons != 0 && a < b; }
};

// Patterns that almost match everywhere: a search that tries every start
// compares about text x pattern bytes here.
TEST(SubstringSearchTest, ComparesInTimeLinearInTextAndPattern) {
  constexpr std::size_t n = 1 << 14;
  constexpr std::size_t m = 1 << 11;
  std::string ab;
  while (ab.size() < n) ab += "ab";
  const std::string as(n, 'a');
  // Text, pattern.
  const std::pair<std::string, std::string> rows[] = {{as, std::string(m, 'a') + 'b'},
                                                      {as, 'b' + std::string(m, 'a')},
                                                      {ab, ab.substr(0, m) + 'c'},
                                                      {ab, ab.substr(0, m) + 'b'},
                                                      {as + 'b', std::string(m, 'a') + 'b'}};
  for (const auto& [text, pattern] : rows) {
    CountedUnits::nComparisons = 0;
    const SubstringSearch<char, CountedUnits> search(pattern);
    EXPECT_EQ(search.Find(text), text.find(pattern));
    EXPECT_LE(CountedUnits::nComparisons, 2 * n + 4 * m) << pattern.substr(0, 8);
  }
}

// Every start (aligned to the scan's blocks or not) and every NUL position
// over three of the widest blocks, against a unit-by-unit scan's answers,
// with bounds before, at and past the NUL, and with none (the length scan).
TEST_P(SimdKernels, NulScanAgreesWithAUnitByUnitScanAtEveryStartAndEnd) {
  constexpr std::size_t kUnits = 3 * kWidestStep / 2;
  std::vector<char16_t> units(kUnits * 2);
  for (std::size_t start = 0; start < kWidestStep / 2; ++start) {
    for (std::size_t nul = start; nul < start + kUnits; ++nul) {
      std::fill(units.begin(), units.end(), u'\u0100');
      units[nul] = 0;
      const char16_t* p = units.data() + start;
      ASSERT_EQ(NulTerminatedLength(p), nul - start) << start << " " << nul;
      for (std::size_t bound : {nul - start - 1, nul - start, nul - start + 1, kUnits})
        ASSERT_EQ(FindNul(p, bound), std::min(nul - start, bound)) << start << " " << nul;
    }
  }
}

}  // namespace
