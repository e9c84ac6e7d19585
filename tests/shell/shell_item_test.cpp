#include <kxutils96/shell/shell_item.h>

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include <kxutils96/platform/com_base.h>
#include <kxutils96/shell/shell_item_service.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace {

using kxu::shell::ShellItemService;
using kxu::test::SetUserXattr;
using kxu::test::TempDir;
using kxu::test::WriteBytes;
using namespace kxu::shell;  // the result codes and property indexes

INT_PTR Arg(const void* p) {
  return reinterpret_cast<INT_PTR>(p);
}

// Sets an environment variable for one scope and puts the former value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* pszName, const char* pszValue) : m_name(pszName) {
    if (const char* pszOld = std::getenv(pszName)) m_old = pszOld;
    ::setenv(pszName, pszValue, 1);
  }
  ~ScopedEnv() {
    if (m_old) {
      ::setenv(m_name.c_str(), m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name.c_str());
    }
  }

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};

// A fresh table (a service of its own) and files in a fresh folder. The
// process's locale is put back after each test, since creation changes it.
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

  void RequireUserXattrs() {
    const std::string why = kxu::test::UserXattrsUnsupported(m_dir.Path());
    if (!why.empty()) GTEST_SKIP() << why;
  }

  TempDir m_dir;
  ShellItemService m_service;

 private:
  std::string m_savedLocale;
};

TEST_F(ShellItem, IdsCountFromOneAndReuseTheFirstReleasedSlot) {
  const std::string path = File("a.txt");
  EXPECT_EQ(NewId(path), 1);
  EXPECT_EQ(NewId(path), 2);
  EXPECT_EQ(NewId(path), 3);
  EXPECT_EQ(Release(2), kShellItemDone);
  EXPECT_EQ(Release(1), kShellItemDone);
  EXPECT_EQ(NewId(path), 1);
  EXPECT_EQ(NewId(path), 2);
  EXPECT_EQ(NewId(path), 4);
}

TEST_F(ShellItem, ReleaseLeavesTheIdArgumentAlone) {
  int nId = NewId(File("a.txt"));
  EXPECT_EQ(m_service.Call(&nId, SHELLITEM_RELEASE, 0, 0, 0), kShellItemDone);
  EXPECT_EQ(nId, 1);
  EXPECT_EQ(m_service.Call(&nId, SHELLITEM_RELEASE, 0, 0, 0), kShellNoSuchItem);
}

TEST_F(ShellItem, EveryOperationButCreationNeedsATable) {
  int nId = 1;
  FILETIME time{};
  for (const int nOperation : {SHELLITEM_RELEASE, SHELLITEM_GET_FILETIME, 9, -1}) {
    EXPECT_EQ(m_service.Call(&nId, nOperation, kShellDateModified, Arg(&time), 0), kShellNoSuchItem)
        << nOperation;
  }
}

TEST_F(ShellItem, IdsThatNameNoLiveItemAreRefused) {
  const std::string path = File("a.txt");
  NewId(path);
  NewId(path);
  Release(2);
  FILETIME time{};
  for (const int nId : {0, -1, 2, 3, 1000}) {
    EXPECT_EQ(Read(nId, SHELLITEM_GET_FILETIME, kShellDateModified, &time), kShellNoSuchItem)
        << nId;
    EXPECT_EQ(Release(nId), kShellNoSuchItem) << nId;
  }
  EXPECT_EQ(m_service.Call(nullptr, SHELLITEM_RELEASE, 0, 0, 0), kShellNoSuchItem);
  EXPECT_EQ(Read(1, SHELLITEM_GET_FILETIME, kShellDateModified, &time), kShellItemDone);
}

TEST_F(ShellItem, OperationIsCheckedAfterTheId) {
  const int nId = NewId(File("a.txt"));
  for (const int nOperation : {6, 9, -1, 1 << 30}) {
    EXPECT_EQ(Read(nId, nOperation, kShellTitle, nullptr), kShellBadOperation) << nOperation;
    EXPECT_EQ(Read(nId + 1, nOperation, kShellTitle, nullptr), kShellNoSuchItem) << nOperation;
  }
}

TEST_F(ShellItem, PropertyIndexIsCheckedAfterTheOperation) {
  const int nId = NewId(File("a.txt"));
  const INT_PTR kBadIndexes[] = {6, -1, 7, INT_PTR{1} << 40, -(INT_PTR{1} << 40)};
  for (const int nOperation :
       {SHELLITEM_GET_BOOL, SHELLITEM_GET_FILETIME, SHELLITEM_GET_STRING, SHELLITEM_GET_UINT32}) {
    for (const INT_PTR nIndex : kBadIndexes) {
      char buffer[8];
      EXPECT_EQ(Read(nId, nOperation, nIndex, buffer, sizeof buffer), kShellBadProperty)
          << nOperation << " " << nIndex;
    }
  }
  EXPECT_EQ(Read(nId, 7, 6, nullptr), kShellBadOperation);
}

TEST_F(ShellItem, CreationFailsWithoutTouchingTheId) {
  File("a.txt");
  int nId = 77;
  const std::string kPaths[] = {m_dir.Path("missing.txt").string(), "", m_dir.Path("a.txt/x")};
  for (const std::string& path : kPaths) {
    EXPECT_EQ(Create(path, &nId), kShellItemNotMade) << path;
    EXPECT_EQ(nId, 77);
  }
  EXPECT_EQ(m_service.Call(&nId, SHELLITEM_CREATE, 0, 0, 0), kShellItemNotMade) << "null path";
  EXPECT_EQ(nId, 77);
  EXPECT_EQ(m_service.Call(nullptr, SHELLITEM_CREATE, Arg(File("b.txt").c_str()), 0, 0),
            kShellItemNotMade)
      << "null id";
  EXPECT_EQ(NewId(File("c.txt")), 1) << "failed creations take no slot";
}

TEST_F(ShellItem, PathMayHaveAtMost1023Units) {
  // "./" steps pad the path of one existing file to any length.
  File("f");
  const std::string folder = m_dir.Path().string() + "/";
  const auto PaddedTo = [&](std::size_t nLength) {
    std::string path = folder + "f";
    while (path.size() + 2 <= nLength) path.insert(folder.size(), "./");
    if (path.size() < nLength) path.insert(folder.size(), "/");  // "//" pads by one
    return path;
  };
  const std::string longest = PaddedTo(1023);
  ASSERT_EQ(longest.size(), 1023u);
  int nId = 0;
  EXPECT_EQ(Create(longest, &nId), kShellItemDone);
  const std::string tooLong = PaddedTo(1024);
  ASSERT_EQ(tooLong.size(), 1024u);
  EXPECT_EQ(Create(tooLong, &nId), kShellItemNotMade);
}

TEST_F(ShellItem, PathIsTakenInTheUsersCodePage) {
  File("caf\xC3\xA9.txt");  // "café.txt" as the file system stores it, in UTF-8
  const std::string latin1 = m_dir.Path().string() + "/caf\xE9.txt";
  const std::string utf8 = m_dir.Path().string() + "/caf\xC3\xA9.txt";
  int nId = 0;
  {
    const ScopedEnv env("LC_ALL", "C");
    EXPECT_EQ(Create(latin1, &nId), kShellItemDone) << "each byte is one character";
    EXPECT_EQ(Create(utf8, &nId), kShellItemNotMade) << "two characters, \u00C3 and \u00A9";
  }
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  const ScopedEnv env("LC_ALL", "C.UTF-8");
  EXPECT_EQ(Create(utf8, &nId), kShellItemDone);
  EXPECT_EQ(Create(latin1, &nId), kShellItemNotMade) << "not UTF-8: does not convert";
}

TEST_F(ShellItem, CreationLeavesTheProcessInTheClassicLocale) {
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  const ScopedEnv env("LC_ALL", "C.UTF-8");
  int nId = 0;
  EXPECT_EQ(Create(m_dir.Path("missing").string(), &nId), kShellItemNotMade);
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
}

TEST_F(ShellItem, FailedComInitialisationKeepsNoTable) {
  const std::string path = File("a.txt");
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    int nId = 0;
    EXPECT_EQ(Create(path, &nId), kShellComNotInitialised);
    EXPECT_EQ(Release(1), kShellNoSuchItem) << "no table was kept";
    EXPECT_EQ(Create(path, &nId), kShellComNotInitialised) << "each creation tries again";
    CoUninitialize();
    EXPECT_EQ(Create(path, &nId), kShellItemDone);
    EXPECT_EQ(nId, 1);
  }).join();
}

TEST_F(ShellItem, ModificationTimeIsReadAsFileTime) {
  const std::string path = File("a.txt");
  const std::chrono::sys_seconds when =
      std::chrono::sys_days(std::chrono::year(2021) / 3 / 4) + std::chrono::hours(5);
  std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(when));
  const int nId = NewId(path);
  FILETIME time{};
  ASSERT_EQ(Read(nId, SHELLITEM_GET_FILETIME, kShellDateModified, &time), kShellItemDone);
  // 2021-03-04 05:00 UTC: 13259307600 s after 1601-01-01.
  EXPECT_EQ((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, 132593076000000000u);
}

TEST_F(ShellItem, CreationTimeIsReadOrMissing) {
  const int nId = NewId(File("a.txt"));
  FILETIME time{};
  const int nResult = Read(nId, SHELLITEM_GET_FILETIME, kShellDateCreated, &time);
  if (nResult == kShellPropertyMissing) GTEST_SKIP() << "the file system records no birth time";
  EXPECT_EQ(nResult, kShellItemDone);
  EXPECT_NE(time.dwHighDateTime, 0u);
}

TEST_F(ShellItem, TextFillsTheBufferWithoutATerminatorWhenItMust) {
  RequireUserXattrs();
  const std::string path = File("a.txt");
  ASSERT_TRUE(SetUserXattr(path, "user.dublincore.title", "Sunset"));
  const int nId = NewId(path);
  struct Case {
    UINT cb;
    std::string bytes;
  };
  const Case kCases[] = {
      {0, "########"},
      {1, "S#######"},
      {4, "Suns####"},
      {6, "Sunset##"},
      {7, std::string("Sunset\0#", 8)},
  };
  for (const Case& c : kCases) {
    std::string buffer(8, '#');
    EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, kShellTitle, buffer.data(), c.cb), kShellItemDone);
    EXPECT_EQ(buffer, c.bytes) << c.cb;
  }
}

TEST_F(ShellItem, TextIsConvertedInTheClassicLocale) {
  RequireUserXattrs();
  const std::string path = File("a.txt");
  ASSERT_TRUE(SetUserXattr(path, "user.xdg.comment", "Caf\xC3\xA9"));
  ASSERT_TRUE(SetUserXattr(path, "user.kxutils96.subtitle", "a\xCE\xA9z"));  // a, omega, z
  const int nId = NewId(path);
  std::string buffer(8, '#');
  EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, kShellComment, buffer.data(), 8), kShellItemDone);
  EXPECT_EQ(buffer, std::string("Caf\xE9\0###", 8)) << "U+00E9 is one byte";
  buffer.assign(8, '#');
  EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, kShellSubtitle, buffer.data(), 8), kShellItemDone);
  EXPECT_EQ(buffer, "a#######") << "the conversion stops at a character it cannot write";
}

TEST_F(ShellItem, MissingPropertiesLeaveTheBufferAlone) {
  const int nId = NewId(File("a.txt"));
  for (const int nIndex : {kShellTitle, kShellSubtitle, kShellComment}) {
    std::string buffer(8, '#');
    EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, nIndex, buffer.data(), 8), kShellPropertyMissing);
    EXPECT_EQ(buffer, "########");
  }
  ULONG nRating = 0;
  EXPECT_EQ(Read(nId, SHELLITEM_GET_UINT32, kShellRating, &nRating), kShellPropertyMissing);
}

TEST_F(ShellItem, RatingIsReadOnTheShellScale) {
  RequireUserXattrs();
  const std::string path = File("a.txt");
  ASSERT_TRUE(SetUserXattr(path, "user.baloo.rating", "8"));
  const int nId = NewId(path);
  ULONG nRating = 0;
  EXPECT_EQ(Read(nId, SHELLITEM_GET_UINT32, kShellRating, &nRating), kShellItemDone);
  EXPECT_EQ(nRating, 75u);
  ASSERT_TRUE(SetUserXattr(path, "user.baloo.rating", "eight"));
  EXPECT_EQ(Read(nId, SHELLITEM_GET_UINT32, kShellRating, &nRating), kShellGetUInt32Failed);
}

TEST_F(ShellItem, EachReadFailsWithItsOwnCode) {
  RequireUserXattrs();
  const std::string path = File("a.txt");
  ASSERT_TRUE(SetUserXattr(path, "user.dublincore.title", "Sunset"));
  ASSERT_TRUE(SetUserXattr(path, "user.baloo.rating", "4"));
  const int nId = NewId(path);
  BOOL b = TRUE;
  FILETIME time{};
  ULONG n = 0;
  char buffer[4];
  // Present properties asked for in a form they do not have.
  EXPECT_EQ(Read(nId, SHELLITEM_GET_BOOL, kShellTitle, &b), kShellGetBoolFailed);
  EXPECT_EQ(Read(nId, SHELLITEM_GET_FILETIME, kShellRating, &time), kShellGetFileTimeFailed);
  EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, kShellRating, buffer, 4), kShellGetStringFailed);
  EXPECT_EQ(Read(nId, SHELLITEM_GET_UINT32, kShellTitle, &n), kShellGetUInt32Failed);
  // Absent ones are absent in every form.
  EXPECT_EQ(Read(nId, SHELLITEM_GET_BOOL, kShellComment, &b), kShellPropertyMissing);
}

TEST_F(ShellItem, NullOutPointersGiveTheOperationsFailure) {
  const int nId = NewId(File("a.txt"));
  EXPECT_EQ(Read(nId, SHELLITEM_GET_BOOL, kShellTitle, nullptr), kShellGetBoolFailed);
  EXPECT_EQ(Read(nId, SHELLITEM_GET_FILETIME, kShellDateModified, nullptr),
            kShellGetFileTimeFailed);
  EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, kShellTitle, nullptr, 16), kShellGetStringFailed);
  EXPECT_EQ(Read(nId, SHELLITEM_GET_UINT32, kShellRating, nullptr), kShellGetUInt32Failed);
}

TEST(ShellItemExport, CreatesReadsAndReleasesThroughTheProcessTable) {
  const std::string savedLocale = std::setlocale(LC_ALL, nullptr);
  const TempDir dir;
  const std::filesystem::path path = dir.Path("a.txt");
  WriteBytes(path, "a");
  int nId = 0;
  ASSERT_EQ(kxu_shell_item(&nId, SHELLITEM_CREATE, Arg(path.c_str()), 0, 0), kShellItemDone);
  EXPECT_GE(nId, 1);
  // Another thread reads through the same table without initialising anything.
  std::thread([nId]() mutable {
    FILETIME time{};
    EXPECT_EQ(kxu_shell_item(&nId, SHELLITEM_GET_FILETIME, kShellDateModified, Arg(&time), 0),
              kShellItemDone);
    EXPECT_NE(time.dwHighDateTime, 0u);
  }).join();
  EXPECT_EQ(kxu_shell_item(&nId, SHELLITEM_RELEASE, 0, 0, 0), kShellItemDone);
  EXPECT_EQ(kxu_shell_item(&nId, SHELLITEM_RELEASE, 0, 0, 0), kShellNoSuchItem);
  std::setlocale(LC_ALL, savedLocale.c_str());
}

}  // namespace
