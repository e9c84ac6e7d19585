// The run-time library's conversions between the locale's multibyte text and
// wide text in a UTF-8 locale: whole characters only, and what is not text
// refused. (The classic locale's one byte a unit is tested through the shell
// item export, which converts its paths and texts so.)
#include <kxutils96/platform/crt/crt_locale.h>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using U16 = std::basic_string<WCHAR>;
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

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

}  // namespace
