// A file in a fresh folder and its shell item, for the tests of shell items.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include <kxutils96/platform/com_shell/shell_items.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace kxu::test {

using U16 = std::basic_string<WCHAR>;

inline constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490u);

inline U16 Wide(const std::filesystem::path& path) {
  return path.u16string();
}

inline std::uint64_t Ticks(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Releases the item when the test ends.
struct ItemHolder {
  IShellItem2* p = nullptr;
  ~ItemHolder() {
    if (p != nullptr) p->Release();
  }
};

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

  // Skips the test where the files of the folder can carry no user extended
  // attributes.
  void RequireUserXattrs() {
    const std::string why = UserXattrsUnsupported(m_dir.Path());
    if (!why.empty()) GTEST_SKIP() << why;
  }

  TempDir m_dir;
  std::filesystem::path m_file;
  ItemHolder m_item;
};

}  // namespace kxu::test
