#include <kxutils96/platform/win32/win_file.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <kxutils96/platform/win32/unicode.h>

#include "support/file_bytes.h"
#include "support/hidden_file.h"
#include "support/permissions.h"
#include "support/symlinks.h"
#include "support/temp_dir.h"
#include "support/utf8_path.h"

namespace {

namespace fs = std::filesystem;
using kxu::test::MarkHidden;
using kxu::test::ReadBytes;
using kxu::test::SymlinksUnsupported;
using kxu::test::TempDir;
using kxu::test::WriteBytes;
using Names = std::set<std::string>;

std::u16string Wide(const fs::path& path) {
  return path.u16string();
}

// The FILETIME count (100 ns steps since 1601) of a file's last change.
ULONGLONG FileTimeOfLastWrite(const fs::path& path) {
  using FileTimeSteps = std::chrono::duration<ULONGLONG, std::ratio<1, 10000000>>;
  constexpr ULONGLONG kStepsFrom1601To1970 = 116444736000000000ULL;
  const auto sinceUnixEpoch =
      std::chrono::file_clock::to_sys(fs::last_write_time(path)).time_since_epoch();
  return kStepsFrom1601To1970 + std::chrono::duration_cast<FileTimeSteps>(sinceUnixEpoch).count();
}

// The attributes that tell what a name is: FILE_ATTRIBUTE_NORMAL and
// FILE_ATTRIBUTE_ARCHIVE (which Windows sets on every new file) left out.
DWORD KindOf(DWORD dwAttributes) {
  return dwAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
}

bool IsPlainFile(DWORD dwAttributes) {
  return dwAttributes == FILE_ATTRIBUTE_NORMAL || dwAttributes == FILE_ATTRIBUTE_ARCHIVE;
}

// Whole seconds: the Windows run-time library reads file times only to the
// second.
ULONGLONG Seconds(ULONGLONG ullFileTime) {
  return ullFileTime / 10000000;
}

std::string NameOf(const WIN32_FIND_DATAW& data) {
  return kxu::platform::Utf16ToUtf8(data.cFileName);
}

// Every entry a search for `pattern` reports, with the last error it ended
// with (ERROR_SUCCESS replaced by the error of a search that did not start).
struct SearchResult {
  std::vector<WIN32_FIND_DATAW> entries;
  DWORD dwEndError;

  Names NameSet() const {
    Names names;
    for (const WIN32_FIND_DATAW& data : entries) names.insert(NameOf(data));
    return names;
  }
  const WIN32_FIND_DATAW* Find(const std::string& name) const {
    for (const WIN32_FIND_DATAW& data : entries) {
      if (NameOf(data) == name) return &data;
    }
    return nullptr;
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
    result.entries.push_back(data);
  } while (FindNextFileW(h, &data));
  result.dwEndError = GetLastError();
  EXPECT_TRUE(FindClose(h));
  return result;
}

// ---------------------------------------------------------------------------
// Patterns

struct PatternCase {
  const char* pattern;
  Names expected;  // empty: the search fails with ERROR_FILE_NOT_FOUND
};

class FindPatterns : public testing::TestWithParam<PatternCase> {};

TEST_P(FindPatterns, ReportsExactlyTheMatchingNames) {
  TempDir dir;
  for (const char* name : {"a.txt", "B.TXT", "readme", "x.tar.gz", "ab", "\xC3\xA9t\xC3\xA9.txt",
                           "\xC3\x89T\xC3\x89 2.TXT", "my file"}) {
    WriteBytes(dir.Path(name), "x");
  }
  fs::create_directory(dir.Path("sub.d"));
  const SearchResult result =
      Search(Wide(dir.Path()) + u"\\" + Wide(kxu::test::PathOfUtf8(GetParam().pattern)));
  if (GetParam().expected.empty()) {
    EXPECT_TRUE(result.entries.empty());
    EXPECT_EQ(result.dwEndError, ERROR_FILE_NOT_FOUND);
  } else {
    EXPECT_EQ(result.NameSet(), GetParam().expected);
    EXPECT_EQ(result.dwEndError, ERROR_NO_MORE_FILES);
  }
}

const Names kEveryName = {".",
                          "..",
                          "a.txt",
                          "B.TXT",
                          "readme",
                          "x.tar.gz",
                          "ab",
                          "\xC3\xA9t\xC3\xA9.txt",
                          "\xC3\x89T\xC3\x89 2.TXT",
                          "my file",
                          "sub.d"};

INSTANTIATE_TEST_SUITE_P(
    Windows, FindPatterns,
    testing::Values(PatternCase{"*.*", kEveryName}, PatternCase{"*", kEveryName},
                    PatternCase{
                        "*.txt",
                        {"a.txt", "B.TXT", "\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89 2.TXT"}},
                    PatternCase{"?b", {"ab"}}, PatternCase{"A*", {"a.txt", "ab"}},
                    PatternCase{"readme.*", {"readme"}}, PatternCase{"*.gz", {"x.tar.gz"}},
                    PatternCase{"b.txt", {"B.TXT"}},
                    // Case folding reaches letters outside ASCII.
                    PatternCase{"\xC3\x89*", {"\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89 2.TXT"}},
                    PatternCase{"my?file", {"my file"}}, PatternCase{"*d", {"sub.d"}},
                    PatternCase{"?", {"."}}, PatternCase{"nothing*", {}}, PatternCase{"a.tx", {}},
                    PatternCase{"", {}}));

// ---------------------------------------------------------------------------
// Searches

TEST(FindFirstFileW, GivesAttributesSizesAndTimes) {
  TempDir dir;
  WriteBytes(dir.Path("plain"), "12345");
  WriteBytes(dir.Path(".hidden"), "");
  MarkHidden(dir.Path(".hidden"));
  WriteBytes(dir.Path("locked"), "");
  fs::permissions(dir.Path("locked"), fs::perms::owner_read | fs::perms::group_read);
  fs::create_directory(dir.Path("folder"));
  const SearchResult result = Search(Wide(dir.Path()) + u"/*.*");
  ASSERT_EQ(result.entries.size(), 6u);

  const WIN32_FIND_DATAW* plain = result.Find("plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(IsPlainFile(plain->dwFileAttributes)) << plain->dwFileAttributes;
  EXPECT_EQ(plain->nFileSizeLow, 5u);
  const ULONGLONG written = (ULONGLONG{plain->ftLastWriteTime.dwHighDateTime} << 32) |
                            plain->ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(Seconds(written), Seconds(FileTimeOfLastWrite(dir.Path("plain"))));

  EXPECT_EQ(KindOf(result.Find(".hidden")->dwFileAttributes), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(KindOf(result.Find("locked")->dwFileAttributes), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(result.Find("folder")->dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(result.Find("folder")->nFileSizeLow, 0u);
  EXPECT_EQ(result.Find(".")->dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(result.Find("..")->dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FindFirstFileW, SeesLinksAsWhatTheyPointToAndBrokenLinksAsFiles) {
  TempDir dir;
  if (const std::string why = SymlinksUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  fs::create_directory(dir.Path("target"));
  fs::create_directory_symlink(dir.Path("target"), dir.Path("to_folder"));
  fs::create_symlink(dir.Path("missing"), dir.Path("broken"));
  const SearchResult result = Search(Wide(dir.Path()) + u"/*o*");
  ASSERT_NE(result.Find("to_folder"), nullptr);
  EXPECT_EQ(result.Find("to_folder")->dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  ASSERT_NE(result.Find("broken"), nullptr);
  EXPECT_EQ(result.Find("broken")->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(FindFirstFileW, ReportsEntriesDeletedWhileTheSearchIsOpen) {
  TempDir dir;
  for (const char* name : {"a", "b", "c"}) WriteBytes(dir.Path(name), "x");
  WIN32_FIND_DATAW data{};
  HANDLE h = FindFirstFileW((Wide(dir.Path()) + u"/?").c_str(), &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  Names names = {NameOf(data)};
  for (const char* name : {"a", "b", "c"}) fs::remove(dir.Path(name));
  while (FindNextFileW(h, &data)) names.insert(NameOf(data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_EQ(names, (Names{".", "a", "b", "c"}));
  EXPECT_TRUE(FindClose(h));
}

TEST(FindFirstFileW, FailsWithTheSystemsErrors) {
  TempDir dir;
  WriteBytes(dir.Path("file"), "x");
  EXPECT_EQ(Search(Wide(dir.Path("missing")) + u"\\*.*").dwEndError, ERROR_PATH_NOT_FOUND);
  const DWORD dwFileAsFolder = Search(Wide(dir.Path("file")) + u"\\*.*").dwEndError;
  EXPECT_TRUE(dwFileAsFolder == ERROR_PATH_NOT_FOUND || dwFileAsFolder == ERROR_INVALID_NAME)
      << dwFileAsFolder;
  EXPECT_EQ(Search(Wide(dir.Path("a\\b")) + u"\\*").dwEndError, ERROR_PATH_NOT_FOUND);

  WIN32_FIND_DATAW data{};
  EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(FindFirstFileW(u"*", nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(nullptr));
}

TEST(FindFirstFileW, RefusesAFolderItMayNotRead) {
  if (const std::string why = kxu::test::ReadRefusalUnsupported(); !why.empty())
    GTEST_SKIP() << why;
  TempDir dir;
  fs::create_directory(dir.Path("closed"));
  fs::permissions(dir.Path("closed"), fs::perms::none);
  EXPECT_EQ(Search(Wide(dir.Path("closed")) + u"\\*.*").dwEndError, ERROR_ACCESS_DENIED);
  fs::permissions(dir.Path("closed"), fs::perms::owner_all);
}

TEST(FindFirstFileW, SearchesTheCurrentFolderForABarePattern) {
  TempDir dir;
  WriteBytes(dir.Path("only_here.bin"), "x");
  const fs::path saved = fs::current_path();
  fs::current_path(dir.Path());
  const SearchResult result = Search(u"only_here.*");
  fs::current_path(saved);
  EXPECT_EQ(result.NameSet(), Names{"only_here.bin"});
}

// ---------------------------------------------------------------------------
// Folders and files

TEST(CreateDirectoryW, CreatesOneLevel) {
  TempDir dir;
  EXPECT_TRUE(CreateDirectoryW((Wide(dir.Path("new")) + u"\\").c_str(), nullptr));
  EXPECT_TRUE(fs::is_directory(dir.Path("new")));
  EXPECT_FALSE(CreateDirectoryW(Wide(dir.Path("new")).c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryW(Wide(dir.Path("a/b")).c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(fs::exists(dir.Path("a")));
  EXPECT_FALSE(CreateDirectoryW(nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(DeleteFileW, DeletesFilesOnly) {
  TempDir dir;
  WriteBytes(dir.Path("f"), "x");
  fs::create_directory(dir.Path("folder"));
  WriteBytes(dir.Path("locked"), "x");
  fs::permissions(dir.Path("locked"), fs::perms::owner_read);

  EXPECT_TRUE(DeleteFileW(Wide(dir.Path("f")).c_str()));
  EXPECT_FALSE(fs::exists(dir.Path("f")));

  struct Refusal {
    const char* name;
    DWORD dwError;
  };
  for (const Refusal& r :
       {Refusal{"folder", ERROR_ACCESS_DENIED}, Refusal{"locked", ERROR_ACCESS_DENIED},
        Refusal{"f", ERROR_FILE_NOT_FOUND}, Refusal{"no/f", ERROR_PATH_NOT_FOUND}}) {
    EXPECT_FALSE(DeleteFileW(Wide(dir.Path(r.name)).c_str())) << r.name;
    EXPECT_EQ(GetLastError(), r.dwError) << r.name;
  }
  EXPECT_TRUE(fs::exists(dir.Path("folder")));
  EXPECT_TRUE(fs::exists(dir.Path("locked")));
}

TEST(DeleteFileW, DeletesALinkAndNotWhatItPointsTo) {
  TempDir dir;
  if (const std::string why = SymlinksUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  WriteBytes(dir.Path("target"), "kept");
  fs::create_symlink(dir.Path("target"), dir.Path("link"));
  EXPECT_TRUE(DeleteFileW(Wide(dir.Path("link")).c_str()));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path("link"))));
  EXPECT_EQ(ReadBytes(dir.Path("target")), "kept");
}

TEST(GetFileAttributesW, ReadsAttributesByName) {
  TempDir dir;
  fs::create_directory(dir.Path(".folder"));
  MarkHidden(dir.Path(".folder"));
  WriteBytes(dir.Path("f"), "x");
  EXPECT_EQ(GetFileAttributesW((Wide(dir.Path(".folder")) + u"\\").c_str()),
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  const DWORD dwFile = GetFileAttributesW(Wide(dir.Path("f")).c_str());
  EXPECT_TRUE(IsPlainFile(dwFile)) << dwFile;
  EXPECT_EQ(GetFileAttributesW(Wide(dir.Path("g")).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesW(Wide(dir.Path("g/h")).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(GetFileIdInfoW, TellsWhenTwoNamesReachTheSameFolder) {
  TempDir dir;
  fs::create_directory(dir.Path("a"));
  fs::create_directory(dir.Path("b"));
  FILE_ID_INFO a{}, aDot{}, b{};
  ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("a")).c_str(), &a));
  ASSERT_TRUE(GetFileIdInfoW((Wide(dir.Path("a")) + u"\\.").c_str(), &aDot));
  ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("b")).c_str(), &b));
  EXPECT_EQ(std::memcmp(&a, &aDot, sizeof(a)), 0);
  EXPECT_NE(std::memcmp(&a, &b, sizeof(a)), 0);
  EXPECT_FALSE(GetFileIdInfoW(Wide(dir.Path("c")).c_str(), &b));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(GetFileIdInfoW, ALinkReachesTheFolderItPointsTo) {
  TempDir dir;
  if (const std::string why = SymlinksUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  fs::create_directory(dir.Path("a"));
  fs::create_directory_symlink(dir.Path("a"), dir.Path("link"));
  FILE_ID_INFO a{}, link{};
  ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("a")).c_str(), &a));
  ASSERT_TRUE(GetFileIdInfoW(Wide(dir.Path("link")).c_str(), &link));
  EXPECT_EQ(std::memcmp(&a, &link, sizeof(a)), 0);
}

// ---------------------------------------------------------------------------
// Copies

// Bytes that differ from position to position, larger than any copy buffer.
std::string Pattern(size_t nSize) {
  std::string bytes(nSize, '\0');
  for (size_t i = 0; i < nSize; ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
  return bytes;
}

TEST(CopyFileW, CopiesContentsPermissionsAndTimes) {
  TempDir dir;
  const std::string contents = Pattern(size_t{3} * 1024 * 1024 + 17);
  WriteBytes(dir.Path("src"), contents);
  fs::permissions(dir.Path("src"), fs::perms::owner_read | fs::perms::owner_exec);
  const fs::file_time_type when = fs::last_write_time(dir.Path("src")) - std::chrono::hours(50);
  fs::last_write_time(dir.Path("src"), when);

  ASSERT_TRUE(CopyFileW(Wide(dir.Path("src")).c_str(), Wide(dir.Path("dst")).c_str(), TRUE));
  EXPECT_EQ(ReadBytes(dir.Path("dst")), contents);
  EXPECT_EQ(fs::status(dir.Path("dst")).permissions(), fs::status(dir.Path("src")).permissions());
  EXPECT_EQ(fs::last_write_time(dir.Path("dst")), when);
}

TEST(CopyFileW, OverwritesOnlyWhenAllowed) {
  TempDir dir;
  WriteBytes(dir.Path("short"), "new");
  WriteBytes(dir.Path("dst"), "a longer old text");
  EXPECT_FALSE(CopyFileW(Wide(dir.Path("short")).c_str(), Wide(dir.Path("dst")).c_str(), TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadBytes(dir.Path("dst")), "a longer old text");
  EXPECT_TRUE(CopyFileW(Wide(dir.Path("short")).c_str(), Wide(dir.Path("dst")).c_str(), FALSE));
  EXPECT_EQ(ReadBytes(dir.Path("dst")), "new");
}

TEST(CopyFileW, CopiesEmptyFiles) {
  TempDir dir;
  WriteBytes(dir.Path("empty"), "");
  EXPECT_TRUE(CopyFileW(Wide(dir.Path("empty")).c_str(), Wide(dir.Path("e2")).c_str(), TRUE));
  EXPECT_EQ(fs::file_size(dir.Path("e2")), 0u);
}

TEST(CopyFileW, CopiesWhatLinksPointTo) {
  TempDir dir;
  if (const std::string why = SymlinksUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  WriteBytes(dir.Path("target"), "through the link");
  fs::create_symlink(dir.Path("target"), dir.Path("link"));
  EXPECT_TRUE(CopyFileW(Wide(dir.Path("link")).c_str(), Wide(dir.Path("l2")).c_str(), TRUE));
  EXPECT_FALSE(fs::is_symlink(dir.Path("l2")));
  EXPECT_EQ(ReadBytes(dir.Path("l2")), "through the link");
}

TEST(CopyFileW, NeverCopiesAFileOntoItself) {
  TempDir dir;
  WriteBytes(dir.Path("f"), "precious");
  EXPECT_FALSE(CopyFileW(Wide(dir.Path("f")).c_str(), Wide(dir.Path("f")).c_str(), FALSE));
  EXPECT_EQ(ReadBytes(dir.Path("f")), "precious");
}

TEST(CopyFileW, NeverCopiesAFileOntoALinkToIt) {
  TempDir dir;
  if (const std::string why = SymlinksUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  WriteBytes(dir.Path("f"), "precious");
  fs::create_symlink(dir.Path("f"), dir.Path("alias"));
  EXPECT_FALSE(CopyFileW(Wide(dir.Path("f")).c_str(), Wide(dir.Path("alias")).c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ReadBytes(dir.Path("f")), "precious");
}

TEST(CopyFileW, RefusesWhatItCannotCopy) {
  TempDir dir;
  WriteBytes(dir.Path("f"), "x");
  fs::create_directory(dir.Path("folder"));
  struct Refusal {
    const char* from;
    const char* to;
    DWORD dwError;
  };
  for (const Refusal& r :
       {Refusal{"missing", "x1", ERROR_FILE_NOT_FOUND}, Refusal{"no/f", "x2", ERROR_PATH_NOT_FOUND},
        Refusal{"folder", "x3", ERROR_ACCESS_DENIED}, Refusal{"f", "no/x5", ERROR_PATH_NOT_FOUND},
        Refusal{"f", "folder", ERROR_ACCESS_DENIED}}) {
    EXPECT_FALSE(CopyFileW(Wide(dir.Path(r.from)).c_str(), Wide(dir.Path(r.to)).c_str(), FALSE))
        << r.from << " -> " << r.to;
    EXPECT_EQ(GetLastError(), r.dwError) << r.from << " -> " << r.to;
  }
  for (const char* name : {"x1", "x2", "x3"}) EXPECT_FALSE(fs::exists(dir.Path(name)));
  EXPECT_FALSE(CopyFileW(nullptr, u"x", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
