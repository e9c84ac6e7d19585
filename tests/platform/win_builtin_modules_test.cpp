#include <kxutils96/platform/win32/win_builtin_modules.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <kxutils96/platform/com_shell/shell_items.h>
#include <kxutils96/platform/win32/unicode.h>
#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_module.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

TEST(BuiltinModules, ShellModuleIsFoundUnderEachSpelling) {
  const HMODULE hShell = LoadLibraryW(u"shell32.dll");
  ASSERT_NE(hShell, nullptr);
  EXPECT_TRUE(kxu::platform::IsBuiltinModule(hShell));
  for (const char16_t* pszName : {u"SHELL32.DLL", u"Shell32", u"shell32.Dll"}) {
    EXPECT_EQ(LoadLibraryW(pszName), hShell);
  }
}

TEST(BuiltinModules, OtherNamesAreNotBuiltIn) {
  for (const char16_t* pszName : {u"shell3.dll", u"shell32.dl", u"shell32.dll.dll", u"xshell32",
                                  u"./shell32.dll", u"C:\\Windows\\shell32.dll", u".dll"}) {
    EXPECT_EQ(kxu::platform::FindBuiltinModule(pszName), nullptr);
  }
  EXPECT_EQ(kxu::platform::FindBuiltinModule(nullptr), nullptr);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(LoadLibraryW(u"./no_such_folder/shell32.dll"), nullptr)
      << "a path is looked for on disk only";
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(kxu::platform::IsBuiltinModule(nullptr));
}

TEST(BuiltinModules, EntryPointIsRealCode) {
  const FARPROC proc = GetProcAddress(LoadLibraryW(u"shell32.dll"), "SHCreateItemFromParsingName");
  ASSERT_NE(proc, nullptr);
  PFN_SHCreateItemFromParsingName pfnCreate = nullptr;
  std::memcpy(&pfnCreate, &proc, sizeof proc);
  EXPECT_EQ(pfnCreate, &SHCreateItemFromParsingName);

  const kxu::test::TempDir dir;
  kxu::test::WriteBytes(dir.Path("a.txt"), "a");
  const std::u16string path = kxu::platform::Utf8ToUtf16(dir.Path("a.txt").string());
  void* pv = nullptr;
  ASSERT_EQ(pfnCreate(path.c_str(), nullptr, IID_IShellItem, &pv), S_OK);
  static_cast<IShellItem*>(pv)->Release();
}

TEST(BuiltinModules, UnknownExportsAreNotFound) {
  const HMODULE hShell = LoadLibraryW(u"shell32.dll");
  for (const char* pszName : {"shcreateitemfromparsingname", "SHCreateItem", "", "dlopen"}) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetProcAddress(hShell, pszName), nullptr) << pszName;
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  }
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetProcAddress(hShell, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
}

}  // namespace
