// A fresh table of shell items (a service of its own) and files in a fresh
// folder, for the tests of the shell item export.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>

#include <kxutils96/shell/shell_item.h>
#include <kxutils96/shell/shell_item_service.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace kxu::test {

inline INT_PTR Arg(const void* p) {
  return reinterpret_cast<INT_PTR>(p);
}

// The process's locale is put back after each test, since creation changes it.
class ShellItem : public ::testing::Test {
 protected:
  ShellItem() : m_savedLocale(std::setlocale(LC_ALL, nullptr)) {}
  ~ShellItem() override { std::setlocale(LC_ALL, m_savedLocale.c_str()); }

  std::string File(const char* pszName, const char* pszBytes = "data") {
    const std::filesystem::path path = m_dir.Path(pszName);
    WriteBytes(path, pszBytes);
    return path.string();
  }

  int Create(const std::string& path, int* pnId) {
    return m_service.Call(pnId, SHELLITEM_CREATE, Arg(path.c_str()), 0, 0);
  }
  // The id of a new item for `path`, 0 when creation fails.
  int NewId(const std::string& path) {
    int nId = 0;
    EXPECT_EQ(Create(path, &nId), kxu::shell::kShellItemDone) << path;
    return nId;
  }
  int Release(int nId) { return m_service.Call(&nId, SHELLITEM_RELEASE, 0, 0, 0); }
  int Read(int nId, int nOperation, INT_PTR nProperty, void* pOut, UINT cb = 0) {
    return m_service.Call(&nId, nOperation, nProperty, Arg(pOut), cb);
  }

  // Skips the test where the files of the folder can carry no user extended
  // attributes.
  void RequireUserXattrs() {
    const std::string why = UserXattrsUnsupported(m_dir.Path());
    if (!why.empty()) GTEST_SKIP() << why;
  }

  TempDir m_dir;
  kxu::shell::ShellItemService m_service;

 private:
  std::string m_savedLocale;
};

}  // namespace kxu::test
