// The shell item export on every system: ids, creation and the order of the
// checks (the properties themselves are read by the platform's shell
// items). The text and rating properties are tested in the system's
// subfolder.
#include <kxutils96/shell/shell_item.h>

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <limits>
#include <string>
#include <tuple>

#include <kxutils96/platform/com_shell/com_base.h>

#include <kxutils96/shell/shell_item_service.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

using namespace kxu::test;
using namespace kxu::shell;  // the result codes and property indexes

inline INT_PTR Arg(const void* p) {
  return reinterpret_cast<INT_PTR>(p);
}

// A fresh table of shell items (a service of its own) and files in a fresh
// folder; the process's locale is put back after each test, since creation
// changes it.
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
    EXPECT_EQ(Create(path, &nId), kShellItemDone) << path;
    return nId;
  }
  int Release(int nId) { return m_service.Call(&nId, SHELLITEM_RELEASE, 0, 0, 0); }
  int Read(int nId, int nOperation, INT_PTR nProperty, void* pOut, UINT cb = 0) {
    return m_service.Call(&nId, nOperation, nProperty, Arg(pOut), cb);
  }

  TempDir m_dir;
  kxu::shell::ShellItemService m_service;

 private:
  std::string m_savedLocale;
};

// Ids count from one and the lowest released slot is reused first; a failed
// creation (missing file, null path, null id) leaves the id and takes no slot.
TEST_F(ShellItem, IdsCountFromOneAndFailedCreationsTakeNoSlot) {
  const std::string path = File("a.txt");
  int nId = 77;
  EXPECT_EQ(Create(m_dir.Path("missing.txt").string(), &nId), kShellItemNotMade);
  EXPECT_EQ(m_service.Call(&nId, SHELLITEM_CREATE, 0, 0, 0), kShellItemNotMade) << "null path";
  EXPECT_EQ(nId, 77);
  EXPECT_EQ(m_service.Call(nullptr, SHELLITEM_CREATE, Arg(path.c_str()), 0, 0), kShellItemNotMade);
  for (const int nExpected : {1, 2, 3}) EXPECT_EQ(NewId(path), nExpected);
  EXPECT_EQ(Release(2), kShellItemDone);
  EXPECT_EQ(Release(1), kShellItemDone);
  EXPECT_EQ(NewId(path), 1);
}

// The checks in their order: a live id (and a table at all), then the
// operation, then the property index; release leaves the id argument alone.
TEST_F(ShellItem, ChecksTheIdThenTheOperationThenTheIndex) {
  FILETIME time{};
  EXPECT_EQ(Read(1, SHELLITEM_GET_FILETIME, kShellDateModified, &time), kShellNoSuchItem);
  EXPECT_EQ(Release(1), kShellNoSuchItem) << "no table yet";
  const std::string path = File("a.txt");
  NewId(path);
  NewId(path);
  int nId = 2;
  EXPECT_EQ(m_service.Call(&nId, SHELLITEM_RELEASE, 0, 0, 0), kShellItemDone);
  EXPECT_EQ(nId, 2);
  EXPECT_EQ(m_service.Call(nullptr, SHELLITEM_RELEASE, 0, 0, 0), kShellNoSuchItem);
  const std::tuple<int, int, INT_PTR, int> cases[] = {
      {0, SHELLITEM_GET_FILETIME, kShellDateModified, kShellNoSuchItem},
      {2, SHELLITEM_RELEASE, 0, kShellNoSuchItem},
      {3, 9, 0, kShellNoSuchItem},
      {1, 6, kShellTitle, kShellBadOperation},
      {1, 7, 6, kShellBadOperation},
      {1, SHELLITEM_GET_BOOL, 6, kShellBadProperty},
      {1, SHELLITEM_GET_FILETIME, -1, kShellBadProperty},
      {1, SHELLITEM_GET_STRING, std::numeric_limits<INT_PTR>::max(), kShellBadProperty},
      // Null out pointers give each operation's own failure.
      {1, SHELLITEM_GET_BOOL, kShellTitle, kShellGetBoolFailed},
      {1, SHELLITEM_GET_FILETIME, kShellDateModified, kShellGetFileTimeFailed},
      {1, SHELLITEM_GET_STRING, kShellTitle, kShellGetStringFailed},
      {1, SHELLITEM_GET_UINT32, kShellRating, kShellGetUInt32Failed},
  };
  for (const auto& [nId, nOperation, nIndex, nExpected] : cases) {
    EXPECT_EQ(Read(nId, nOperation, nIndex, nullptr, 16), nExpected)
        << nId << " " << nOperation << " " << nIndex;
  }
  EXPECT_EQ(Release(1), kShellItemDone) << "1 is still live";
}

}  // namespace
