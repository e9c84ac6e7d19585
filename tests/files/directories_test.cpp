// Directory copy and delete: the walk, the skip rules and what is reported
// (copying one file is the platform's to test).
#include <string>
#include <tuple>
#include <vector>

#include <kxutils96/platform/win32/win_error.h>
#include <support/array_text.h>
#include <support/hidden_file.h>

#include "files/directories_fixture.h"

namespace {

using namespace kxu::test;
using namespace kxu::files;  // the result codes

// Each row copies into a folder of its own and leaves out `missing` (and
// without subfolders every folder). Hidden entries are never copied; folder
// names to skip match whole, case aside, trailing backslashes dropped; file
// names likewise, exactly as listed.
TEST_F(Directories, CopiesTheTreeLeavingOutHiddenAndListedEntries) {
  MakeTree("src",
           {"a.txt", "a.txt.bak", "Temp/t", "sub/A.TXT", "sub/temp/u", "Tempo/v", "\xC3\xA9/"});
  const Paths all = TreeOf("src");
  MakeTree("src", {".hidden", ".git/config", "sub/.profile"});
  for (const char* name : {".hidden", ".git", "sub/.profile"})
    kxu::test::MarkHidden(m_dir.Path("src/" + std::string(name)));
  struct Case {
    std::string suffix;
    int bSubfolders;
    kxu::test::Texts skipFolders;
    kxu::test::Texts skipFiles;
    Paths missing;
  };
  const Case cases[] = {
      {"\\", 1, {}, {}, {}},
      {"/", 0, {}, {}, {}},
      {"", 1, {"x", "tEmP\\\\"}, {}, {"Temp/", "Temp/t", "sub/temp/", "sub/temp/u"}},
      {"", 1, {"Tem", "Temp/"}, {"a.txt\\", "Temp", "a.txt.ba"}, {}},
      {"", 1, {}, {"A.txt"}, {"a.txt", "sub/A.TXT"}},
  };
  int n = 0;
  for (const auto& [suffix, bSubfolders, skipFolders, skipFiles, missing] : cases) {
    CZQVStringArray folders = kxu::test::ArrayOf(skipFolders),
                    files = kxu::test::ArrayOf(skipFiles);
    const std::string to = "dst" + std::to_string(n++);
    EXPECT_EQ(kxuCopyDirectory((P("src") + suffix).c_str(), (P(to) + "\\").c_str(), bSubfolders,
                               &folders, &files, 0),
              kDirectoryDone);
    Paths expected;
    for (const std::string& path : all) {
      if (!missing.contains(path) && (bSubfolders || path.find('/') == std::string::npos))
        expected.insert(path);
    }
    EXPECT_EQ(TreeOf(to), expected) << n;
  }
}

// A missing source or destination's parent fails (a missing destination is
// made); so does a copy onto itself, while one into a subfolder of the
// source does not copy itself into itself.
TEST_F(Directories, RefusesMissingFoldersAndACopyOntoItself) {
  EXPECT_EQ(Copy("dst"), kDirectoryFailed);
  EXPECT_TRUE(fs::is_directory(m_dir.Path("dst"))) << "the new destination stays";
  EXPECT_EQ(kxuCopyDirectory(nullptr, P("dst").c_str(), 1, nullptr, nullptr, 0), kDirectoryFailed);
  EXPECT_EQ(kxuCopyDirectory(P("dst").c_str(), nullptr, 1, nullptr, nullptr, 0), kDirectoryFailed);
  MakeTree("src", {"a", "sub/b"});
  EXPECT_EQ(Copy("no/dst"), kDirectoryFailed);
  EXPECT_FALSE(fs::exists(m_dir.Path("no")));
  EXPECT_EQ(Copy("src\\", 1), kDirectoryFailed);
  EXPECT_EQ(Copy("src/sub/out"), kDirectoryDone);
  EXPECT_EQ(TreeOf("src/sub/out"), (Paths{"a", "sub/", "sub/b"}));
}

// At the top level a file that exists already stops the copy there; called
// as nested, the copy overwrites it. What was not copied is reported, with
// the system's error: the file that stopped the copy, a subfolder whose copy
// cannot be made.
TEST_F(Directories, StopsAtAnExistingTopLevelFileUnlessNested) {
  MakeTree("src", {"f0", "f1", "f2", "f3", "f4", "f5"});
  const std::vector<std::string> order = ListingOrder("src");
  const std::string blocked = order[order.size() / 2];
  MakeTree("dst", {});
  WriteBytes(m_dir.Path("dst") / blocked, "old");
  std::vector<std::string> reported;
  const auto copy = [&](int bNested) {
    const auto report = [](const char* lpcszPath, unsigned int nError, void* pReported) {
      static_cast<std::vector<std::string>*>(pReported)->push_back(lpcszPath +
                                                                   std::to_string(nError));
    };
    return kxuCopyDirectoryReportingFailures(P("src").c_str(), P("dst").c_str(), 1, nullptr,
                                             nullptr, bNested, nullptr, report, &reported);
  };
  EXPECT_EQ(copy(0), kDirectoryFailed);
  EXPECT_EQ(reported, std::vector<std::string>{blocked + std::to_string(ERROR_FILE_EXISTS)});
  Paths expected = {"!" + blocked};
  for (std::size_t i = 0; order[i] != blocked; ++i) expected.insert(order[i]);
  EXPECT_EQ(TreeOf("dst"), expected);
  EXPECT_EQ(Copy("dst", 1), kDirectoryDone);
  EXPECT_EQ(TreeOf("dst"), TreeOf("src"));
  MakeTree("src", {"sub/x"});
  WriteBytes(m_dir.Path("dst/sub"), "sub");
  reported.clear();
  EXPECT_EQ(copy(1), kDirectoryDone);
  EXPECT_EQ(reported, std::vector<std::string>{"sub\\" + std::to_string(ERROR_ALREADY_EXISTS)});
}

// Files only, matched case aside; a null pattern matches every one, and a
// listed name or a read-only file stays.
TEST_F(Directories, DeletesTheMatchingFilesThatAreNotListed) {
  MakeTree("d", {"a.txt", "b.TXT", ".hidden.txt", "c.log", "sub.txt/inner.txt", "locked.txt",
                 "\xC3\xA9 t\xC3\xA9.txt"});
  kxu::test::MarkHidden(m_dir.Path("d/.hidden.txt"));
  fs::permissions(m_dir.Path("d/locked.txt"), fs::perms::owner_read);
  for (const std::string& folder : {P("missing"), P("d/c.log"), std::string()})
    EXPECT_EQ(kxuDelFiles(folder.c_str(), "*.*", nullptr), kDirectoryNoFolder) << folder;
  EXPECT_EQ(kxuDelFiles(nullptr, "*.*", nullptr), kDirectoryNoFolder);
  EXPECT_EQ(kxuDelFiles(P("d").c_str(), "*.none", nullptr), 0);
  CZQVStringArray skip = kxu::test::ArrayOf({"B.txt"});
  EXPECT_EQ(kxuDelFiles(P("d").c_str(), "*.TXT", &skip), 3);
  EXPECT_EQ(TreeOf("d"), (Paths{"b.TXT", "c.log", "sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
  EXPECT_EQ(kxuDelFiles((P("d") + "\\").c_str(), nullptr, nullptr), 2);
  EXPECT_EQ(TreeOf("d"), (Paths{"sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
}

}  // namespace
