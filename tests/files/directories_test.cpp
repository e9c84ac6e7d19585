#include <kxutils96/files/directories.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <support/array_text.h>
#include <support/file_bytes.h>
#include <support/hidden_file.h>
#include <support/mock_host_object.h>
#include <support/permissions.h>
#include <support/symlinks.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

namespace fs = std::filesystem;
using kxu::test::ArrayOf;
using kxu::test::GenericUtf8;
using kxu::test::MarkHidden;
using kxu::test::PathOfUtf8;
using kxu::test::ReadBytes;
using kxu::test::SymlinksUnsupported;
using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;
using Paths = std::set<std::string>;

using kxu::files::kDirectoryDone;
using kxu::files::kDirectoryFailed;
using kxu::files::kDirectoryNoFolder;
using kxu::files::kDirectorySearchFailed;

// Creates the entries under `root`: a name ending in '/' is a folder, any
// other a file holding its own name.
void MakeTree(const fs::path& root, const std::vector<std::string>& entries) {
  fs::create_directories(root);
  for (const std::string& entry : entries) {
    const fs::path path = root / PathOfUtf8(entry);
    if (entry.back() == '/') {
      fs::create_directories(path);
    } else {
      fs::create_directories(path.parent_path());
      WriteBytes(path, entry);
    }
  }
}

// Every entry below `root`, folders with a trailing '/', files checked to
// hold their own name (as MakeTree wrote them) unless marked "!name".
Paths TreeOf(const fs::path& root) {
  Paths paths;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = GenericUtf8(fs::relative(entry.path(), root));
    if (entry.is_directory()) {
      paths.insert(name + "/");
    } else {
      paths.insert(ReadBytes(entry.path()) == name ? name : "!" + name);
    }
  }
  return paths;
}

// The names directly in `folder`, in the order the system lists them.
std::vector<std::string> ListingOrder(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(Utf8(entry.path().filename()));
  }
  return names;
}

class CopyDirectory : public testing::Test {
 protected:
  std::string Src() const { return Utf8(m_dir.Path("src")); }
  std::string Dst() const { return Utf8(m_dir.Path("dst")); }
  int Copy(int bSubfolders, CZQVStringArray* psaFolders = nullptr,
           CZQVStringArray* psaFiles = nullptr, int bNested = 0) {
    return kxuCopyDirectory(Src().c_str(), Dst().c_str(), bSubfolders, psaFolders, psaFiles,
                            bNested);
  }

  TempDir m_dir;
};

TEST_F(CopyDirectory, CopiesTheWholeTreeIntoANewDestination) {
  MakeTree(m_dir.Path("src"), {"a.txt", "my file \xC3\xA9.txt", "sub/b.txt", "sub/deeper/c",
                               "empty/", "\xE6\x97\xA5\xE6\x9C\xAC/d"});
  EXPECT_EQ(Copy(1), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), TreeOf(m_dir.Path("src")));
}

TEST_F(CopyDirectory, WithoutSubfoldersCopiesTheTopFilesOnly) {
  MakeTree(m_dir.Path("src"), {"a", "b", "sub/c", "empty/"});
  EXPECT_EQ(Copy(0), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), (Paths{"a", "b"}));
}

TEST_F(CopyDirectory, WritesIntoAnExistingDestination) {
  MakeTree(m_dir.Path("src"), {"a", "sub/b"});
  MakeTree(m_dir.Path("dst"), {"old", "sub/older"});
  EXPECT_EQ(Copy(1), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), (Paths{"a", "old", "sub/", "sub/b", "sub/older"}));
}

TEST_F(CopyDirectory, TreatsEveryWayOfEndingThePathAlike) {
  MakeTree(m_dir.Path("src"), {"a", "sub/b"});
  const std::string src = Src();
  int n = 0;
  for (const std::string& from : {src, src + "\\", src + "/"}) {
    const std::string to = Utf8(m_dir.Path("dst" + std::to_string(n++))) + "\\";
    EXPECT_EQ(kxuCopyDirectory(from.c_str(), to.c_str(), 1, nullptr, nullptr, 0), kDirectoryDone)
        << from;
    EXPECT_EQ(TreeOf(to.substr(0, to.size() - 1)), (Paths{"a", "sub/", "sub/b"})) << from;
  }
}

TEST_F(CopyDirectory, NeverCopiesHiddenEntries) {
  MakeTree(m_dir.Path("src"), {".hidden", ".git/config", "sub/.profile", "sub/seen"});
  for (const char* name : {".hidden", ".git", "sub/.profile"})
    MarkHidden(m_dir.Path("src/" + std::string(name)));
  EXPECT_EQ(Copy(1), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), (Paths{"sub/", "sub/seen"}));
}

struct SkipCase {
  const char* name;
  std::vector<std::string> folders;
  std::vector<std::string> files;
  Paths expected;
};

void PrintTo(const SkipCase& c, std::ostream* os) {
  *os << c.name;
}

class CopySkipLists : public CopyDirectory, public testing::WithParamInterface<SkipCase> {};

TEST_P(CopySkipLists, LeaveOutTheListedNamesAtEveryDepth) {
  MakeTree(m_dir.Path("src"),
           {"a.txt", "a.txt.bak", "Temp/t", "sub/A.TXT", "sub/temp/u", "sub/keep", "Tempo/v"});
  CZQVStringArray folders = ArrayOf(GetParam().folders);
  CZQVStringArray files = ArrayOf(GetParam().files);
  EXPECT_EQ(Copy(1, &folders, &files), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), GetParam().expected);
}

const Paths kAllButTemp = {"a.txt",    "a.txt.bak", "sub/",   "sub/A.TXT",
                           "sub/keep", "Tempo/",    "Tempo/v"};

INSTANTIATE_TEST_SUITE_P(
    Lists, CopySkipLists,
    testing::Values(SkipCase{"FolderInOtherCase", {"TEMP"}, {}, kAllButTemp},
                    SkipCase{"FolderWithBackslash", {"temp\\"}, {}, kAllButTemp},
                    SkipCase{"FolderWithBackslashes", {"x", "tEmP\\\\"}, {}, kAllButTemp},
                    SkipCase{"FolderNameIsWhole",
                             {"Tem", "Temp/"},
                             {},
                             {"a.txt", "a.txt.bak", "Temp/", "Temp/t", "sub/", "sub/A.TXT",
                              "sub/temp/", "sub/temp/u", "sub/keep", "Tempo/", "Tempo/v"}},
                    SkipCase{"FileInOtherCase",
                             {},
                             {"A.txt"},
                             {"a.txt.bak", "Temp/", "Temp/t", "sub/", "sub/temp/", "sub/temp/u",
                              "sub/keep", "Tempo/", "Tempo/v"}},
                    // A file entry keeps its backslash, and a file list never names a folder.
                    SkipCase{"FileListIsExact",
                             {},
                             {"a.txt\\", "Temp", "keep.bak"},
                             {"a.txt", "a.txt.bak", "Temp/", "Temp/t", "sub/", "sub/A.TXT",
                              "sub/temp/", "sub/temp/u", "sub/keep", "Tempo/", "Tempo/v"}}));

TEST_F(CopyDirectory, FailsWhenTheDestinationCannotBeCreated) {
  MakeTree(m_dir.Path("src"), {"a"});
  const std::string to = Utf8(m_dir.Path("no/dst"));
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), to.c_str(), 1, nullptr, nullptr, 0), kDirectoryFailed);
  EXPECT_FALSE(fs::exists(m_dir.Path("no")));
}

TEST_F(CopyDirectory, FailsForAMissingSourceAndKeepsTheNewDestination) {
  EXPECT_EQ(Copy(1), kDirectoryFailed);
  EXPECT_TRUE(fs::is_directory(m_dir.Path("dst")));
  EXPECT_EQ(kxuCopyDirectory(nullptr, Dst().c_str(), 1, nullptr, nullptr, 0), kDirectoryFailed);
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), nullptr, 1, nullptr, nullptr, 0), kDirectoryFailed);
}

TEST_F(CopyDirectory, StopsAtTheFirstTopLevelFileThatExistsAlready) {
  const std::vector<std::string> files = {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7"};
  MakeTree(m_dir.Path("src"), files);
  const std::vector<std::string> order = ListingOrder(m_dir.Path("src"));
  const std::string& blocked = order[order.size() / 2];
  fs::create_directory(m_dir.Path("dst"));
  WriteBytes(m_dir.Path("dst") / blocked, "old");

  EXPECT_EQ(Copy(1), kDirectoryFailed);
  Paths expected = {"!" + blocked};
  for (const std::string& name : order) {
    if (name == blocked) break;
    expected.insert(name);
  }
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), expected);
}

TEST_F(CopyDirectory, OverwritesTopLevelFilesWhenCalledAsNested) {
  MakeTree(m_dir.Path("src"), {"a"});
  MakeTree(m_dir.Path("dst"), {});
  WriteBytes(m_dir.Path("dst/a"), "old");
  EXPECT_EQ(Copy(1, nullptr, nullptr, 1), kDirectoryDone);
  EXPECT_EQ(ReadBytes(m_dir.Path("dst/a")), "a");
}

TEST_F(CopyDirectory, AFailureInASubfolderEndsThatSubfolderOnly) {
  std::vector<std::string> entries = {"top1", "sub/", "top2"};
  for (int i = 0; i < 6; ++i) entries.push_back("sub/x" + std::to_string(i));
  MakeTree(m_dir.Path("src"), entries);
  const std::vector<std::string> order = ListingOrder(m_dir.Path("src/sub"));
  const std::string& blocked = order[order.size() / 2];
  // A folder where the file should go makes its copy fail.
  fs::create_directories(m_dir.Path("dst/sub") / blocked);
  // Existing files below the top level are overwritten.
  WriteBytes(m_dir.Path("dst/sub") / order[0], "old");

  EXPECT_EQ(Copy(1), kDirectoryDone);
  Paths expected = {"top1", "top2", "sub/", "sub/" + blocked + "/"};
  for (const std::string& name : order) {
    if (name == blocked) break;
    expected.insert("sub/" + name);
  }
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), expected);
}

TEST_F(CopyDirectory, PassesOverASubfolderItCannotRead) {
  if (const std::string why = kxu::test::ReadRefusalUnsupported(); !why.empty())
    GTEST_SKIP() << why;
  MakeTree(m_dir.Path("src"), {"a", "closed/hidden_from_us", "z/b"});
  fs::permissions(m_dir.Path("src/closed"), fs::perms::none);
  EXPECT_EQ(Copy(1), kDirectoryDone);
  fs::permissions(m_dir.Path("src/closed"), fs::perms::owner_all);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), (Paths{"a", "closed/", "z/", "z/b"}));
}

TEST_F(CopyDirectory, WalksAThousandLevelsDeep) {
  fs::path deepest = m_dir.Path("src");
  fs::create_directory(deepest);
  for (int i = 0; i < 1000; ++i) fs::create_directory(deepest /= "d");
  WriteBytes(deepest / "leaf", "bottom");
  EXPECT_EQ(Copy(1), kDirectoryDone);
  fs::path copied = m_dir.Path("dst");
  for (int i = 0; i < 1000; ++i) copied /= "d";
  EXPECT_EQ(ReadBytes(copied / "leaf"), "bottom");
}

TEST_F(CopyDirectory, DoesNotFollowALinkBackToAFolderBeingWalked) {
  if (const std::string why = SymlinksUnsupported(m_dir.Path()); !why.empty()) GTEST_SKIP() << why;
  MakeTree(m_dir.Path("src"), {"a", "sub/b", "other/c"});
  fs::create_directory_symlink(m_dir.Path("src"), m_dir.Path("src/sub/back"));
  fs::create_directory_symlink(m_dir.Path("src/sub"), m_dir.Path("src/sub/self"));
  // A link to a folder that is not being walked is copied as that folder.
  fs::create_directory_symlink(m_dir.Path("src/other"), m_dir.Path("src/sub/side"));
  EXPECT_EQ(Copy(1), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")),
            (Paths{"a", "sub/", "sub/b", "other/", "other/c", "sub/side/", "!sub/side/c"}));
}

TEST_F(CopyDirectory, RefusesToCopyAFolderOntoItself) {
  MakeTree(m_dir.Path("src"), {"a", "sub/b"});
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), (Src() + "\\").c_str(), 1, nullptr, nullptr, 1),
            kDirectoryFailed);
  EXPECT_EQ(TreeOf(m_dir.Path("src")), (Paths{"a", "sub/", "sub/b"}));
}

TEST_F(CopyDirectory, DoesNotCopyADestinationInsideTheSourceIntoItself) {
  MakeTree(m_dir.Path("src"), {"a", "sub/b"});
  const std::string to = Utf8(m_dir.Path("src/sub/out"));
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), to.c_str(), 1, nullptr, nullptr, 0), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("src/sub/out")), (Paths{"a", "sub/", "sub/b"}));
}

// ---------------------------------------------------------------------------
// Deleting

class DeleteFiles : public testing::Test {
 protected:
  void SetUp() override {
    MakeTree(m_dir.Path("d"), {"a.txt", "b.TXT", ".hidden.txt", "c.log", "sub.txt/inner.txt",
                               "locked.txt", "\xC3\xA9 t\xC3\xA9.txt"});
    MarkHidden(m_dir.Path("d/.hidden.txt"));
    fs::permissions(m_dir.Path("d/locked.txt"), fs::perms::owner_read);
  }
  std::string Dir() const { return Utf8(m_dir.Path("d")); }

  TempDir m_dir;
};

TEST_F(DeleteFiles, DeletesTheMatchingFilesThatAreNotListed) {
  CZQVStringArray skip = ArrayOf({"B.txt"});
  EXPECT_EQ(kxuDelFiles(Dir().c_str(), "*.TXT", &skip), 3);
  EXPECT_EQ(TreeOf(m_dir.Path("d")),
            (Paths{"b.TXT", "c.log", "sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
}

TEST_F(DeleteFiles, DeletesEveryFileForANullPattern) {
  EXPECT_EQ(kxuDelFiles((Dir() + "\\").c_str(), nullptr, nullptr), 5);
  EXPECT_EQ(TreeOf(m_dir.Path("d")), (Paths{"sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
}

TEST_F(DeleteFiles, ReportsEachResultCode) {
  struct Case {
    std::string dir;
    const char* pattern;
    int nExpected;
  };
  const std::string file = Utf8(m_dir.Path("d/c.log"));
  for (const Case& c :
       {Case{Dir(), "*.none", 0}, Case{Dir(), "a.txt.*x", 0},
        Case{Utf8(m_dir.Path("missing")), "*.*", kDirectoryNoFolder},
        Case{file, "*.*", kDirectoryNoFolder}, Case{"", "*.*", kDirectoryNoFolder}}) {
    EXPECT_EQ(kxuDelFiles(c.dir.c_str(), c.pattern, nullptr), c.nExpected) << c.dir << c.pattern;
  }
  EXPECT_EQ(kxuDelFiles(nullptr, "*.*", nullptr), kDirectoryNoFolder);
  EXPECT_EQ(TreeOf(m_dir.Path("d")).size(), 8u);
}

TEST_F(DeleteFiles, ReportsAFolderItCannotSearch) {
  if (const std::string why = kxu::test::ReadRefusalUnsupported(); !why.empty())
    GTEST_SKIP() << why;
  fs::permissions(m_dir.Path("d"), fs::perms::owner_write | fs::perms::owner_exec);
  EXPECT_EQ(kxuDelFiles(Dir().c_str(), "*.*", nullptr), kDirectorySearchFailed);
  fs::permissions(m_dir.Path("d"), fs::perms::owner_all);
  EXPECT_EQ(TreeOf(m_dir.Path("d")).size(), 8u);
}

}  // namespace
