// Message stores that are missing or broken when they are first needed. This
// program's folder holds no store at the start; each test puts one in place
// and removes it again.
#include <kxutils96/format/messages/message_loading.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include <kxutils96/host/zutl96/zutl96.h>

#include "support/file_bytes.h"
#include "support/program_path.h"

namespace {

namespace fs = std::filesystem;

fs::path Beside(const char* name) {
  return kxu::test::ProgramPath().parent_path() / name;
}

// Takes the store away when the test ends, however it ends.
class StoreInPlace {
 public:
  explicit StoreInPlace(const char* name) : m_path(Beside(name)) { fs::remove(m_path); }
  ~StoreInPlace() {
    std::error_code ignored;
    fs::remove(m_path, ignored);
  }
  StoreInPlace(const StoreInPlace&) = delete;
  StoreInPlace& operator=(const StoreInPlace&) = delete;

  // Removes the store first: libstdc++ on Windows cannot tell two files
  // apart to overwrite one (the run-time's file numbers are all 0).
  void CopySample(const char* name) {
    fs::remove(m_path);
    fs::copy_file(fs::path(KXU_SAMPLE_STORES_DIR) / name, m_path);
  }
  const fs::path& Path() const { return m_path; }

 private:
  fs::path m_path;
};

TEST(ErrorStoreAbsent, AFailedLoadIsFinalForTheProcess) {
  StoreInPlace store("zErrMsg.kxmsg");
  CStringUTF8 text("untouched");
  EXPECT_EQ(kxu_load_err_msg_str(15000, nullptr, 1), 0);
  EXPECT_EQ(kxu_load_err_msg_str(15000, &text, 1), 0);

  store.CopySample("zErrMsg.kxmsg");
  ASSERT_NE(utlLoadMessageStore(store.Path().u16string().c_str()), nullptr);  // a good store
  EXPECT_EQ(kxu_load_err_msg_str(15000, nullptr, 1), 0);
  EXPECT_EQ(kxu_load_err_msg_str(15000, &text, 1), 0);
  int nValue = 1;
  EXPECT_EQ(kxu_load_msg_str(10001, &text, nullptr, &nValue, nullptr, 1), 0);
  EXPECT_EQ(kxu_load_msg_str_ex(10006, &text, 1, 12, "Data"), 0);
  EXPECT_STREQ(text.GetString(), "untouched");
  // The heading needs no store.
  EXPECT_EQ(kxu_err_msg_heading(15000, &text), 1);
}

TEST(RuntimeStoreAbsent, IsLookedForAtEveryCall) {
  StoreInPlace store("ZKSmsg96.kxmsg");
  CStringUTF8 text("untouched");
  EXPECT_EQ(kxu_load_runtime_err(2001, &text), 0);
  EXPECT_STREQ(text.GetString(), "untouched");

  kxu::test::WriteBytes(store.Path(), "default 0x0409\nlanguage 0x0409\n2001 \\x\n");
  EXPECT_EQ(kxu_load_runtime_err(2001, &text), 0);  // a broken store does not load
  EXPECT_STREQ(text.GetString(), "untouched");

  store.CopySample("ZKSmsg96.kxmsg");
  EXPECT_GT(kxu_load_runtime_err(2001, &text), 0);
  EXPECT_STREQ(text.GetString(), "Division by zero.");
}

}  // namespace
