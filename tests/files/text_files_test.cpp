// Text files read whole or by lines, written as given, read as GIMP
// palettes; and relative paths.
//
// Directory copy and delete: the walk, the skip rules and what is reported
// (copying one file is the platform's to test).
#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/gimp_palette.h>
#include <kxutils96/files/relative_path.h>
#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/files/text_file_reader.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_error.h>

#include <gtest/gtest.h>

#include <support/array_text.h>
#include <support/file_bytes.h>
#include <support/hidden_file.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>
#include <array>
#include <climits>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "files/directories_fixture.h"

namespace {

using namespace kxu::test;
using namespace kxu::files;  // the result codes
using namespace std::string_literals;

// A fresh folder; the host's code page set to 1252, and the process-wide
// line cap of one test kept from the others.
class TextFiles : public testing::Test {
 protected:
  void SetUp() override {
    m_nSavedCodePage = g_nCodePage;
    g_nCodePage = 1252;
    m_nSavedCap = kxuReadTextFileLines(nullptr, nullptr, 0);
  }
  void TearDown() override {
    g_nCodePage = m_nSavedCodePage;
    kxuReadTextFileLines("", nullptr, static_cast<unsigned>(m_nSavedCap));
  }
  // The name of a file holding `bytes`.
  std::string File(const std::string& bytes) {
    WriteBytes(m_dir.Path("f"), bytes);
    return Utf8(m_dir.Path("f"));
  }

  TempDir m_dir;
  int m_nSavedCodePage = -1;
  int m_nSavedCap = 0;
};

// The text in UTF-8, replacing what the result held; nOption other than 0
// makes no UTF-16 guess.
TEST_F(TextFiles, WholeFileIsReadInUtf8) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"", 0, ""},
      {"Gr\xC3\xBC\xC3\x9F!\r\nx", 0, "Gr\xC3\xBC\xC3\x9F!\r\nx"},
      {"\xEF\xBB\xBFxyz", 0, "xyz"},
      {"\xEF\xBB\xBF", 0, ""},
      {"x", 0, "x"},
      {"\xFF\xFEh\0i\0"s, 0, "hi"},
      {"\xFE\xFF\0\xE9\x4E\x2D"s, 1, "\xC3\xA9\xE4\xB8\xAD"},
      {"\xFE\xFF", 0, ""},
      {"\xFF\xFEx\0y"s, 0, ""},
      {"\xFF\xFEx\0\0\0y\0"s, 0, "x"},
      {"x\0y\0z\0"s, 0, "xyz"},
      // Big-endian without a mark: every unit is swapped, the first one included.
      {"\0x\0y\x4E\x2D"s, 0, "xy\xE4\xB8\xAD"},
      // nOption other than 0: no UTF-16 guess, so the bytes are UTF-8 up to their NUL.
      {"x\0y\0"s, 7, "x"},
      {"caf\xE9 \x80", 0, "caf\xC3\xA9 \xE2\x82\xAC"}};
  for (const auto& [bytes, nOption, expected] : cases) {
    CStringUTF8 text("previous");
    EXPECT_EQ(kxu_read_text_file(File(bytes).c_str(), &text, nOption), 1);
    EXPECT_EQ(TextOf(text), expected) << testing::PrintToString(bytes);
  }
}

// UTF-16 files longer than the reader's piece read as their whole
// conversion does: every character whole wherever a piece ends (a pair
// across that end, a lone surrogate before it), in either byte order, up to
// a NUL that lies pieces in.
TEST_F(TextFiles, LongUtf16FilesReadAsTheirWholeConversion) {
  const std::u16string kCharacters[] = {u"a",          u"\u00E9", u"\u4E2D",
                                        u"\U0001F600", u"\xD800", u"\xDC00"};
  for (const std::size_t nOffset : {0u, 1u, 2u, 3u}) {
    std::u16string units;
    for (std::size_t i = 0; units.size() < 150'000; ++i) {
      // Mostly ASCII, so that the offset shifts where the other characters fall.
      units += i % 7 == 0 ? kCharacters[(i / 7 + nOffset) % std::size(kCharacters)] : u"x";
    }
    units.erase(0, nOffset);
    std::u16string withNul = units;
    withNul[100'000 + nOffset] = 0;
    for (const auto& text : {units, withNul}) {
      const std::string expected = kxu::platform::Utf16ToUtf8(text.substr(0, text.find(u'\0')));
      for (const bool bBigEndian : {false, true}) {
        std::string bytes = bBigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : text) {
          const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
          bytes += bBigEndian ? std::string{high, low} : std::string{low, high};
        }
        CStringUTF8 read("previous");
        EXPECT_EQ(kxu_read_text_file(File(bytes).c_str(), &read, 0), 1);
        EXPECT_TRUE(TextOf(read) == expected) << nOffset << ' ' << bBigEndian;
      }
    }
  }
}

// Each row with its cap set, appended after what the array held. The cap
// is 80 from load (each test restores it); setting it answers -2, a null
// name reports it, and it is taken as a signed int.
TEST_F(TextFiles, LinesAreAppendedAsTheOptionsKeepThem) {
  EXPECT_EQ(kxuReadTextFileLines(nullptr, nullptr, 0), 80);
  EXPECT_EQ(kxuReadTextFileLines("any", nullptr, 0xFFFFFFFFu), kLinesCapSet);
  EXPECT_EQ(kxuReadTextFileLines(nullptr, nullptr, 0), -1);
  const std::string kMixed = "a\r\n\r\n  \n b \nc";
  const unsigned kLimitSkip = READLINES_LIMIT | READLINES_SKIP_EMPTY;
  const std::tuple<std::string, unsigned int, int, Texts> cases[] = {
      {"", 0, 80, {}},
      {kMixed, 0, 80, {"a", "", "  ", " b ", "c"}},
      // Without TRIM a line of blanks is not empty.
      {kMixed, READLINES_SKIP_EMPTY, 80, {"a", "  ", " b ", "c"}},
      {kMixed, READLINES_TRIM | READLINES_SKIP_EMPTY, 80, {"a", "b", "c"}},
      {"a\n b", 0xFFFFFFF8u, 1, {"a", " b"}},
      {"1\n2\n3\n4\n5", READLINES_LIMIT, 3, {"1", "2", "3"}},
      {"1\n2\n3", READLINES_LIMIT, 0, {"1"}},
      // Skipped empty lines do not count toward the cap.
      {"\n\nx\ny\n\nz", kLimitSkip, 2, {"x", "y"}},
      {"\xFF\xFEx\0\r\0\n\0\xE9\0"s, 0, 80, {"x", "\xC3\xA9"}},
      // A line's text ends at its first NUL, in either encoding.
      {"a\0bc\n"s, 0, 80, {"a"}},
      {"\xFF\xFEx\0\0\0y\0"s, 0, 80, {"x"}},
      // A line longer than the read-ahead, its CR LF split between two refills.
      {std::string(65535, 'x') + "\r\nb\r\n", 0, 80, {std::string(65535, 'x'), "b"}},
  };
  for (const auto& [bytes, dwFlags, nCap, kept] : cases) {
    ASSERT_EQ(kxuReadTextFileLines("", nullptr, static_cast<unsigned>(nCap)), kLinesCapSet);
    ASSERT_EQ(kxuReadTextFileLines(nullptr, nullptr, 0), nCap);
    CZQVStringArray lines = ArrayOf({"old"});
    Texts expected = kept;
    expected.insert(expected.begin(), "old");
    EXPECT_EQ(kxuReadTextFileLines(File(bytes).c_str(), &lines, dwFlags),
              static_cast<int>(expected.size()));
    EXPECT_EQ(TextsOf(lines), expected) << testing::PrintToString(bytes);
  }
}

// A line that is not UTF-8 is read in the system's code page wherever it
// lies, as when it is the file's only line; the UTF-8 lines around it stay.
TEST_F(TextFiles, LinesThatAreNotUtf8ReadAsWhenAlone) {
  CZQVStringArray alone, among;
  ASSERT_EQ(kxuReadTextFileLines(File("caf\xE9").c_str(), &alone, 0), 1);
  ASSERT_EQ(kxuReadTextFileLines(File("ok\ncaf\xE9\nGr\xC3\xBC\n").c_str(), &among, 0), 3);
  EXPECT_NE(TextsOf(alone)[0], "caf\xE9");
  EXPECT_EQ(TextsOf(among), (Texts{"ok", TextsOf(alone)[0], "Gr\xC3\xBC"}));
}

// A missing file, a folder and a null name: each reader fails with its own
// result and leaves what it was given (the whole-file reader empties its
// text); a null result or colour array fails too. A name longer than 1024
// units is read whole.
TEST_F(TextFiles, ReadersThatCannotOpenTheFileLeaveTheirResults) {
  for (const std::string& name : {Utf8(m_dir.Path("missing.txt")), Utf8(m_dir.Path()), ""s}) {
    const char* pszName = name.empty() ? nullptr : name.c_str();
    CStringUTF8 text("previous");
    EXPECT_EQ(kxu_read_text_file(pszName, &text, 0), 0);
    EXPECT_TRUE(text.IsEmpty());
    CZQVStringArray lines = ArrayOf({"kept"});
    EXPECT_EQ(kxuReadTextFileLines(pszName, &lines, 0), kLinesOpenFailed) << name;
    EXPECT_EQ(TextsOf(lines), Texts{"kept"});
    int r = 0, g = 0, b = 0;
    EXPECT_EQ(kxu_read_GIMP_palette(pszName, &r, &g, &b, 1), kPaletteOpenFailed);
  }
  const std::string palette = File("GIMP Palette\n1 2 3\n");
  int r[1] = {-7};
  EXPECT_EQ(kxu_read_GIMP_palette(palette.c_str(), r, nullptr, r, 1), kPaletteOpenFailed);
  EXPECT_EQ(r[0], -7);
  EXPECT_EQ(kxu_read_GIMP_palette(palette.c_str(), nullptr, nullptr, nullptr, 0), 0);
  EXPECT_EQ(kxu_read_text_file(palette.c_str(), nullptr, 0), 0);
  const auto path = LongPath(m_dir.Path(), "long.txt");
  WriteBytes(path, "\xFF\xFEo\0k\0"s);
  CStringUTF8 text;
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 1);
  EXPECT_EQ(text, "ok");
}

// The bytes as given (no mark, line ends kept) replace a longer content and
// read back; a null text empties the file. A missing folder and a null
// name give false.
TEST_F(TextFiles, WrittenTextsReadBack) {
  const std::string path = Utf8(m_dir.Path("d/out.txt"));
  EXPECT_FALSE(kxuWriteToFile(path.c_str(), "x"));
  EXPECT_FALSE(kxuWriteToFile(nullptr, "x"));
  std::filesystem::create_directory(m_dir.Path("d"));
  for (const char* text :
       {"two\nlines\n", "crlf\r\nkept\r\n", "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80", ""}) {
    WriteBytes(path, "a much longer old content\n");
    ASSERT_TRUE(kxuWriteToFile(path.c_str(), *text ? text : nullptr));
    EXPECT_EQ(ReadBytes(path), text);
    CStringUTF8 read;
    EXPECT_EQ(kxu_read_text_file(path.c_str(), &read, 0), 1);
    EXPECT_EQ(read, text);
  }
}

// The result for at most nMax colours, and what lands in the arrays.
TEST_F(TextFiles, PaletteRowsStoreTheirColours) {
  using Colours = std::vector<std::array<int, 3>>;
  const std::string kWarm =
      "GIMP Palette\nName: Warm tones\nColumns: 16\n# comment\n\n"
      "255 128   0\tOrange\n 10  20  30 Indented\n";
  const std::string kThree = "GIMP Palette\n1 2 3\n4 5 6\n7 8 9 Last\n";
  const std::tuple<std::string, int, int, Colours> cases[] = {
      {kWarm, 16, 2, {{255, 128, 0}, {10, 20, 30}}},
      {"gimp palette\n1 2 3\n", 16, 1, {{1, 2, 3}}},
      {"GIMP Palette \n1 2 3\n", 16, kPaletteNotAPalette, {}},
      {"GIMP Palette\n", 16, kPaletteNotAPalette, {}},
      {"GIMP Palette\nName: a b\nColumns: 3\n# 1 2 3\n", 16, kPaletteNotAPalette, {}},
      {"GIMP Palette\n12 abc 3x\n", 16, 1, {{12, 0, 3}}},
      {"GIMP Palette\n99999999999 -99999999999 1\n", 16, 1, {{INT_MAX, INT_MIN, 1}}},
      {"GIMP Palette\n1 2 3\n# three tokens\n4 5 6\n", 16, 3, {{1, 2, 3}, {0, 0, 0}, {4, 5, 6}}},
      {"GIMP Palette\n1 2 3\n\n7 8\n4 5 6\n\n", 16, 2, {{1, 2, 3}, {4, 5, 6}}},
      // Double quotes keep a stretch in one token, which loses its quotes.
      {"GIMP Palette\n\"1 2\" 3 4\n5 \"6 x\" 7\n", 16, 2, {{1, 3, 4}, {5, 6, 7}}},
      {kThree, 2, 2, {{1, 2, 3}, {4, 5, 6}}},
      {kThree, 3, 3, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}},
      {kThree, 0, 0, {}},
      {"GIMP Palette\n", 0, kPaletteNotAPalette, {}}};
  constexpr int kRoom = 40, kUntouched = -777;
  for (const auto& [bytes, nMax, nExpected, colours] : cases) {
    std::array<std::array<int, kRoom>, 3> rgb;
    for (auto& colour : rgb) colour.fill(kUntouched);
    auto& [red, green, blue] = rgb;
    EXPECT_EQ(
        kxu_read_GIMP_palette(File(bytes).c_str(), red.data(), green.data(), blue.data(), nMax),
        nExpected)
        << bytes;
    Colours stored;
    for (int i = 0; i < kRoom && red[i] != kUntouched; ++i)
      stored.push_back({red[i], green[i], blue[i]});
    EXPECT_EQ(stored, colours) << bytes;
  }
}

// The result code, and for 0 the relative path; otherwise the result keeps
// its text. Each row: the base, the path, the most levels up, the result
// code and the relative path.
TEST(MakeRelativePath, GivesTheResultOfItsRow) {
  const std::tuple<const char*, const char*, int, int, const char*> cases[] = {
      {R"(E:\work\data\)", R"(E:\work\plots\a.png)", 9, kRelativePathDone, R"(..\plots\a.png)"},
      {R"(E:\work\data\in.txt)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
       R"(..\plots\a.png)"},
      {R"(E:\work\data)", R"(E:\work\plots\a.png)", 9, kRelativePathDone, R"(plots\a.png)"},
      {R"(E:\ab\)", R"(E:\abc\f.txt)", 9, kRelativePathDone, R"(..\abc\f.txt)"},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 2, kRelativePathTooManyLevels, ""},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 3, kRelativePathDone, R"(..\..\..\x\f)"},
      {R"(E:\work\)", R"(E:\work\a.png)", 0, kRelativePathDone, "a.png"},
      {R"(E:\work\sub\)", R"(E:\work\a.png)", 0, kRelativePathTooManyLevels, ""},
      {R"(e:\work\)", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      {"", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      // A backslash at the first byte does not count as a shared folder.
      {R"(\x\)", R"(\y\f)", 9, kRelativePathNothingShared, ""},
      {"E:/work/", "E:/work/a.png", 9, kRelativePathNoFolder, ""},
      {R"(\\)", R"(\\f)", 9, kRelativePathNoFolder, ""},
      {nullptr, R"(E:\a\b)", 9, kRelativePathNoFolder, ""},
      {R"(E:\a\)", nullptr, 9, kRelativePathNoFolder, ""},
      {R"(E:\w\)", R"(E:\w\)", 9, kRelativePathDone, ""},
  };
  for (const auto& [base, path, nMaxLevels, nExpected, result] : cases) {
    CStringUTF8 strResult("untouched");
    EXPECT_EQ(kxu_make_relative_path(&strResult, base, path, nMaxLevels), nExpected)
        << (base ? base : "null") << " " << (path ? path : "null") << " " << nMaxLevels;
    EXPECT_STREQ(strResult, nExpected == kRelativePathDone ? result : "untouched") << nMaxLevels;
  }
  EXPECT_EQ(kxu_make_relative_path(nullptr, R"(E:\a\)", R"(E:\a\b)", 9), kRelativePathNoFolder);
}

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
    MarkHidden(m_dir.Path("src/" + std::string(name)));
  // The source's trailing separator, whether subfolders are copied, the
  // folder and file names to skip, and the entries left out.
  const std::tuple<std::string, int, Texts, Texts, Paths> cases[] = {
      {"\\", 1, {}, {}, {}},
      {"/", 0, {}, {}, {}},
      {"", 1, {"x", "tEmP\\\\"}, {}, {"Temp/", "Temp/t", "sub/temp/", "sub/temp/u"}},
      {"", 1, {"Tem", "Temp/"}, {"a.txt\\", "Temp", "a.txt.ba"}, {}},
      {"", 1, {}, {"A.txt"}, {"a.txt", "sub/A.TXT"}},
  };
  int n = 0;
  for (const auto& [suffix, bSubfolders, skipFolders, skipFiles, missing] : cases) {
    CZQVStringArray folders = ArrayOf(skipFolders), files = ArrayOf(skipFiles);
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
  Texts reported;
  const auto copy = [&](int bNested) {
    const auto report = [](const char* lpcszPath, unsigned int nError, void* pReported) {
      static_cast<Texts*>(pReported)->push_back(lpcszPath + std::to_string(nError));
    };
    return kxuCopyDirectoryReportingFailures(P("src").c_str(), P("dst").c_str(), 1, nullptr,
                                             nullptr, bNested, nullptr, report, &reported);
  };
  EXPECT_EQ(copy(0), kDirectoryFailed);
  EXPECT_EQ(reported, Texts{blocked + std::to_string(ERROR_FILE_EXISTS)});
  Paths expected = {"!" + blocked};
  for (std::size_t i = 0; order[i] != blocked; ++i) expected.insert(order[i]);
  EXPECT_EQ(TreeOf("dst"), expected);
  EXPECT_EQ(Copy("dst", 1), kDirectoryDone);
  EXPECT_EQ(TreeOf("dst"), TreeOf("src"));
  MakeTree("src", {"sub/x"});
  WriteBytes(m_dir.Path("dst/sub"), "sub");
  reported.clear();
  EXPECT_EQ(copy(1), kDirectoryDone);
  EXPECT_EQ(reported, Texts{"sub\\" + std::to_string(ERROR_ALREADY_EXISTS)});
}

// Files only, matched case aside; a null pattern matches every one, and a
// listed name or a read-only file stays.
TEST_F(Directories, DeletesTheMatchingFilesThatAreNotListed) {
  MakeTree("d", {"a.txt", "b.TXT", ".hidden.txt", "c.log", "sub.txt/inner.txt", "locked.txt",
                 "\xC3\xA9 t\xC3\xA9.txt"});
  MarkHidden(m_dir.Path("d/.hidden.txt"));
  fs::permissions(m_dir.Path("d/locked.txt"), fs::perms::owner_read);
  for (const std::string& folder : {P("missing"), P("d/c.log"), std::string()})
    EXPECT_EQ(kxuDelFiles(folder.c_str(), "*.*", nullptr), kDirectoryNoFolder) << folder;
  EXPECT_EQ(kxuDelFiles(nullptr, "*.*", nullptr), kDirectoryNoFolder);
  EXPECT_EQ(kxuDelFiles(P("d").c_str(), "*.none", nullptr), 0);
  CZQVStringArray skip = ArrayOf({"B.txt"});
  EXPECT_EQ(kxuDelFiles(P("d").c_str(), "*.TXT", &skip), 3);
  EXPECT_EQ(TreeOf("d"), (Paths{"b.TXT", "c.log", "sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
  EXPECT_EQ(kxuDelFiles((P("d") + "\\").c_str(), nullptr, nullptr), 2);
  EXPECT_EQ(TreeOf("d"), (Paths{"sub.txt/", "sub.txt/inner.txt", "locked.txt"}));
}

}  // namespace
