// Message modules (stores, or DLLs where modules carry string tables) that
// are missing or broken when they are first needed. This program's folder
// holds none at the start; each test puts one in place and removes it again.
#include <kxutils96/format/messages/message_loading.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/win32/win_resource.h>

#include "support/file_bytes.h"
#include "support/program_path.h"

namespace {

namespace fs = std::filesystem;

// The file name of message module `name` on this system: a DLL where modules
// carry string tables, else a message store.
std::string ModuleFile(const char* name) {
  return name + std::string(kxu::platform::ModulesCarryStringTables() ? ".dll" : ".kxmsg");
}

// Loads the module file `path` as the message functions do.
HMODULE LoadModuleFile(const fs::path& path) {
  return kxu::platform::ModulesCarryStringTables() ? LoadLibraryW(path.u16string().c_str())
                                                   : utlLoadMessageStore(path.u16string().c_str());
}

// Takes the store away when the test ends, however it ends.
struct StoreInPlace {
  explicit StoreInPlace(const char* pszName)
      : name(ModuleFile(pszName)), path(kxu::test::ProgramPath().parent_path() / name) {
    fs::remove(path);
  }
  ~StoreInPlace() {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
  // Removes the store first: libstdc++ on Windows cannot tell two files
  // apart to overwrite one (the run-time's file numbers are all 0).
  void CopySample() const {
    fs::remove(path);
    fs::copy_file(fs::path(KXU_SAMPLE_MODULES_DIR) / name, path);
  }

  const std::string name;
  const fs::path path;
};

TEST(ErrorStoreAbsent, AFailedLoadIsFinalForTheProcess) {
  StoreInPlace store("zErrMsg");
  CStringUTF8 text("untouched");
  EXPECT_EQ(kxu_load_err_msg_str(15000, nullptr, 1), 0);

  store.CopySample();
  ASSERT_NE(LoadModuleFile(store.path), nullptr);  // a good module
  EXPECT_EQ(kxu_load_err_msg_str(15000, nullptr, 1), 0);
  EXPECT_EQ(kxu_load_err_msg_str(15000, &text, 1), 0);
  EXPECT_STREQ(text.GetString(), "untouched");
}

TEST(RuntimeStoreAbsent, IsLookedForAtEveryCall) {
  StoreInPlace store("ZKSmsg96");
  CStringUTF8 text("untouched");
  EXPECT_EQ(kxu_load_runtime_err(2001, &text), 0);
  EXPECT_STREQ(text.GetString(), "untouched");

  kxu::test::WriteBytes(store.path, "default 0x0409\nlanguage 0x0409\n2001 \\x\n");
  EXPECT_EQ(kxu_load_runtime_err(2001, &text), 0);  // a broken store, and no DLL, does not load
  EXPECT_STREQ(text.GetString(), "untouched");

  store.CopySample();
  EXPECT_GT(kxu_load_runtime_err(2001, &text), 0);
  EXPECT_STREQ(text.GetString(), "Division by zero.");
}

}  // namespace
