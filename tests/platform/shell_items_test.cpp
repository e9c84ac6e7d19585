// Shell items on every system: creation, interfaces, references and the
// file's times. The property sources of one system are tested in its own
// subfolder.
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>

#include "platform/shell_items_fixture.h"
#include "support/shell_reads.h"

namespace {

using kxu::test::ShellItems;
using kxu::test::Ticks;
using kxu::test::U16;
using kxu::test::Wide;

TEST(ShellRating, DesktopHalfStarsMapOntoTheShellScale) {
  constexpr ULONG kExpected[] = {0, 1, 1, 13, 25, 38, 50, 63, 75, 88, 99, 99, 99};
  for (ULONG n = 0; n < std::size(kExpected); ++n) {
    EXPECT_EQ(kxu::platform::ShellRatingOfDesktopRating(n), kExpected[n]) << n;
  }
}

TEST_F(ShellItems, CreationRejectsBadArguments) {
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(SHCreateItemFromParsingName(Wide(m_file).c_str(), nullptr, IID_IShellItem, nullptr),
            E_POINTER);
  EXPECT_EQ(SHCreateItemFromParsingName(nullptr, nullptr, IID_IShellItem, &pv), E_INVALIDARG);
  EXPECT_EQ(pv, nullptr);
  pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(SHCreateItemFromParsingName(u"", nullptr, IID_IShellItem, &pv), E_INVALIDARG);
  EXPECT_EQ(pv, nullptr);
  constexpr IID kOther = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  EXPECT_EQ(SHCreateItemFromParsingName(Wide(m_file).c_str(), nullptr, kOther, &pv), E_NOINTERFACE);
  EXPECT_EQ(pv, nullptr);
}

TEST_F(ShellItems, BackslashesSeparateFolders) {
  U16 path = Wide(m_file);
  std::replace(path.begin(), path.end(), u'/', u'\\');
  void* pv = nullptr;
  ASSERT_EQ(SHCreateItemFromParsingName(path.c_str(), nullptr, IID_IShellItem, &pv), S_OK);
  static_cast<IShellItem*>(pv)->Release();
}

TEST_F(ShellItems, InterfacesShareOneReferenceCount) {
  void* pv = nullptr;
  ASSERT_EQ(m_item.p->QueryInterface(IID_IShellItem, &pv), S_OK);
  auto* pItem = static_cast<IShellItem*>(pv);
  EXPECT_EQ(pItem->AddRef(), 3u);
  EXPECT_EQ(pItem->Release(), 2u);
  EXPECT_EQ(pItem->Release(), 1u);
  ASSERT_EQ(m_item.p->QueryInterface(IID_IUnknown, &pv), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(pv)->Release(), 1u);
  constexpr IID kOther = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(m_item.p->QueryInterface(kOther, &pv), E_NOINTERFACE);
  EXPECT_EQ(pv, nullptr);
  EXPECT_EQ(m_item.p->QueryInterface(IID_IShellItem, nullptr), E_POINTER);
}

TEST_F(ShellItems, ModificationTimeIsTheFilesInFileTimeTicks) {
  if (!kxu::test::ShellReadsProperties(m_file)) {
    // The system's E_NOTIMPL comes back unchanged, with the time zeroed.
    FILETIME time{1, 1};
    EXPECT_EQ(m_item.p->GetFileTime(PKEY_DateModified, &time), E_NOTIMPL);
    EXPECT_EQ(Ticks(time), 0u);
    GTEST_SKIP() << kxu::test::kShellReadsNoProperties;
  }
  using std::chrono::file_clock;
  struct Case {
    std::chrono::nanoseconds sinceUnixEpoch;
    std::uint64_t ticks;
  };
  const Case kCases[] = {
      {std::chrono::nanoseconds(0), 116444736000000000u},
      {std::chrono::seconds(1614834367) + std::chrono::nanoseconds(123456789), 132593079671234567u},
  };
  for (const Case& c : kCases) {
    const auto when = std::chrono::sys_time<std::chrono::nanoseconds>(c.sinceUnixEpoch);
    std::filesystem::last_write_time(m_file, file_clock::from_sys(when));
    FILETIME time{};
    ASSERT_EQ(m_item.p->GetFileTime(PKEY_DateModified, &time), S_OK);
    EXPECT_EQ(Ticks(time), c.ticks);
  }
}

TEST_F(ShellItems, CreationTimeIsTheBirthTimeWhereTheFileSystemKeepsOne) {
  if (!kxu::test::ShellReadsProperties(m_file)) GTEST_SKIP() << kxu::test::kShellReadsNoProperties;
  FILETIME time{};
  const HRESULT hr = m_item.p->GetFileTime(PKEY_DateCreated, &time);
  if (hr == kxu::test::kNotFound) GTEST_SKIP() << "the file system records no birth times";
  ASSERT_EQ(hr, S_OK);
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto nowTicks = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100 + 116444736000000000);
  constexpr std::uint64_t kMinute = 600000000;
  EXPECT_LT(nowTicks - Ticks(time), kMinute) << "the file was made just now";
}

TEST_F(ShellItems, NullOutPointersAreRefused) {
  EXPECT_EQ(m_item.p->GetString(PKEY_Title, nullptr), E_POINTER);
  EXPECT_EQ(m_item.p->GetUInt32(PKEY_Rating, nullptr), E_POINTER);
  EXPECT_EQ(m_item.p->GetBool(PKEY_Title, nullptr), E_POINTER);
  EXPECT_EQ(m_item.p->GetFileTime(PKEY_DateModified, nullptr), E_POINTER);
}

}  // namespace
