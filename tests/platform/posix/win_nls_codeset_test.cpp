// The POSIX platform's own map from locale codesets to ANSI code pages,
// behind GetACP there: one row a way a name is read (the names' table is
// data).
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

namespace {

TEST(CodePageTest, CodesetNamesMapToAnsiPages) {
  const struct {
    const char* codeset;
    UINT nPage;
  } rows[] = {{"UTF-8", 65001},  {"utf8", 65001},  {"ISO-8859-1", 1252},
              {"EUC-JP", 932},   {"CP1251", 1251}, {"WINDOWS-1257", 1257},
              {"CP12345", 1252}, {"", 1252},       {"A-VERY-LONG-UNKNOWN-CODESET-NAME", 1252}};
  for (const auto& row : rows) {
    EXPECT_EQ(kxu::platform::AnsiCodePageForCodeset(row.codeset), row.nPage) << row.codeset;
  }
}

}  // namespace
