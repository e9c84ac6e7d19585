// A file in a fresh folder and its shell item, for the tests of shell items.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include <kxutils96/platform/com_shell/shell_items.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace kxu::test {

using U16 = std::basic_string<WCHAR>;

class ShellItems : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(m_file, "pixels");
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

  std::pair<HRESULT, ULONG> Number(const PROPERTYKEY& key) {
    ULONG n = 12345;
    const HRESULT hr = m_pItem->GetUInt32(key, &n);
    return {hr, n};
  }

  TempDir m_dir;
  std::filesystem::path m_file = m_dir.Path("photo.txt");
  IShellItem2* m_pItem = nullptr;
};

}  // namespace kxu::test
