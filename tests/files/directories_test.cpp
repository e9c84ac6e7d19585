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

// Each row copies into a folder of its own; the source path may end in
// either separator or none, the destination in a backslash. Hidden entries
// are never copied.
TEST_F(CopyDirectory, CopiesTheFilesAndWithSubfoldersTheTree) {
  MakeTree(m_dir.Path("src"), {"a", "my file \xC3\xA9.txt", "sub/b", "sub/deeper/c", "empty/"});
  const Paths all = TreeOf(m_dir.Path("src"));
  MakeTree(m_dir.Path("src"), {".hidden", ".git/config", "sub/.profile"});
  for (const char* name : {".hidden", ".git", "sub/.profile"})
    MarkHidden(m_dir.Path("src/" + std::string(name)));
  const struct {
    std::string suffix;
    int bSubfolders;
    std::vector<std::string> existing;
  } cases[] = {{"\\", 1, {}}, {"/", 0, {}}, {"", 1, {"old", "sub/older"}}};
  int n = 0;
  for (const auto& c : cases) {
    const fs::path to = m_dir.Path("dst" + std::to_string(n++));
    MakeTree(to, c.existing);
    Paths expected = c.bSubfolders ? all : Paths{"a", "my file \xC3\xA9.txt"};
    for (const std::string& name : c.existing) expected.insert(name);
    EXPECT_EQ(kxuCopyDirectory((Src() + c.suffix).c_str(), (Utf8(to) + "\\").c_str(), c.bSubfolders,
                               nullptr, nullptr, 0),
              kDirectoryDone);
    EXPECT_EQ(TreeOf(to), expected) << c.suffix;
  }
}

// Folder names match whole, case aside, with trailing backslashes dropped;
// file names match whole, case aside, exactly as listed (a file list never
// names a folder).
TEST_F(CopyDirectory, SkipListsLeaveOutTheListedNamesAtEveryDepth) {
  MakeTree(m_dir.Path("src"),
           {"a.txt", "a.txt.bak", "Temp/t", "sub/A.TXT", "sub/temp/u", "sub/keep", "Tempo/v"});
  const Paths all = TreeOf(m_dir.Path("src"));
  const Paths allButTemp = {"a.txt",    "a.txt.bak", "sub/",   "sub/A.TXT",
                            "sub/keep", "Tempo/",    "Tempo/v"};
  const struct {
    std::vector<std::string> folders, files;
    Paths expected;
  } cases[] = {
      {{"TEMP"}, {}, allButTemp},
      {{"x", "tEmP\\\\"}, {}, allButTemp},
      {{"Tem", "Temp/"}, {}, all},
      {{},
       {"A.txt"},
       {"a.txt.bak", "Temp/", "Temp/t", "sub/", "sub/temp/", "sub/temp/u", "sub/keep", "Tempo/",
        "Tempo/v"}},
      {{}, {"a.txt\\", "Temp", "keep.bak"}, all},
  };
  int n = 0;
  for (const auto& c : cases) {
    CZQVStringArray folders = ArrayOf(c.folders);
    CZQVStringArray files = ArrayOf(c.files);
    const fs::path to = m_dir.Path("dst" + std::to_string(n++));
    EXPECT_EQ(kxuCopyDirectory(Src().c_str(), Utf8(to).c_str(), 1, &folders, &files, 0),
              kDirectoryDone);
    EXPECT_EQ(TreeOf(to), c.expected) << n;
  }
}

TEST_F(CopyDirectory, FailsForAMissingSourceOrDestinationFolder) {
  EXPECT_EQ(Copy(1), kDirectoryFailed);
  EXPECT_TRUE(fs::is_directory(m_dir.Path("dst"))) << "the new destination stays";
  EXPECT_EQ(kxuCopyDirectory(nullptr, Dst().c_str(), 1, nullptr, nullptr, 0), kDirectoryFailed);
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), nullptr, 1, nullptr, nullptr, 0), kDirectoryFailed);
  MakeTree(m_dir.Path("src"), {"a"});
  const std::string to = Utf8(m_dir.Path("no/dst"));
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), to.c_str(), 1, nullptr, nullptr, 0), kDirectoryFailed);
  EXPECT_FALSE(fs::exists(m_dir.Path("no")));
}

// At the top level a file that exists already stops the copy there; called
// as nested, the copy overwrites it.
TEST_F(CopyDirectory, StopsAtTheFirstTopLevelFileThatExistsAlready) {
  MakeTree(m_dir.Path("src"), {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7"});
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
  EXPECT_EQ(Copy(1, nullptr, nullptr, 1), kDirectoryDone);
  EXPECT_EQ(TreeOf(m_dir.Path("dst")), TreeOf(m_dir.Path("src")));
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

// The walk keeps no stack frame a level: what depth costs is the length of
// the paths, here past the 1024 units a name converts in without the heap.
TEST_F(CopyDirectory, WalksAFolderDeeperThan1024Units) {
  fs::path deepest = m_dir.Path("src");
  fs::create_directory(deepest);
  for (int i = 0; i < 150; ++i) fs::create_directory(deepest /= "folder8");
  WriteBytes(deepest / "leaf", "bottom");
  EXPECT_EQ(Copy(1), kDirectoryDone);
  fs::path copied = m_dir.Path("dst");
  for (int i = 0; i < 150; ++i) copied /= "folder8";
  ASSERT_GT(copied.native().size(), 1024u);
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

// Never onto itself; a destination inside the source is not copied into itself.
TEST_F(CopyDirectory, NeverCopiesAFolderIntoItself) {
  MakeTree(m_dir.Path("src"), {"a", "sub/b"});
  EXPECT_EQ(kxuCopyDirectory(Src().c_str(), (Src() + "\\").c_str(), 1, nullptr, nullptr, 1),
            kDirectoryFailed);
  EXPECT_EQ(TreeOf(m_dir.Path("src")), (Paths{"a", "sub/", "sub/b"}));
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

// Files only, matched case aside; a null pattern matches every one, and a
// listed name or a hidden or read-only file stays.
TEST_F(DeleteFiles, DeletesTheMatchingFilesThatAreNotListed) {
  CZQVStringArray skip = ArrayOf({"B.txt"});
  EXPECT_EQ(kxuDelFiles(Dir().c_str(), "*.TXT", &skip), 3);
  EXPECT_EQ(TreeOf(m_dir.Path("d")),
            (Paths{"b.TXT", "c.log", "sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
  EXPECT_EQ(kxuDelFiles((Dir() + "\\").c_str(), nullptr, nullptr), 2);
  EXPECT_EQ(TreeOf(m_dir.Path("d")), (Paths{"sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
}

TEST_F(DeleteFiles, ReportsEachResultCode) {
  const std::string file = Utf8(m_dir.Path("d/c.log"));
  const std::pair<std::string, int> cases[] = {{Dir(), 0},
                                               {Utf8(m_dir.Path("missing")), kDirectoryNoFolder},
                                               {file, kDirectoryNoFolder},
                                               {"", kDirectoryNoFolder}};
  for (const auto& [folder, nExpected] : cases)
    EXPECT_EQ(kxuDelFiles(folder.c_str(), "*.none", nullptr), nExpected) << folder;
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
