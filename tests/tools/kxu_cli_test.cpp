// The installed `kxu` run as a user runs it: arguments, stdin from a file,
// and its stdout, stderr and exit code checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/user_xattr.h"
#include "tools/kxu_test.h"

namespace {

using kxu::test::kKxuCommands;
using kxu::test::KxuTest;
using kxu::test::Outcome;
using kxu::test::ReadBytes;
using kxu::test::WriteBytes;

TEST_F(KxuTest, HelpListsEveryCommandAndEachExplainsItselfWithAnExample) {
  const Outcome top = Run({"--help"});
  EXPECT_EQ(top.exit_code, 0);
  for (const char* name : kKxuCommands) {
    SCOPED_TRACE(name);
    EXPECT_NE(top.out.find(std::string("\n  ") + name + " "), std::string::npos);
    const Outcome help = Run({name, "--help"});
    EXPECT_EQ(help.exit_code, 0);
    const size_t example = help.out.find("\nExample: ");
    ASSERT_NE(example, std::string::npos) << help.out;
    EXPECT_NE(help.out.find(std::string("kxu ") + name, example), std::string::npos);
  }
}

TEST_F(KxuTest, BadUsageIsOneLineOnStderrAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {{},
                                                       {"no-such-command"},
                                                       {"tokens"},
                                                       {"tokens", "--bogus", "x"},
                                                       {"wrap", "0"},
                                                       {"pad", "4", "--align", "middle"},
                                                       {"url", "sideways"},
                                                       {"tokens", "--sep", "ab", "x"}};
  for (const auto& args : cases) {
    const Outcome outcome = Run(args);
    SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
    EXPECT_EQ(outcome.exit_code, 2);
    EXPECT_TRUE(outcome.out.empty());
    ASSERT_FALSE(outcome.err.empty());
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
  }
}

TEST_F(KxuTest, TokensKeepQuotedAndBracketedStretches) {
  const Outcome outcome = Run({"tokens", "--sep", ",", "a,\"b,c\",(d,e)"});
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.out, "a\n\"b,c\"\n(d,e)\n");
  EXPECT_EQ(Run({"tokens", "-"}, "  x   y\n").out, "x\ny\n");
}

TEST_F(KxuTest, CsvPrintsFieldsAsTabsOrJson) {
  WriteBytes(Path("in.csv"), "1,\"a \"\"b\"\"\",x,\r\nq\n");
  EXPECT_EQ(Run({"csv", "in.csv"}).out, "1\ta \"b\"\tx\t\nq\n");
  EXPECT_EQ(Run({"csv", "--json", "in.csv"}).out, "[\"1\",\"a \\\"b\\\"\",\"x\",\"\"]\n[\"q\"]\n");
}

TEST_F(KxuTest, LabelFailuresAreNamedInWords) {
  EXPECT_EQ(Run({"labels", "lp3U"}).out, "L\nP3\nU\n");
  const Outcome outcome = Run({"labels", "3p"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err, "kxu: the code starts with a digit (-100)\n");
}

TEST_F(KxuTest, TextTransformsReadStdin) {
  EXPECT_EQ(Run({"wrap", "10", "--indent", "2"}, "the quick brown fox").out,
            "the quick \n  brown fox");
  EXPECT_EQ(Run({"pad", "6", "--align", "center", "--char", "."}, "ab\nabcdefgh\n").out,
            "..ab..\nabcdef\n");
  EXPECT_EQ(Run({"url", "encode"}, "a b&c").out, "a+b%26c");
  EXPECT_EQ(Run({"url", "decode"}, "a+b%26c").out, "a b&c");
  EXPECT_EQ(Run({"html", "escape", "<&"}, "a<b & c").out, "a&lt;b &amp; c");
  EXPECT_EQ(Run({"c-name", "--prefix", "_"}, "3d-plot").out, "_3dplot");
  EXPECT_EQ(Run({"expr", "x=1 & not z"}).out, "x==1 && ! z\n");
  EXPECT_EQ(Run({"keyword-replace", "and", "&&"}, "a and band").out, "a && band");
}

TEST_F(KxuTest, FilesRoundTripThroughEveryEncoding) {
  EXPECT_EQ(Run({"write", "out.txt"},
                "Gr\xC3\xBC\xC3\x9F"
                "e\n")
                .exit_code,
            0);
  EXPECT_EQ(ReadBytes(Path("out.txt")),
            "Gr\xC3\xBC\xC3\x9F"
            "e\n");
  WriteBytes(Path("be.txt"), Run({"convert", "--to", "utf-16be", "out.txt"}).out);
  EXPECT_EQ(ReadBytes(Path("be.txt")), std::string("\0G\0r\0\xFC\0\xDF\0e\0\n", 12));
  EXPECT_EQ(Run({"convert", "--from", "utf-16be", "--to", "1252", "be.txt"}).out,
            "Gr\xFC\xDF"
            "e\n");
  // A NUL ends no text of a file: every byte after it converts too.
  EXPECT_EQ(Run({"convert", "--from", "1252", "-"}, std::string("a\0\xE9", 3)).out,
            std::string("a\0\xC3\xA9", 4));
  WriteBytes(Path("bom.txt"), std::string("\xFF\xFEh\0i\0\n\0 \0x\0 \0", 14));
  EXPECT_EQ(Run({"read", "bom.txt"}).out, "hi\n x ");
  EXPECT_EQ(Run({"lines", "bom.txt", "--trim"}).out, "hi\nx\n");
}

// The habits of a command-line tool: "-" for stdin and stdout, filters that
// read a FILE or stdin, failures naming the file and the system's reason,
// conversions that stop at a loss, encodings by name, a version, and a
// suggestion for a mistyped command.
TEST_F(KxuTest, BehavesLikeAUnixTool) {
  struct Case {
    std::vector<std::string> args;
    std::string input, out, err;  // the start of stdout, a part of stderr; "": none
    int exit_code;
  };
  WriteBytes(Path("fox.txt"), "the quick brown fox");
  WriteBytes(Path("two.gpl"), "GIMP Palette\n0 0 255\n");
  const Case cases[] = {
      {{"read", "-"}, std::string("\xFF\xFEh\0i\0", 6), "hi", "", 0},
      {{"lines"}, "a\r\nb", "a\nb\n", "", 0},
      {{"sort"}, "b\na\n", "a\nb\n", "", 0},
      {{"wrap", "10", "fox.txt"}, "", "the quick \nbrown fox", "", 0},
      {{"url", "encode", "-"}, "a b", "a+b", "", 0},
      {{"write", "-"}, "x\n", "x\n", "", 0},
      {{"palette", "two.gpl", "--svg", "-"}, "", "<svg", "", 0},
      {{"read", "nosuch.txt"},
       "",
       "",
       "kxu: cannot open 'nosuch.txt': No such file or directory\n",
       1},
      {{"csv", "nosuch.txt"},
       "",
       "",
       "kxu: cannot open 'nosuch.txt': No such file or directory\n",
       1},
      {{"write", "no/such.txt"},
       "x",
       "",
       "kxu: cannot write 'no/such.txt': No such file or directory\n",
       1},
      {{"convert", "--to", "1252"},
       "\xC5\x81",
       "",
       "kxu: cannot convert '-': characters that page 1252 lacks",
       1},
      {{"convert", "--to", "Windows-1252", "--lossy"}, "\xC5\x81\xC3\xA9", "?\xE9", "", 0},
      {{"convert", "--from", "latin1", "--to", "utf-16be"},
       "\xE9",
       std::string("\0\xE9", 2),
       "",
       0},
      {{"convert", "--from", "SHIFT_JIS"}, "\x82\xA0", "\xE3\x81\x82", "", 0},
      {{"convert", "--to", "koi9"}, "", "", "unknown encoding koi9 (see kxu convert --list)", 2},
      {{"--version"}, "", KXU_VERSION "\n", "", 0},
      {{"reed", "x"}, "", "", "kxu: unknown command 'reed'; did you mean 'read'?\n", 2},
      {{"archive", "lsit"}, "", "", "kxu: unknown command 'lsit'; did you mean 'list'?\n", 2},
  };
  for (const Case& expected : cases) {
    SCOPED_TRACE(expected.args[0] + (expected.args.size() > 1 ? " " + expected.args[1] : ""));
    const Outcome outcome = Run(expected.args, expected.input);
    EXPECT_EQ(outcome.exit_code, expected.exit_code);
    EXPECT_EQ(expected.out.empty() ? outcome.out : outcome.out.substr(0, expected.out.size()),
              expected.out);
    EXPECT_TRUE(expected.err.empty() ? outcome.err.empty()
                                     : outcome.err.find(expected.err) != std::string::npos)
        << outcome.err;
  }
  const Outcome archive = Run({"archive", "store", "-", "alpha"});
  EXPECT_EQ(Run({"archive", "list", "-"}, archive.out).out, "0\talpha\n");
  const Outcome pages = Run({"convert", "--list"});
  EXPECT_NE(pages.out.find("\n932\tcp932 shift_jis"), std::string::npos) << pages.out;
  EXPECT_NE(pages.out.find("\n1252\tcp1252 windows-1252"), std::string::npos) << pages.out;
  EXPECT_EQ(Run({"convert", "--from", "99999", "-"}, "x").exit_code, 1);
}

TEST_F(KxuTest, SortAndFrequenciesFollowTheLibrarysRules) {
  EXPECT_EQ(Run({"sort", "--index", "-"}, "b\nA\nc\n").out, "1\tA\n0\tb\n2\tc\n");
  EXPECT_EQ(Run({"sort", "--case-sensitive", "--descending", "-"}, "b\nA\nc\n").out, "c\nb\nA\n");
  EXPECT_EQ(Run({"sort", "--numeric", "-"}, "10\n9\n-1.5\n").out, "-1.5\n9\n10\n");
  EXPECT_EQ(Run({"freq", "-"}, "b\na\nB\n").out, "1\ta\n2\tb\n");
  EXPECT_EQ(Run({"freq", "--case-sensitive", "-"}, "b\na\nB\n").out, "1\tB\n1\ta\n1\tb\n");
}

TEST_F(KxuTest, ArchivesStoreAndListStrings) {
  EXPECT_EQ(Run({"archive", "store", "a.kxa", "alpha", "\xCE\xB2"}).exit_code, 0);
  EXPECT_EQ(Run({"archive", "list", "a.kxa"}).out, "0\talpha\n1\t\xCE\xB2\n");
  const Outcome sample = Run({"archive", "list", KXU_EXAMPLES_DIR "/greetings.kxa"});
  EXPECT_EQ(sample.exit_code, 0);
  EXPECT_NE(sample.out.find("0\tHello, world\n"), std::string::npos);
}

TEST_F(KxuTest, FormatTypesEachArgumentBySign) {
  EXPECT_EQ(Run({"format", "{1}%s has {0}%d rows, {2}%g%%", "12", "Table", "2.5"}).out,
            "Table has 12 rows, 2.5%\n");
  const Outcome rejected = Run({"format", "{0}%s alone", "x"});
  EXPECT_EQ(rejected.exit_code, 1);
  EXPECT_EQ(rejected.err, "kxu: ERROR: Too many or too few format sign (0)\n");
  EXPECT_EQ(Run({"format", "{0}%d {1}%s", "twelve", "x"}).err,
            "kxu: argument 0 ('twelve') is not an integer\n");
  EXPECT_EQ(Run({"format", "{0}%d {1}%s", "1"}).exit_code, 2);
  EXPECT_EQ(Run({"format", "{0}%d {1}%s", "1", "x", "y"}).exit_code, 2);
}

TEST_F(KxuTest, MessagesComeFromTheStoresBesideKxu) {
  EXPECT_EQ(Run({"msg", "10002", "--text", "B", "--number", "4"}).out,
            "WARN0010002: Column B holds 4 missing values.\n");
  EXPECT_EQ(Run({"msg", "15000", "--lang", "2"}).out,
            "ERR0015000: Die Datei %s konnte nicht ge\xC3\xB6"
            "ffnet werden.\n");
  EXPECT_EQ(Run({"msg", "2001", "--runtime"}).out, "Division by zero.\n");
  EXPECT_EQ(Run({"msg", "12345"}).exit_code, 1);
  EXPECT_EQ(Run({"heading", "14999"}).out, "WARN0014999\n");
  EXPECT_EQ(Run({"heading", "20000"}).exit_code, 1);
}

TEST_F(KxuTest, CheckStoreNamesEachProblemWithItsLine) {
  WriteBytes(Path("good.kxmsg"), "default 0x0409\nlanguage 0x0409 English\n1 One.\n");
  const Outcome good = Run({"check-store", "good.kxmsg"});
  EXPECT_EQ(good.exit_code, 0);
  EXPECT_EQ(good.out, "");
  WriteBytes(Path("bad.kxmsg"),
             "default 0x0409\nlanguage 0x0409 English\n15000The file\nlanguage 0x0407 German\n"
             "2 Nur deutsch.\n");
  const Outcome bad = Run({"check-store", "bad.kxmsg"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.out.rfind("bad.kxmsg:3: error: ", 0), 0U) << bad.out;
  EXPECT_NE(bad.out.find("\nbad.kxmsg:5: warning: "), std::string::npos) << bad.out;
  // make-rc writes the module's script of a store without errors only.
  EXPECT_EQ(Run({"make-rc", "good.kxmsg", "good.rc"}).exit_code, 0);
  EXPECT_NE(ReadBytes(Path("good.rc")).find("  1, L\"One.\"\n"), std::string::npos);
  EXPECT_EQ(Run({"make-rc", "bad.kxmsg", "bad.rc"}).exit_code, 1);
  EXPECT_FALSE(std::filesystem::exists(Path("bad.rc")));
}

TEST_F(KxuTest, DirectoriesCopyAndDeleteWithTheirSkipLists) {
  std::filesystem::create_directories(Path("src/sub"));
  std::filesystem::create_directories(Path("src/build"));
  WriteBytes(Path("src/a.txt"), "a");
  WriteBytes(Path("src/sub/b.txt"), "b");
  WriteBytes(Path("src/build/c.txt"), "c");
  EXPECT_EQ(Run({"copy-dir", "src", "dst", "-r", "--skip-folder", "BUILD"}).exit_code, 0);
  EXPECT_EQ(ReadBytes(Path("dst/sub/b.txt")), "b");
  EXPECT_FALSE(std::filesystem::exists(Path("dst/build")));
  EXPECT_EQ(Run({"copy-dir", "src", "dst"}).exit_code, 1);  // a.txt is there already

  const Outcome deleted = Run({"delete-files", "dst", "*.TXT", "--skip", "keep.txt"});
  EXPECT_EQ(deleted.out, "1\n");
  EXPECT_FALSE(std::filesystem::exists(Path("dst/a.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("dst/sub/b.txt")));
  EXPECT_EQ(Run({"delete-files", "nowhere"}).err,
            "kxu: cannot list 'nowhere': No such file or directory\n");
}

TEST_F(KxuTest, RelativePathsTakeEitherSeparator) {
  EXPECT_EQ(Run({"relpath", "/work/data/", "/work/plots/a.png"}).out, "../plots/a.png\n");
  EXPECT_EQ(Run({"relpath", "E:\\work\\data\\", "E:\\work\\a.png"}).out, "..\\a.png\n");
  const Outcome unrelated = Run({"relpath", "/a/", "/b/c"});
  EXPECT_EQ(unrelated.exit_code, 1);
  EXPECT_EQ(unrelated.err, "kxu: the base is empty or shares no folder with the path (-2)\n");
}

TEST_F(KxuTest, PalettesPrintColoursOrDrawASwatch) {
  WriteBytes(Path("two.gpl"), "GIMP Palette\r\nName: Two\r\n#\r\n255 128 0 Orange\r\n0 0 255\r\n");
  EXPECT_EQ(Run({"palette", "two.gpl"}).out, "255 128 0\n0 0 255\n");
  EXPECT_EQ(Run({"palette", "two.gpl", "--max", "1"}).out, "255 128 0\n");
  ASSERT_EQ(Run({"palette", "two.gpl", "--svg", "two.svg"}).exit_code, 0);
  EXPECT_NE(ReadBytes(Path("two.svg"))
                .find("<rect x=\"32\" y=\"0\" width=\"32\" height=\"32\" "
                      "fill=\"rgb(0,0,255)\"/>"),
            std::string::npos);
  WriteBytes(Path("plain.txt"), "not a palette\n");
  EXPECT_EQ(Run({"palette", "plain.txt"}).err, "kxu: 'plain.txt' is not a GIMP palette (-2)\n");
}

TEST_F(KxuTest, PropsPrintTheDesktopAttributesAndSayWhichAreAbsent) {
  WriteBytes(Path("photo.png"), "png");
  if (const std::string why = kxu::test::UserXattrsUnsupported(Path(".")); !why.empty())
    GTEST_SKIP() << why;
  ASSERT_TRUE(kxu::test::SetUserXattr(Path("photo.png"), "user.dublincore.title",
                                      "Gr\xC3\xBC\xC3\x9F"
                                      "e"));
  ASSERT_TRUE(kxu::test::SetUserXattr(Path("photo.png"), "user.baloo.rating", "8"));
  const Outcome outcome = Run({"props", "photo.png"});
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.out.substr(0, outcome.out.find("created: ")),
            "title: Gr\xC3\xBC\xC3\x9F"
            "e\nsubtitle: (absent)\nrating: 75\ncomment: (absent)\n");
  EXPECT_NE(outcome.out.find("\nmodified: 20"), std::string::npos) << outcome.out;
  const Outcome missing = Run({"props", "missing.png"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err, "kxu: cannot open 'missing.png': No such file or directory\n");
}

}  // namespace
