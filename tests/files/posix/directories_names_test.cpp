// Directory copy and delete with names that only POSIX file systems hold:
// bytes that are not UTF-8, and a backslash inside a name.
#include <kxutils96/files/directories.h>
#include <kxutils96/files/text_file_reader.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include <support/file_bytes.h>
#include <support/temp_dir.h>

namespace {

namespace fs = std::filesystem;
using namespace kxu::test;
using Names = std::set<std::string>;

// Every entry below `root` as native bytes ('/' between names, folders with
// a trailing '/'), each file with its content after a ':'.
Names TreeOf(const fs::path& root) {
  Names names;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).native();
    names.insert(entry.is_directory() ? name + "/" : name + ":" + ReadBytes(entry.path()));
  }
  return names;
}

// Creates the files of `tree` (as TreeOf gives it) under `root`.
void MakeTree(const fs::path& root, const Names& tree) {
  for (const std::string& entry : tree) {
    const size_t colon = entry.find(':');
    const fs::path path = root / entry.substr(0, colon);
    fs::create_directories(colon == std::string::npos ? path : path.parent_path());
    if (colon != std::string::npos) WriteBytes(path, entry.substr(colon + 1));
  }
}

// Names that are not UTF-8 are copied, deleted and read like others; a
// backslash inside a name never acts as a separator.
TEST(DirectoryNames, NamesThatAreNotUtf8OrHoldABackslash) {
  TempDir dir;
  const Names tree = {"a:1", "caf\xE9.txt:2", "d\xFF/", "d\xFF/\xC3:3", "z:4"};
  MakeTree(dir.Path("src"), tree);
  const std::string dst = dir.Path("dst").native();
  EXPECT_EQ(kxuCopyDirectory(dir.Path("src").c_str(), dst.c_str(), 1, nullptr, nullptr, 0), 1);
  EXPECT_EQ(TreeOf(dir.Path("dst")), tree);
  EXPECT_EQ(kxuDelFiles(dst.c_str(), "*.*", nullptr), 3);
  EXPECT_EQ(kxuDelFiles((dst + "/d\xFF").c_str(), "*.*", nullptr), 1);
  EXPECT_EQ(TreeOf(dir.Path("dst")), (Names{"d\xFF/"}));
  CStringUTF8 strText;
  EXPECT_EQ(kxu_read_text_file(dir.Path("src/caf\xE9.txt").c_str(), &strText, 0), 1);
  EXPECT_STREQ(strText, "2");

  const Names named = {"victim:v",
                       "D/",
                       "D/x/",
                       "D/x/inner:i",
                       "D/x\\inner:bs1",
                       "D/..\\victim:bs2",
                       "D/x\\..\\..\\victim:bs3"};
  MakeTree(dir.Path("b"), named);
  EXPECT_EQ(kxuDelFiles(dir.Path("b/D").c_str(), "*.*", nullptr), 0);
  EXPECT_EQ(
      kxuCopyDirectory(dir.Path("b/D").c_str(), dir.Path("b/C").c_str(), 1, nullptr, nullptr, 0),
      1);
  Names expected = named;
  expected.insert({"C/", "C/x/", "C/x/inner:i"});
  EXPECT_EQ(TreeOf(dir.Path("b")), expected);
}

}  // namespace
