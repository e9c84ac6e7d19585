#include <kxutils96/platform/crt/crt_locale.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

using U16 = std::basic_string<WCHAR>;
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);
constexpr char kFill = '#';
constexpr WCHAR kWideFill = u'#';

// Sets the process's locale for one test and puts the former one back.
class LocaleTest : public ::testing::Test {
 protected:
  void SetUp() override { m_saved = std::setlocale(LC_ALL, nullptr); }
  void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

  static void UseClassicLocale() { ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr); }
  // False (the test is to be skipped) when the system has no UTF-8 locale.
  static bool UseUtf8Locale() { return std::setlocale(LC_ALL, "C.UTF-8") != nullptr; }

 private:
  std::string m_saved;
};

// The bytes wcstombs writes into a buffer of `count`, with the unwritten ones
// shown as '#', and its result.
std::pair<std::size_t, std::string> Narrow(const U16& text, std::size_t count) {
  std::string buffer(count + 2, kFill);
  const std::size_t n = wcstombs(buffer.data(), text.c_str(), count);
  return {n, buffer};
}

std::pair<std::size_t, U16> Widen(const char* psz, std::size_t count) {
  U16 buffer(count + 2, kWideFill);
  const std::size_t n = mbstowcs(buffer.data(), psz, count);
  return {n, buffer};
}

using CrtLocale = LocaleTest;

TEST_F(CrtLocale, ClassicLocaleMapsBytesToUnitsOfTheSameValue) {
  UseClassicLocale();
  EXPECT_EQ(Widen("a\xE9\x80", 4), std::make_pair(std::size_t{3}, U16(u"a\u00E9\u0080\0##", 6)));
  EXPECT_EQ(Narrow(u"a\u00E9\u00FF", 4),
            std::make_pair(std::size_t{3}, std::string("a\xE9\xFF\0##", 6)));
}

TEST_F(CrtLocale, ClassicLocaleStopsAtAUnitAboveFF) {
  UseClassicLocale();
  EXPECT_EQ(Narrow(u"ab\u0100c", 5), std::make_pair(kFailed, std::string("ab#####")));
  EXPECT_EQ(wcstombs(static_cast<char*>(nullptr), u"\u20AC", 0), kFailed);
}

TEST_F(CrtLocale, BufferSizeDecidesWhetherTheTerminatorIsWritten) {
  UseClassicLocale();
  struct Case {
    std::size_t count;
    std::size_t expected;
    std::string bytes;
  };
  const Case kCases[] = {
      {0, 0, "##"},
      {1, 1, "S##"},
      {4, 4, "Suns##"},
      {6, 6, "Sunset##"},
      {7, 6, std::string("Sunset\0##", 9)},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Narrow(u"Sunset", c.count), std::make_pair(c.expected, c.bytes)) << c.count;
  }
  EXPECT_EQ(Widen("Sunset", 4), std::make_pair(std::size_t{4}, U16(u"Suns##")));
  EXPECT_EQ(Widen("", 1), std::make_pair(std::size_t{0}, U16(u"\0##", 3)));
}

TEST_F(CrtLocale, NullBufferCountsTheWholeText) {
  UseClassicLocale();
  EXPECT_EQ(wcstombs(static_cast<char*>(nullptr), u"Sunset", 2), 6u);
  EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), "Sunset", 2), 6u);
}

TEST_F(CrtLocale, NullSourceFails) {
  char buffer[4] = "##";
  WCHAR wide[4] = u"##";
  EXPECT_EQ(wcstombs(buffer, static_cast<const WCHAR*>(nullptr), 4), kFailed);
  EXPECT_EQ(mbstowcs(wide, static_cast<const char*>(nullptr), 4), kFailed);
  EXPECT_STREQ(buffer, "##");
}

TEST_F(CrtLocale, Utf8LocaleConvertsWholeCharactersOnly) {
  if (!UseUtf8Locale()) GTEST_SKIP() << "the system has no C.UTF-8 locale";
  const char* const pszText = "\xC3\xA9\xF0\x9F\x98\x80!";  // é, U+1F600, !
  const U16 wide = u"\u00E9\U0001F600!";
  EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), pszText, 0), 4u);
  EXPECT_EQ(Widen(pszText, 5), std::make_pair(std::size_t{4}, wide + U16(u"\0##", 3)));
  // The pair does not fit in two units after é: nothing of it is written.
  EXPECT_EQ(Widen(pszText, 2), std::make_pair(std::size_t{1}, U16(u"\u00E9###")));
  EXPECT_EQ(wcstombs(static_cast<char*>(nullptr), wide.c_str(), 0), 7u);
  EXPECT_EQ(Narrow(wide, 8),
            std::make_pair(std::size_t{7}, std::string(pszText) + std::string("\0##", 3)));
  EXPECT_EQ(Narrow(wide, 5), std::make_pair(std::size_t{2}, std::string("\xC3\xA9#####")));
}

TEST_F(CrtLocale, Utf8LocaleRejectsWhatIsNotText) {
  if (!UseUtf8Locale()) GTEST_SKIP() << "the system has no C.UTF-8 locale";
  EXPECT_EQ(Widen("a\xC3(", 4).first, kFailed);
  EXPECT_EQ(Widen("a\xE2\x82", 4).first, kFailed) << "a sequence cut short by the end";
  EXPECT_EQ(Narrow(U16(u"a") + WCHAR(0xDC00) + u"b", 4),
            std::make_pair(kFailed, std::string("a#####")));
  EXPECT_EQ(Narrow(U16(u"a") + WCHAR(0xD83D), 4).first, kFailed) << "a high half at the end";
  EXPECT_EQ(Narrow(U16(u"a") + WCHAR(0xD83D) + u"b", 4).first, kFailed);
}

}  // namespace
