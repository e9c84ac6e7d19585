// The system's file calls as the files family uses them: the directory
// search (patterns, what an entry is, links), folder creation, deletion,
// attributes, folder identities and the copy of one file. (A search that
// outlives the deletion of its entries is tested through the deletion of
// files.)
#include <kxutils96/platform/win32/win_file.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <kxutils96/platform/win32/unicode.h>

#include "support/file_bytes.h"
#include "support/hidden_file.h"
#include "support/symlinks.h"
#include "support/temp_dir.h"
#include "support/utf8_path.h"

namespace {

namespace fs = std::filesystem;
using kxu::test::ReadBytes;
using kxu::test::SymlinksUnsupported;
using kxu::test::TempDir;
using kxu::test::WriteBytes;
using Names = std::set<std::string>;

std::u16string Wide(const fs::path& path) {
  return path.u16string();
}

// Every entry a search for `pattern` reports, by name, with the last error it
// ended with (or the error of a search that did not start).
struct SearchResult {
  std::vector<std::pair<std::string, DWORD>> entries;  // name and attributes
  DWORD dwEndError;

  Names NameSet() const {
    Names names;
    for (const auto& entry : entries) names.insert(entry.first);
    return names;
  }
  // The attributes that tell what a name is (FILE_ATTRIBUTE_ARCHIVE, which
  // Windows sets on every new file, left out), or 0xFF when it was not found.
  DWORD KindOf(const std::string& name) const {
    for (const auto& entry : entries) {
      if (entry.first == name) return entry.second & ~DWORD{FILE_ATTRIBUTE_ARCHIVE};
    }
    return 0xFF;
  }
};

SearchResult Search(const std::u16string& pattern) {
  SearchResult result{{}, ERROR_SUCCESS};
  WIN32_FIND_DATAW data{};
  HANDLE h = FindFirstFileW(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) {
    result.dwEndError = GetLastError();
    return result;
  }
  do {
    result.entries.emplace_back(kxu::platform::Utf16ToUtf8(data.cFileName), data.dwFileAttributes);
  } while (FindNextFileW(h, &data));
  result.dwEndError = GetLastError();
  EXPECT_TRUE(FindClose(h));
  return result;
}

TEST(FindFirstFileW, ReportsExactlyTheMatchingNames) {
  TempDir dir;
  const Names files = {"a.txt",
                       "B.TXT",
                       "readme",
                       "x.tar.gz",
                       "ab",
                       "\xC3\xA9t\xC3\xA9.txt",
                       "\xC3\x89T\xC3\x89 2.TXT",
                       "my file"};
  for (const std::string& name : files) WriteBytes(dir.Path(name), "x");
  fs::create_directory(dir.Path("sub.d"));
  Names every = files;
  every.insert({".", "..", "sub.d"});
  const struct {
    const char* pattern;
    Names expected;  // empty: the search fails with ERROR_FILE_NOT_FOUND
  } rows[] = {
      {"*.*", every},
      {"*", every},
      {"*.txt", {"a.txt", "B.TXT", "\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89 2.TXT"}},
      {"?b", {"ab"}},
      {"A*", {"a.txt", "ab"}},
      {"readme.*", {"readme"}},
      {"*.gz", {"x.tar.gz"}},
      {"b.txt", {"B.TXT"}},
      {"\xC3\x89*", {"\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89 2.TXT"}},  // folding past ASCII
      {"my?file", {"my file"}},
      {"*d", {"sub.d"}},
      {"?", {"."}},
      {"nothing*", {}},
      {"a.tx", {}},
      {"", {}},
  };
  for (const auto& row : rows) {
    const SearchResult result =
        Search(Wide(dir.Path()) + u"\\" + Wide(kxu::test::PathOfUtf8(row.pattern)));
    EXPECT_EQ(result.NameSet(), row.expected) << row.pattern;
    EXPECT_EQ(result.dwEndError, row.expected.empty() ? ERROR_FILE_NOT_FOUND : ERROR_NO_MORE_FILES)
        << row.pattern;
  }
}

TEST(FindFirstFileW, TellsFoldersHiddenNamesAndLinksByWhatTheyReach) {
  TempDir dir;
  WriteBytes(dir.Path("plain"), "12345");
  WriteBytes(dir.Path(".hidden"), "");
  kxu::test::MarkHidden(dir.Path(".hidden"));
  fs::create_directory(dir.Path("folder"));
  const bool bLinks = SymlinksUnsupported(dir.Path()).empty();
  if (bLinks) {
    fs::create_directory_symlink(dir.Path("folder"), dir.Path("to_folder"));
    fs::create_symlink(dir.Path("missing"), dir.Path("broken"));
  }
  const SearchResult result = Search(Wide(dir.Path()) + u"/*.*");
  EXPECT_EQ(result.entries.size(), bLinks ? 7u : 5u);
  EXPECT_EQ(result.KindOf("plain") & ~DWORD{FILE_ATTRIBUTE_NORMAL}, 0u);
  EXPECT_EQ(result.KindOf(".hidden") & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
  for (const char* folder : {".", "..", "folder"}) {
    EXPECT_EQ(result.KindOf(folder), DWORD{FILE_ATTRIBUTE_DIRECTORY}) << folder;
  }
  if (bLinks) {
    EXPECT_EQ(result.KindOf("to_folder"), DWORD{FILE_ATTRIBUTE_DIRECTORY});
    EXPECT_EQ(result.KindOf("broken") & FILE_ATTRIBUTE_DIRECTORY, 0u);
  }
}

// A search in a folder that is not there fails as the system's does (a
// folder the search may not read is tested through the deletion of files).
TEST(FindFirstFileW, FailsWithTheSystemsErrors) {
  TempDir dir;
  WriteBytes(dir.Path("file"), "x");
  EXPECT_EQ(Search(Wide(dir.Path("missing")) + u"\\*.*").dwEndError, ERROR_PATH_NOT_FOUND);
  const DWORD dwFileAsFolder = Search(Wide(dir.Path("file")) + u"\\*.*").dwEndError;
  EXPECT_TRUE(dwFileAsFolder == ERROR_PATH_NOT_FOUND || dwFileAsFolder == ERROR_INVALID_NAME)
      << dwFileAsFolder;
}

TEST(CreateDirectoryW, CreatesOneLevel) {
  TempDir dir;
  EXPECT_TRUE(CreateDirectoryW((Wide(dir.Path("new")) + u"\\").c_str(), nullptr));
  EXPECT_TRUE(fs::is_directory(dir.Path("new")));
  EXPECT_FALSE(CreateDirectoryW(Wide(dir.Path("new")).c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryW(Wide(dir.Path("a/b")).c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(DeleteFileW, DeletesFilesAndLinksOnly) {
  TempDir dir;
  WriteBytes(dir.Path("f"), "x");
  fs::create_directory(dir.Path("folder"));
  EXPECT_TRUE(DeleteFileW(Wide(dir.Path("f")).c_str()));
  EXPECT_FALSE(fs::exists(dir.Path("f")));
  const struct {
    const char* name;
    DWORD dwError;
  } refusals[] = {
      {"folder", ERROR_ACCESS_DENIED}, {"f", ERROR_FILE_NOT_FOUND}, {"no/f", ERROR_PATH_NOT_FOUND}};
  for (const auto& r : refusals) {
    EXPECT_FALSE(DeleteFileW(Wide(dir.Path(r.name)).c_str())) << r.name;
    EXPECT_EQ(GetLastError(), r.dwError) << r.name;
  }
  EXPECT_TRUE(fs::exists(dir.Path("folder")));
  if (!SymlinksUnsupported(dir.Path()).empty()) return;
  WriteBytes(dir.Path("target"), "kept");
  fs::create_symlink(dir.Path("target"), dir.Path("link"));
  EXPECT_TRUE(DeleteFileW(Wide(dir.Path("link")).c_str()));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path("link"))));
  EXPECT_EQ(ReadBytes(dir.Path("target")), "kept");
}

TEST(GetFileAttributesW, TellsAFolderByItsName) {
  TempDir dir;
  fs::create_directory(dir.Path("folder"));
  fs::create_directory(dir.Path(".folder"));
  kxu::test::MarkHidden(dir.Path(".folder"));
  WriteBytes(dir.Path("f"), "x");
  EXPECT_EQ(GetFileAttributesW((Wide(dir.Path("folder")) + u"\\").c_str()),
            DWORD{FILE_ATTRIBUTE_DIRECTORY});
  // The name read past the trailing separator decides a hidden folder.
  EXPECT_EQ(GetFileAttributesW((Wide(dir.Path(".folder")) + u"\\").c_str()),
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributesW(Wide(dir.Path("f")).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(GetFileAttributesW(Wide(dir.Path("g")).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// The directory copy tells a folder it has walked by its identity.
TEST(GetFileIdInfoW, TellsWhenTwoNamesReachTheSameFolder) {
  TempDir dir;
  fs::create_directory(dir.Path("a"));
  fs::create_directory(dir.Path("b"));
  const bool bLinks = SymlinksUnsupported(dir.Path()).empty();
  if (bLinks) fs::create_directory_symlink(dir.Path("a"), dir.Path("link"));
  FILE_ID_INFO a{}, other{};
  ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("a")).c_str(), &a));
  ASSERT_TRUE(GetFileIdInfoW((Wide(dir.Path("a")) + u"\\.").c_str(), &other));
  EXPECT_EQ(std::memcmp(&a, &other, sizeof(a)), 0);
  if (bLinks) {
    ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("link")).c_str(), &other));
    EXPECT_EQ(std::memcmp(&a, &other, sizeof(a)), 0);
  }
  ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("b")).c_str(), &other));
  EXPECT_NE(std::memcmp(&a, &other, sizeof(a)), 0);
  EXPECT_FALSE(GetFileIdInfoW(Wide(dir.Path("c")).c_str(), &other));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(CopyFileW, CopiesContentsAndOverwritesOnlyWhenAllowed) {
  TempDir dir;
  std::string large(size_t{3} * 1024 * 1024 + 17, '\0');  // larger than any copy buffer
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 7919) >> 3);
  WriteBytes(dir.Path("large"), large);
  WriteBytes(dir.Path("empty"), "");
  WriteBytes(dir.Path("dst"), "a longer old text");
  for (const char* name : {"large", "empty"}) {
    ASSERT_TRUE(CopyFileW(Wide(dir.Path(name)).c_str(), Wide(dir.Path("dst")).c_str(), FALSE));
    EXPECT_EQ(ReadBytes(dir.Path("dst")), ReadBytes(dir.Path(name))) << name;
  }
  EXPECT_FALSE(CopyFileW(Wide(dir.Path("large")).c_str(), Wide(dir.Path("dst")).c_str(), TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadBytes(dir.Path("dst")), "");
}

TEST(CopyFileW, CopiesWhatALinkReachesButNeverAFileOntoItself) {
  TempDir dir;
  WriteBytes(dir.Path("f"), "precious");
  EXPECT_FALSE(CopyFileW(Wide(dir.Path("f")).c_str(), Wide(dir.Path("f")).c_str(), FALSE));
  EXPECT_EQ(ReadBytes(dir.Path("f")), "precious");
  if (const std::string why = SymlinksUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  fs::create_symlink(dir.Path("f"), dir.Path("alias"));
  EXPECT_TRUE(CopyFileW(Wide(dir.Path("alias")).c_str(), Wide(dir.Path("copy")).c_str(), TRUE));
  EXPECT_FALSE(fs::is_symlink(dir.Path("copy")));
  EXPECT_EQ(ReadBytes(dir.Path("copy")), "precious");
  EXPECT_FALSE(CopyFileW(Wide(dir.Path("f")).c_str(), Wide(dir.Path("alias")).c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ReadBytes(dir.Path("f")), "precious");
}

// A copy that cannot be made fails and leaves nothing behind.
TEST(CopyFileW, RefusesWhatItCannotCopy) {
  TempDir dir;
  WriteBytes(dir.Path("f"), "x");
  fs::create_directory(dir.Path("folder"));
  for (const auto& [from, to] : {std::pair{"missing", "x1"},
                                 {"no/f", "x2"},
                                 {"folder", "x3"},
                                 {"f", "no/x4"},
                                 {"f", "folder"}}) {
    EXPECT_FALSE(CopyFileW(Wide(dir.Path(from)).c_str(), Wide(dir.Path(to)).c_str(), FALSE))
        << from << " -> " << to;
  }
  for (const char* name : {"x1", "x2", "x3"}) EXPECT_FALSE(fs::exists(dir.Path(name)));
}

}  // namespace
