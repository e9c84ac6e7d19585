// The installed `kxu` run as a user runs it: arguments, stdin from a file,
// and its stdout, stderr and exit code checked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/file_bytes.h"
#include "tools/kxu_test.h"

namespace {

using namespace kxu::test;
using namespace std::string_literals;

// One row a call, run in order in one folder (a row may read a file an
// earlier one wrote): the start of stdout and a part of stderr ("": none).
// Bad usage is one line on stderr and exit code 2.
TEST_F(KxuTest, EachCommandGivesItsOutputAndExitCode) {
  WriteBytes(Path("two.gpl"), "GIMP Palette\r\nName: Two\r\n#\r\n255 128 0 Orange\r\n0 0 255\r\n");
  WriteBytes(Path("in.csv"), "1,\"a \"\"b\"\"\",x,\r\nq\n");
  WriteBytes(Path("bom.txt"), "\xFF\xFEh\0i\0\n\0 \0x\0 \0"s);
  WriteBytes(Path("plain.txt"), "not a palette\n");
  const std::string goodStore = "default 0x0409\nlanguage 0x0409 English\n1 One.\n";
  WriteBytes(Path("good.kxmsg"), goodStore);
  WriteBytes(Path("tens.txt"), "10\n9\n");
  WriteBytes(Path("before.tsv"), "1\tA\n2\tB\n");
  WriteBytes(Path("bad.kxmsg"),
             "default 0x0409\nlanguage 0x0409 English\n15000The file\nlanguage 0x0407 German\n"
             "2 Nur deutsch.\n");
  for (const char* name :
       {"src/a.txt", "src/sub/b.txt", "src/build/c.txt", "ro/a.txt", "ro/b.txt", "blocked/sub"}) {
    std::filesystem::create_directories(Path(name).parent_path());
    WriteBytes(Path(name), "x");
  }
  std::filesystem::permissions(Path("ro/a.txt"), std::filesystem::perms::owner_read);
  const std::string noFile = ": No such file or directory\n";
  // Past the library's limit, measured before it is read (sparse: no disk).
  WriteBytes(Path("big.txt"), "");
  std::filesystem::resize_file(Path("big.txt"), 2'300'000'000);
  const std::string tooLong =
      "kxu: cannot read 'big.txt': it is longer than the library's limit "
      "of 2147483647 bytes (2 GiB - 1)\n";
  const std::tuple<std::vector<std::string>, std::string, std::string, std::string, int> cases[] = {
      {{}, "", "", "\n", 2},
      {{"reed", "x"}, "", "", "kxu: unknown command 'reed'; did you mean 'read'?\n", 2},
      {{"--version"}, "", KXU_VERSION "\n", "", 0},
      {{"tokens", "--sep", ",", "a,\"b,c\",(d,e)"}, "", "a\n\"b,c\"\n(d,e)\n", "", 0},
      // An option's value the command cannot take is a usage error, in words.
      {{"tokens", "--quote", "abc", "x"}, "", "", "kxu: --quote is neither a number", 2},
      {{"pad", "-1"}, "", "", "kxu: WIDTH: '-1' is not a whole number of at least 0", 2},
      {{"csv", "--jsn", "in.csv"}, "", "", "no option '--jsn'; did you mean '--json'?", 2},
      {{"convert", "--from", "12345"}, "x", "", "kxu: code page 12345 is not served", 2},
      {{"csv", "--json", "in.csv"}, "", "[\"1\",\"a \\\"b\\\"\",\"x\",\"\"]\n[\"q\"]\n", "", 0},
      {{"labels", "lp3U"}, "", "L\nP3\nU\n", "", 0},
      // Text tools never cut a character, nor fail on a word longer than the width.
      {{"wrap", "6", "--indent", "2"}, "the quick_fox", "the\n  quick_fox", "", 0},
      {{"pad", "4", "--align", "center", "--char", "."}, "ab\nabc\xC3\xA9", ".ab.\nabc.", "", 0},
      {{"url", "decode"}, "a%41%zz", "", "kxu: byte 4: '%zz' is not % and two hex digits", 1},
      {{"url", "decode"}, "a%00b", "", "kxu: byte 1: '%00' stands for a NUL", 1},
      {{"expr", "x=1 & not z"}, "", "x==1 && ! z\n", "", 0},
      {{"write", "no/such.txt"}, "x", "", "kxu: cannot write 'no/such.txt'" + noFile, 1},
      {{"read", "bom.txt"}, "", "hi\n x ", "", 0},
      {{"read", "nosuch.txt"}, "", "", "kxu: cannot open 'nosuch.txt'" + noFile, 1},
      {{"lines", "bom.txt", "--trim"}, "", "hi\nx\n", "", 0},
      {{"strip-comments", "big.txt"}, "", "", tooLong, 1},
      // Input is read in its declared encoding, never guessed, and its mark honoured.
      {{"csv", "--from", "cp1252", "-"}, "caf\xE9,x\n", "caf\xC3\xA9\tx\n", "", 0},
      {{"sort", "--from", "cp1252", "-"}, "b\na\xE9\n", "a\xC3\xA9\nb\n", "", 0},
      {{"convert", "--to", "utf-16le"}, "ab\xE9", "", "byte 2 is invalid in UTF-8", 1},
      {{"convert", "--to", "utf-16le", "--lossy"}, "a\xE9", "a\0\xFD\xFF"s, "", 0},
      {{"convert", "--from", "utf-16", "--to", "utf-8"}, "\xFE\xFF\0h\0i"s, "hi", "", 0},
      {{"convert", "--to", "utf-16be", "--bom"}, "h", "\xFE\xFF\0h"s, "", 0},
      // A NUL ends no text of a file: every byte after it converts too.
      {{"convert", "--from", "1252", "-"}, "a\0\xE9"s, "a\0\xC3\xA9"s, "", 0},
      {{"convert", "--to", "1252"}, "ab\xC5\x81", "", "character at byte 2 has no code", 1},
      {{"sort", "--index", "-"}, "b\nA\nc\n", "1\tA\n0\tb\n2\tc\n", "", 0},
      {{"sort", "--numeric", "-"}, "10\n9\n-1.5\n", "-1.5\n9\n10\n", "", 0},
      {{"sort", "-n", "-r", "-u", "tens.txt", "-"}, "9\n2\n", "10\n9\n2\n", "", 0},
      {{"freq", "--by-count"}, "b\na\nb\n", "2\tb\n1\ta\n", "", 0},
      {{"remove-unchanged", "before.tsv", "-"}, "1\ta\tx\n2\tC\n", "2\tC\n", "", 0},
      {{"join", ", "}, "a\nb\n", "a, b\n", "", 0},
      {{"reorder", "2,0"}, "a\nb\nc\n", "c\na\nc\n", "", 0},
      {{"archive", "store", "a.kxa", "alpha", "\xCE\xB2"}, "", "", "", 0},
      {{"archive", "list", "a.kxa"}, "", "0\talpha\n1\t\xCE\xB2\n", "", 0},
      {{"format", "{1}%s {0}%d, {2}%g%%", "12", "T", "2.5"}, "", "T 12, 2.5%\n", "", 0},
      {{"format", "{0}%d {1}%s", "twelve", "x"}, "", "", "0 ('twelve') is not an integer\n", 2},
      {{"format", "{0}%s", "x"}, "", "", "kxu: format needs two to ten values", 2},
      {{"msg", "10002", "--text", "B", "--number", "4"}, "", "WARN0010002: Column B holds", "", 0},
      {{"msg", "15000", "--lang", "2"}, "", "ERR0015000: Die Datei %s konnte nicht ", "", 0},
      {{"check-store", "bad.kxmsg"}, "", "bad.kxmsg:3: error: ", "", 1},
      {{"make-rc", "bad.kxmsg", "bad.rc"}, "", "", "kxu: ", 1},
      {{"make-rc", "good.kxmsg", "good.rc"}, "", "", "", 0},
      {{"make-rc", "-", "-"}, goodStore, "// The message module of a message store", "", 0},
      {{"copy-dir", "src", "dst", "-r", "--skip-folder", "BUILD"}, "", "", "", 0},
      {{"copy-dir", "src", "dst"}, "", "", "kxu: stopped at 'src/a.txt': 'dst/a.txt' is there", 1},
      {{"copy-dir", "src", "blocked", "-r"}, "", "", "b.txt': the folder 'blocked/sub'", 1},
      {{"delete-files", "dst", "*.TXT", "--skip", "keep.txt"}, "", "1\n", "", 0},
      {{"delete-files", "ro"}, "", "1\n", "kxu: cannot delete 'ro/a.txt': it is read-only\n", 1},
      {{"relpath", "/work/data/", "/work/plots/a.png"}, "", "../plots/a.png\n", "", 0},
      {{"palette", "two.gpl", "--svg", "two.svg"}, "", "", "", 0},
      {{"palette", "plain.txt"}, "", "", "kxu: 'plain.txt' is not a GIMP palette\n", 1},
      {{"props", "missing.png"}, "", "", "kxu: cannot open 'missing.png'" + noFile, 1},
  };
  for (const auto& [args, input, out, err, exit_code] : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome outcome = Run(args, input);
    EXPECT_EQ(outcome.exit_code, exit_code);
    EXPECT_EQ(outcome.out.substr(0, out.empty() ? std::string::npos : out.size()), out);
    EXPECT_TRUE(err.empty() ? outcome.err.empty() : outcome.err.find(err) != std::string::npos)
        << outcome.err;
    EXPECT_TRUE(exit_code != 2 || outcome.err.find('\n') == outcome.err.size() - 1) << outcome.err;
  }
  EXPECT_NE(ReadBytes(Path("good.rc")).find("  1, L\"One.\"\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("bad.rc")));
  EXPECT_EQ(ReadBytes(Path("dst/sub/b.txt")), "x");
  EXPECT_FALSE(std::filesystem::exists(Path("dst/build")));
  // The messages above came from the stores of the prefix's share/kxutils96/.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(KXU_INSTALLED_PROGRAM).parent_path() /
                                       "zErrMsg.kxmsg"));
  EXPECT_NE(ReadBytes(Path("two.svg")).find("fill=\"rgb(0,0,255)\"/>"), std::string::npos);
}

// Sets the piece size of the programs the test runs; "" for their default.
void SetPieceBytes(const std::string& bytes) {
#ifdef _WIN32
  _putenv_s("KXU_PIECE_BYTES", bytes.c_str());
#else
  setenv("KXU_PIECE_BYTES", bytes.c_str(), 1);
#endif
}

// Pieces of a few bytes end inside characters, surrogate pairs and line ends
// wherever they can; every command that works in pieces must give the output
// of one pass.
TEST_F(KxuTest, PiecesOfAnySizeGiveTheOutputOfOnePass) {
  const std::string text =
      "x,\"y z\",\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n\n  a=b  \n1,2;3 <p>&amp; \"q\"\n"
      "\xF0\x9F\x98\x80 and more words\nlast\na=b\nLast";
  WriteBytes(Path("u8.txt"), text);
  WriteBytes(Path("u16.txt"), Run({"convert", "--to", "utf-16be", "--bom", "u8.txt"}).out);
  const std::vector<std::string> commands[] = {
      {"read", "u16.txt"},
      {"lines", "--trim", "--skip-empty", "u16.txt"},
      {"csv", "--json", "-"},
      {"convert", "--from", "utf-16", "--to", "utf-16le", "u16.txt"},
      {"convert", "--to", "utf-16be"},
      {"lines", "--limit", "3"},
      {"sort", "-n", "-u", "--index"},  // in sorted runs of a piece's size, merged
      {"freq", "--trim", "-c"},         // counted in runs of a piece's size, added up
      {"tokens", "-"},
      {"keyvalues", "-"},
      {"wrap", "12", "--indent", "2"},
      {"pad", "5"},
      {"url", "encode"},
      {"html", "escape", "<&"},
      {"c-string"},
      {"keyword-replace", "and", "AND"}};
  for (const auto& args : commands) {
    SCOPED_TRACE(testing::PrintToString(args));
    SetPieceBytes("");
    const Outcome whole = Run(args, text);
    EXPECT_EQ(whole.exit_code, 0) << whole.err;
    for (const char* bytes : {"1", "2", "3", "5"}) {
      SetPieceBytes(bytes);
      EXPECT_EQ(Run(args, text).out, whole.out) << bytes << "-byte pieces";
    }
  }
  SetPieceBytes("");
}

}  // namespace
