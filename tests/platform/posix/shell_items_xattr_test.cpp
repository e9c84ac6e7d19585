// Shell items over POSIX: the properties read from the file's user extended
// attributes at each call. (Which form each property has is tested through
// the shell item export.)
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include <kxutils96/platform/win32/win_error.h>

#include "platform/shell_items_fixture.h"
#include "support/user_xattr.h"

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490u);

using kxu::test::SetUserXattr;
using kxu::test::ShellItems;
using kxu::test::U16;

// (The attributes of each text are tested through the shell item export.)
TEST_F(ShellItems, AttributesGiveTheTextsAndAbsentOnesAbsentProperties) {
  EXPECT_EQ(Text(PKEY_Title), std::make_pair(kNotFound, U16(u"<null>")));
  EXPECT_EQ(Number(PKEY_Rating), std::make_pair(kNotFound, ULONG{0}));
  constexpr PROPERTYKEY kAuthor = {PKEY_Title.fmtid, 4};  // a key without a source
  EXPECT_EQ(Text(kAuthor).first, kNotFound);
  if (const std::string why = kxu::test::UserXattrsUnsupported(m_dir.Path()); !why.empty())
    GTEST_SKIP() << why;
  ASSERT_TRUE(SetUserXattr(m_file, "user.xdg.comment", "a\xFF"));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(S_OK, U16(u"a\uFFFD")));
  ASSERT_TRUE(SetUserXattr(m_file, "user.xdg.comment", ""));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(S_OK, U16()));
  std::filesystem::remove(m_file);  // a file that went away is a failure, not an absent property
  EXPECT_EQ(Text(PKEY_Title).first, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

// The rating attribute holds the desktop's half stars, 0 to 10, in digits.
TEST_F(ShellItems, RatingIsReadOnTheDesktopScale) {
  if (const std::string why = kxu::test::UserXattrsUnsupported(m_dir.Path()); !why.empty())
    GTEST_SKIP() << why;
  const struct {
    const char* attribute;
    HRESULT hr;
    ULONG value;
  } rows[] = {{"0", S_OK, 0},  {"3", S_OK, 13},  {"10", S_OK, 99},  {"11", E_FAIL, 0},
              {"", E_FAIL, 0}, {"x", E_FAIL, 0}, {"100", E_FAIL, 0}};
  for (const auto& row : rows) {
    ASSERT_TRUE(SetUserXattr(m_file, "user.baloo.rating", row.attribute));
    EXPECT_EQ(Number(PKEY_Rating), std::make_pair(row.hr, row.value))
        << '"' << row.attribute << '"';
  }
}

}  // namespace
