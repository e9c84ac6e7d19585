// Shell items over POSIX: why a creation fails, and the properties read from
// the file's user extended attributes.
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include <kxutils96/platform/win32/win_error.h>

#include "platform/shell_items_fixture.h"
#include "support/user_xattr.h"

namespace {

using kxu::test::kNotFound;
using kxu::test::SetUserXattr;
using kxu::test::ShellItems;
using kxu::test::Ticks;
using kxu::test::U16;
using kxu::test::Wide;

TEST_F(ShellItems, CreationTellsWhyNothingIsThere) {
  struct Case {
    std::filesystem::path path;
    HRESULT expected;
  };
  const Case kCases[] = {
      {m_dir.Path("missing.txt"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
      {m_dir.Path("missing/photo.txt"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
      {m_file / "inside", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
  };
  for (const Case& c : kCases) {
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(SHCreateItemFromParsingName(Wide(c.path).c_str(), nullptr, IID_IShellItem, &pv),
              c.expected)
        << c.path;
    EXPECT_EQ(pv, nullptr);
  }
}

TEST_F(ShellItems, AttributesGiveTheTexts) {
  RequireUserXattrs();
  ASSERT_TRUE(SetUserXattr(m_file, "user.dublincore.title", "Sunset"));
  ASSERT_TRUE(SetUserXattr(m_file, "user.kxutils96.subtitle", "Caf\xC3\xA9"));
  ASSERT_TRUE(SetUserXattr(m_file, "user.xdg.comment", ""));
  EXPECT_EQ(Text(PKEY_Title), std::make_pair(S_OK, U16(u"Sunset")));
  EXPECT_EQ(Text(PKEY_Media_SubTitle), std::make_pair(S_OK, U16(u"Caf\u00E9")));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(S_OK, U16()));
}

TEST_F(ShellItems, BytesThatAreNotUtf8BecomeReplacementCharacters) {
  RequireUserXattrs();
  ASSERT_TRUE(SetUserXattr(m_file, "user.xdg.comment", "a\xFF"));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(S_OK, U16(u"a\uFFFD")));
}

TEST_F(ShellItems, AbsentAttributesAreAbsentProperties) {
  EXPECT_EQ(Text(PKEY_Title), std::make_pair(kNotFound, U16(u"<null>")));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(kNotFound, U16(u"<null>")));
  EXPECT_EQ(Number(PKEY_Rating), std::make_pair(kNotFound, ULONG{0}));
}

TEST_F(ShellItems, KeysWithoutASourceAreAbsent) {
  constexpr PROPERTYKEY kAuthor = {PKEY_Title.fmtid, 4};
  EXPECT_EQ(Text(kAuthor).first, kNotFound);
  FILETIME time{};
  EXPECT_EQ(m_item.p->GetFileTime(kAuthor, &time), kNotFound);
}

TEST_F(ShellItems, RatingIsReadOnTheDesktopScale) {
  RequireUserXattrs();
  struct Case {
    const char* attribute;
    HRESULT hr;
    ULONG value;
  };
  const Case kCases[] = {
      {"0", S_OK, 0},  {"6", S_OK, 50},  {"10", S_OK, 99},  {"3", S_OK, 13},   {"11", E_FAIL, 0},
      {"", E_FAIL, 0}, {"x", E_FAIL, 0}, {" 6", E_FAIL, 0}, {"-1", E_FAIL, 0}, {"100", E_FAIL, 0},
  };
  for (const Case& c : kCases) {
    ASSERT_TRUE(SetUserXattr(m_file, "user.baloo.rating", c.attribute));
    EXPECT_EQ(Number(PKEY_Rating), std::make_pair(c.hr, c.value)) << '"' << c.attribute << '"';
  }
}

TEST_F(ShellItems, EachPropertyIsGivenInItsOwnFormOnly) {
  RequireUserXattrs();
  ASSERT_TRUE(SetUserXattr(m_file, "user.dublincore.title", "7"));
  ASSERT_TRUE(SetUserXattr(m_file, "user.baloo.rating", "8"));
  EXPECT_EQ(Number(PKEY_Title), std::make_pair(E_FAIL, ULONG{0}));
  EXPECT_EQ(Text(PKEY_Rating), std::make_pair(E_FAIL, U16(u"<null>")));
  EXPECT_EQ(Text(PKEY_DateModified).first, E_FAIL);
  FILETIME time{1, 1};
  EXPECT_EQ(m_item.p->GetFileTime(PKEY_Title, &time), E_FAIL);
  EXPECT_EQ(Ticks(time), 0u);
  BOOL b = TRUE;
  EXPECT_EQ(m_item.p->GetBool(PKEY_Rating, &b), E_FAIL);
  EXPECT_EQ(b, FALSE);
  EXPECT_EQ(m_item.p->GetBool(PKEY_Comment, &b), kNotFound) << "absent before any form";
}

TEST_F(ShellItems, PropertiesAreReadAtEachCall) {
  RequireUserXattrs();
  EXPECT_EQ(Text(PKEY_Title).first, kNotFound);
  ASSERT_TRUE(SetUserXattr(m_file, "user.dublincore.title", "Later"));
  EXPECT_EQ(Text(PKEY_Title), std::make_pair(S_OK, U16(u"Later")));
  std::filesystem::remove(m_file);
  FILETIME time{};
  EXPECT_EQ(m_item.p->GetFileTime(PKEY_DateModified, &time),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
      << "a file that went away is a failure, not an absent property";
  EXPECT_EQ(Text(PKEY_Title).first, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

}  // namespace
