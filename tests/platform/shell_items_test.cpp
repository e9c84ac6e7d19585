#include <kxutils96/platform/shell_items.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include <kxutils96/platform/unicode.h>
#include <kxutils96/platform/win_error.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace {

using U16 = std::basic_string<WCHAR>;
using kxu::test::SetUserXattr;
using kxu::test::TempDir;
using kxu::test::WriteBytes;

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490u);

U16 Wide(const std::filesystem::path& path) {
  return kxu::platform::Utf8ToUtf16(path.string());
}

std::uint64_t Ticks(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Releases the item when the test ends.
struct ItemHolder {
  IShellItem2* p = nullptr;
  ~ItemHolder() {
    if (p != nullptr) p->Release();
  }
};

// A file in a fresh folder, and its shell item.
class ShellItems : public ::testing::Test {
 protected:
  void SetUp() override {
    m_file = m_dir.Path("photo.txt");
    WriteBytes(m_file, "pixels");
    void* pv = nullptr;
    ASSERT_EQ(SHCreateItemFromParsingName(Wide(m_file).c_str(), nullptr, IID_IShellItem2, &pv),
              S_OK);
    m_item.p = static_cast<IShellItem2*>(pv);
  }

  void RequireUserXattrs() {
    const std::string why = kxu::test::UserXattrsUnsupported(m_dir.Path());
    if (!why.empty()) GTEST_SKIP() << why;
  }

  // GetString's result and text (or "<null>").
  std::pair<HRESULT, U16> Text(const PROPERTYKEY& key) {
    LPWSTR psz = reinterpret_cast<LPWSTR>(1);
    const HRESULT hr = m_item.p->GetString(key, &psz);
    std::pair<HRESULT, U16> result{hr, psz == nullptr ? U16(u"<null>") : U16(psz)};
    CoTaskMemFree(psz);
    return result;
  }

  std::pair<HRESULT, ULONG> Number(const PROPERTYKEY& key) {
    ULONG n = 12345;
    const HRESULT hr = m_item.p->GetUInt32(key, &n);
    return {hr, n};
  }

  TempDir m_dir;
  std::filesystem::path m_file;
  ItemHolder m_item;
};

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
  using std::chrono::file_clock;
  using std::chrono::sys_seconds;
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
  FILETIME time{};
  const HRESULT hr = m_item.p->GetFileTime(PKEY_DateCreated, &time);
  if (hr == kNotFound) GTEST_SKIP() << "the file system of /tmp records no birth times";
  ASSERT_EQ(hr, S_OK);
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto nowTicks = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100 + 116444736000000000);
  constexpr std::uint64_t kMinute = 600000000;
  EXPECT_LT(nowTicks - Ticks(time), kMinute) << "the file was made just now";
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

TEST_F(ShellItems, NullOutPointersAreRefused) {
  EXPECT_EQ(m_item.p->GetString(PKEY_Title, nullptr), E_POINTER);
  EXPECT_EQ(m_item.p->GetUInt32(PKEY_Rating, nullptr), E_POINTER);
  EXPECT_EQ(m_item.p->GetBool(PKEY_Title, nullptr), E_POINTER);
  EXPECT_EQ(m_item.p->GetFileTime(PKEY_DateModified, nullptr), E_POINTER);
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
