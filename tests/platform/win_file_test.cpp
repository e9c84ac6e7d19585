// The system's file calls as the files family uses them: the directory
// search's patterns, folder creation, deletion, attributes and the copy of
// one file. (A search that outlives the deletion
// of its entries, and a folder the search may not read, are tested through
// the deletion of files; folder identities through the directory copy's
// links back to a folder being walked.)
#include <kxutils96/platform/win32/win_file.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <set>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>

#include <kxutils96/platform/text/unicode.h>

#include "support/file_bytes.h"
#include "support/hidden_file.h"
#include "support/temp_dir.h"
#include "support/utf8_path.h"

namespace {

namespace fs = std::filesystem;
using namespace kxu::test;

class WinFile : public testing::Test {
 protected:
  std::u16string W(std::string_view name) const { return m_dir.Path(name).u16string(); }
  // Whether a symbolic link can be made here: not every system lets every user.
  bool Links() const {
    std::error_code error;
    fs::create_symlink(m_dir.Path("target"), m_dir.Path(".probe"), error);
    return !error && fs::remove(m_dir.Path(".probe"));
  }

  // The names a search for `pattern` in the folder reports, in order, each
  // followed by a space, and the error the search ended with.
  std::pair<std::string, DWORD> Search(std::string_view pattern) const {
    std::set<std::string> names;
    WIN32_FIND_DATAW data{};
    const std::u16string path = W("") + u"\\" + kxu::test::PathOfUtf8(pattern).u16string();
    const HANDLE h = FindFirstFileW(path.c_str(), &data);
    for (bool bMore = h != INVALID_HANDLE_VALUE; bMore; bMore = FindNextFileW(h, &data))
      names.insert(kxu::platform::Utf16ToUtf8(data.cFileName) + " ");
    const DWORD dwEnd = GetLastError();
    EXPECT_TRUE(h == INVALID_HANDLE_VALUE || FindClose(h));
    return {std::accumulate(names.begin(), names.end(), std::string()), dwEnd};
  }

  kxu::test::TempDir m_dir;
};

TEST_F(WinFile, SearchReportsExactlyTheMatchingNames) {
  for (const char* name : {"a.txt", "B.TXT", "readme", "x.tar.gz", "ab", "\xC3\xA9t\xC3\xA9.txt"})
    WriteBytes(m_dir.Path(name), "x");
  fs::create_directory(m_dir.Path("sub.d"));
  // The pattern, the names found and the error the search ends with.
  const std::tuple<const char*, std::string, DWORD> rows[] = {
      {"*.*", ". .. B.TXT a.txt ab readme sub.d x.tar.gz \xC3\xA9t\xC3\xA9.txt ",
       ERROR_NO_MORE_FILES},
      {"?b", "ab ", ERROR_NO_MORE_FILES},
      {"A.TX?", "a.txt ", ERROR_NO_MORE_FILES},  // the letters at both ends fold
      {"*Z", "x.tar.gz ", ERROR_NO_MORE_FILES},
      {"readme.*", "readme ", ERROR_NO_MORE_FILES},
      {"\xC3\x89*", "\xC3\xA9t\xC3\xA9.txt ", ERROR_NO_MORE_FILES},  // folding past ASCII
      {"nothing*", "", ERROR_FILE_NOT_FOUND},
      {"missing/*.*", "", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& [pattern, names, dwEnd] : rows)
    EXPECT_EQ(Search(pattern), std::make_pair(names, dwEnd)) << pattern;
  // A file found carries its size and the time it was written.
  WIN32_FIND_DATAW data{};
  const HANDLE h = FindFirstFileW((W("") + u"\\readme").c_str(), &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.nFileSizeLow, 1u);
  EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
  EXPECT_TRUE(FindClose(h));
}

// A folder is made one level at a time; deletion takes files and links (never
// what a link reaches), and no folder.
TEST_F(WinFile, FoldersAreMadeOneLevelAtATimeAndOnlyFilesAndLinksAreDeleted) {
  EXPECT_TRUE(CreateDirectoryW((W("new") + u"\\").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryW(W("a/b").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(DeleteFileW(W("new").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(fs::is_directory(m_dir.Path("new")));
  if (!Links()) return;
  WriteBytes(m_dir.Path("target"), "kept");
  fs::create_symlink(m_dir.Path("target"), m_dir.Path("link"));
  EXPECT_TRUE(DeleteFileW(W("link").c_str()));
  EXPECT_FALSE(fs::exists(fs::symlink_status(m_dir.Path("link"))));
  EXPECT_EQ(ReadBytes(m_dir.Path("target")), "kept");
}

TEST_F(WinFile, AttributesTellAFolderByItsName) {
  fs::create_directory(m_dir.Path("folder"));
  fs::create_directory(m_dir.Path(".folder"));
  kxu::test::MarkHidden(m_dir.Path(".folder"));
  WriteBytes(m_dir.Path("f"), "x");
  EXPECT_EQ(GetFileAttributesW((W("folder") + u"\\").c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  // The name read past the trailing separator decides a hidden folder.
  EXPECT_EQ(GetFileAttributesW((W(".folder") + u"\\").c_str()),
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributesW(W("f").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(GetFileAttributesW(W("g").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(WinFile, CopyOverwritesOnlyWhenAllowedAndNeverAFileOntoItself) {
  std::string large(size_t{3} * 1024 * 1024 + 17, '\0');  // larger than any copy buffer
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 7919) >> 3);
  WriteBytes(m_dir.Path("large"), large);
  WriteBytes(m_dir.Path("empty"), "");
  WriteBytes(m_dir.Path("dst"), "a longer old text");
  for (const char* name : {"large", "empty"}) {
    ASSERT_TRUE(CopyFileW(W(name).c_str(), W("dst").c_str(), FALSE));
    EXPECT_EQ(ReadBytes(m_dir.Path("dst")), ReadBytes(m_dir.Path(name))) << name;
  }
  EXPECT_FALSE(CopyFileW(W("large").c_str(), W("dst").c_str(), TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_FALSE(CopyFileW(W("large").c_str(), W("large").c_str(), FALSE));
  EXPECT_EQ(ReadBytes(m_dir.Path("dst")), "");
  EXPECT_TRUE(ReadBytes(m_dir.Path("large")) == large);
  // A copy that cannot be made fails and leaves nothing behind.
  fs::create_directory(m_dir.Path("folder"));
  for (const char* from : {"missing", "folder"})
    EXPECT_FALSE(CopyFileW(W(from).c_str(), W("x").c_str(), FALSE) || fs::exists(m_dir.Path("x")));
  if (!Links()) return;
  fs::create_symlink(m_dir.Path("large"), m_dir.Path("alias"));
  EXPECT_TRUE(CopyFileW(W("alias").c_str(), W("copy").c_str(), TRUE));
  EXPECT_FALSE(fs::is_symlink(m_dir.Path("copy")));
  EXPECT_FALSE(CopyFileW(W("large").c_str(), W("alias").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(ReadBytes(m_dir.Path("copy")) == large);
  EXPECT_TRUE(ReadBytes(m_dir.Path("large")) == large);
}

}  // namespace
