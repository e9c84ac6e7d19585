// The POSIX platform's own map from locale codesets to ANSI code pages,
// behind GetACP there.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

namespace {

TEST(CodePageTest, CodesetNamesMapToAnsiPages) {
  const struct {
    const char* codeset;
    UINT nPage;
  } rows[] = {{"UTF-8", 65001},
              {"utf8", 65001},
              {"ISO-8859-1", 1252},
              {"ISO-8859-15", 1252},
              {"ISO-8859-2", 1250},
              {"KOI8-R", 1251},
              {"ISO-8859-7", 1253},
              {"EUC-JP", 932},
              {"SHIFT_JIS", 932},
              {"GB18030", 936},
              {"EUC-KR", 949},
              {"BIG5", 950},
              {"CP1251", 1251},
              {"WINDOWS-1257", 1257},
              {"TIS-620", 874},
              {"ANSI_X3.4-1968", 1252},
              {"CP12345", 1252},
              {"", 1252},
              {"A-VERY-LONG-UNKNOWN-CODESET-NAME", 1252}};
  for (const auto& row : rows) {
    EXPECT_EQ(kxu::platform::AnsiCodePageForCodeset(row.codeset), row.nPage) << row.codeset;
  }
}

}  // namespace
