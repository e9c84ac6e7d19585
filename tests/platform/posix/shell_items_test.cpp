// Shell items over POSIX: the modification time read from the file to the
// tick, and the properties read from its user extended attributes at each
// call. (Which form each property has is tested through the shell item export.)
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include <kxutils96/platform/win32/win_error.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace {

using kxu::test::SetUserXattr;
using U16 = std::basic_string<WCHAR>;
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490u);

class ShellItems : public ::testing::Test {
 protected:
  void SetUp() override {
    kxu::test::WriteBytes(m_file, "pixels");
    void* pv = nullptr;
    ASSERT_EQ(
        SHCreateItemFromParsingName(m_file.u16string().c_str(), nullptr, IID_IShellItem2, &pv),
        S_OK);
    m_pItem = static_cast<IShellItem2*>(pv);
  }
  void TearDown() override {
    if (m_pItem != nullptr) m_pItem->Release();
  }

  // GetString's result and text (or "<null>").
  std::pair<HRESULT, U16> Text(const PROPERTYKEY& key) {
    LPWSTR psz = reinterpret_cast<LPWSTR>(1);
    const HRESULT hr = m_pItem->GetString(key, &psz);
    std::pair<HRESULT, U16> result{hr, psz == nullptr ? U16(u"<null>") : U16(psz)};
    CoTaskMemFree(psz);
    return result;
  }

  std::string XattrsUnsupported() const { return kxu::test::UserXattrsUnsupported(m_dir.Path()); }

  kxu::test::TempDir m_dir;
  std::filesystem::path m_file = m_dir.Path("photo.txt");
  IShellItem2* m_pItem = nullptr;
};

TEST_F(ShellItems, ModificationTimeIsTheFilesInFileTimeTicks) {
  // 2021-03-04 05:06:07.123456789 UTC, in 100 ns steps since 1601.
  const auto when = std::chrono::sys_time<std::chrono::nanoseconds>(
      std::chrono::seconds(1614834367) + std::chrono::nanoseconds(123456789));
  std::filesystem::last_write_time(m_file, std::chrono::file_clock::from_sys(when));
  FILETIME time{};
  ASSERT_EQ(m_pItem->GetFileTime(PKEY_DateModified, &time), S_OK);
  EXPECT_EQ((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, 132593079671234567u);
}

TEST_F(ShellItems, AttributesGiveTheTextsAndAbsentOnesAbsentProperties) {
  EXPECT_EQ(Text(PKEY_Title), std::make_pair(kNotFound, U16(u"<null>")));
  constexpr PROPERTYKEY kAuthor = {PKEY_Title.fmtid, 4};  // a key without a source
  EXPECT_EQ(Text(kAuthor).first, kNotFound);
  if (const std::string why = XattrsUnsupported(); !why.empty()) GTEST_SKIP() << why;
  ASSERT_TRUE(SetUserXattr(m_file, "user.xdg.comment", "a\xFF"));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(S_OK, U16(u"a\uFFFD")));
  ASSERT_TRUE(SetUserXattr(m_file, "user.xdg.comment", ""));
  EXPECT_EQ(Text(PKEY_Comment), std::make_pair(S_OK, U16()));
  std::filesystem::remove(m_file);  // a file that went away is a failure, not an absent property
  EXPECT_EQ(Text(PKEY_Title).first, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

// The rating attribute holds the desktop's half stars, 0 to 10, in digits;
// without it the rating is absent.
TEST_F(ShellItems, RatingIsReadOnTheDesktopScale) {
  if (const std::string why = XattrsUnsupported(); !why.empty()) GTEST_SKIP() << why;
  const struct {
    const char* attribute;
    HRESULT hr;
    ULONG value;
  } rows[] = {{nullptr, kNotFound, 0}, {"0", S_OK, 0},  {"3", S_OK, 13},  {"10", S_OK, 99},
              {"11", E_FAIL, 0},       {"", E_FAIL, 0}, {"x", E_FAIL, 0}, {"100", E_FAIL, 0}};
  for (const auto& row : rows) {
    ASSERT_TRUE(row.attribute == nullptr ||
                SetUserXattr(m_file, "user.baloo.rating", row.attribute));
    ULONG n = 12345;
    EXPECT_EQ(m_pItem->GetUInt32(PKEY_Rating, &n), row.hr) << row.attribute;
    EXPECT_EQ(n, row.value) << row.attribute;
  }
}

}  // namespace
