// Shell items over POSIX: the modification time read from the file to the
// tick, and the rating read from its user extended attributes at each call.
// (The texts and which form each property has are tested through the shell
// item export.)
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include <kxutils96/platform/win32/win_error.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace {

using kxu::test::SetUserXattr;
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

// A key without a source is absent; a file that went away is a failure.
TEST_F(ShellItems, AKeyWithoutASourceIsAbsentAndAFileGoneFails) {
  LPWSTR psz = nullptr;
  constexpr PROPERTYKEY kAuthor = {PKEY_Title.fmtid, 4};
  EXPECT_EQ(m_pItem->GetString(kAuthor, &psz), kNotFound);
  std::filesystem::remove(m_file);
  EXPECT_EQ(m_pItem->GetString(PKEY_Title, &psz), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
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
