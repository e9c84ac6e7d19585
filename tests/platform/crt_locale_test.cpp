// The run-time library's conversions between the locale's multibyte text and
// wide text, which the shell items use for paths and property texts: in the
// classic locale one byte a unit, in a UTF-8 locale whole characters only.
#include <kxutils96/platform/crt/crt_locale.h>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using U16 = std::basic_string<WCHAR>;
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// Sets the process's locale for one test and puts the former one back.
class CrtLocale : public ::testing::Test {
 protected:
  void SetUp() override { m_saved = std::setlocale(LC_ALL, nullptr); }
  void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

 private:
  std::string m_saved;
};

// A call's result and its buffer of `count` units and two more, unwritten
// ones shown as '#'.
std::pair<std::size_t, std::string> Narrow(const U16& text, std::size_t count) {
  std::string buffer(count + 2, '#');
  return {wcstombs(buffer.data(), text.c_str(), count), buffer};
}

std::pair<std::size_t, U16> Widen(const std::string& text, std::size_t count) {
  U16 buffer(count + 2, u'#');
  return {mbstowcs(buffer.data(), text.c_str(), count), buffer};
}

TEST_F(CrtLocale, ConvertsWholeCharactersIntoTheRoomGiven) {
  const struct {
    const char* locale;
    std::string bytes;
    U16 units;
    std::size_t count, nNarrowed;
    std::string narrowed;  // the bytes buffer after narrowing `units`
    std::size_t nWidened;
    U16 widened;  // the units buffer after widening `bytes`
  } rows[] = {
      {"C", "a\xE9\x80", u"a\u00E9\u0080", 4, 3, std::string("a\xE9\x80\0##", 6), 3,
       U16(u"a\u00E9\u0080\0##", 6)},
      {"C", "Sunset", u"Sunset", 4, 4, "Suns##", 4, u"Suns##"},
      {"C", "Sunset", u"Sunset", 6, 6, "Sunset##", 6, u"Sunset##"},
      {"C.UTF-8", "\xC3\xA9\xF0\x9F\x98\x80!", u"\u00E9\U0001F600!", 8, 7,
       std::string("\xC3\xA9\xF0\x9F\x98\x80!\0##", 10), 4, U16(u"\u00E9\U0001F600!\0#####", 10)},
      // A character that does not fit is not written at all.
      {"C.UTF-8", "\xC3\xA9\xF0\x9F\x98\x80!", u"\u00E9\U0001F600!", 2, 2, "\xC3\xA9##", 1,
       u"\u00E9###"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.locale << " " << row.bytes << " " << row.count);
    if (std::setlocale(LC_ALL, row.locale) == nullptr) GTEST_SKIP() << "no " << row.locale;
    EXPECT_EQ(Narrow(row.units, row.count), std::make_pair(row.nNarrowed, row.narrowed));
    EXPECT_EQ(Widen(row.bytes, row.count), std::make_pair(row.nWidened, row.widened));
    EXPECT_EQ(wcstombs(static_cast<char*>(nullptr), row.units.c_str(), 0), row.bytes.size());
    EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), row.bytes.c_str(), 0), row.units.size());
  }
}

TEST_F(CrtLocale, RefusesWhatIsNotTextInTheLocale) {
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  EXPECT_EQ(Narrow(u"ab\u0100c", 4).first, kFailed);
  char buffer[4] = "##";
  EXPECT_EQ(wcstombs(buffer, static_cast<const WCHAR*>(nullptr), 4), kFailed);
  EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), static_cast<const char*>(nullptr), 4), kFailed);
  EXPECT_STREQ(buffer, "##");
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8";
  for (const char* bytes : {"a\xC3(", "a\xE2\x82"}) EXPECT_EQ(Widen(bytes, 4).first, kFailed);
  for (const U16& units : {U16{u'a', 0xDC00, u'b'}, U16{u'a', 0xD83D}})
    EXPECT_EQ(Narrow(units, 4).first, kFailed);
}

}  // namespace
