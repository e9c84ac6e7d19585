// The shell item export over POSIX: the path in the user's code page, and
// the text and rating properties read from user extended attributes.
#include <kxutils96/shell/shell_item.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

#include "shell/shell_item_fixture.h"
#include "support/user_xattr.h"

namespace {

using namespace kxu::test;
using namespace kxu::shell;  // the result codes and property indexes

// Sets LC_ALL for one scope and puts the former value back.
struct ScopedLcAll {
  explicit ScopedLcAll(const char* pszValue) { ::setenv("LC_ALL", pszValue, 1); }
  ~ScopedLcAll() { m_old ? ::setenv("LC_ALL", m_old->c_str(), 1) : ::unsetenv("LC_ALL"); }
  std::optional<std::string> m_old =
      std::getenv("LC_ALL") ? std::optional<std::string>(std::getenv("LC_ALL")) : std::nullopt;
};

TEST_F(ShellItem, PathIsTakenInTheUsersCodePage) {
  File("caf\xC3\xA9.txt");  // "café.txt" as the file system stores it, in UTF-8
  const std::string latin1 = m_dir.Path().string() + "/caf\xE9.txt";
  const std::string utf8 = m_dir.Path().string() + "/caf\xC3\xA9.txt";
  int nId = 0;
  {
    const ScopedLcAll env("C");
    EXPECT_EQ(Create(latin1, &nId), kShellItemDone) << "each byte is one character";
    EXPECT_EQ(Create(utf8, &nId), kShellItemNotMade) << "two characters, \u00C3 and \u00A9";
  }
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  const ScopedLcAll env("C.UTF-8");
  EXPECT_EQ(Create(utf8, &nId), kShellItemDone);
  EXPECT_EQ(Create(latin1, &nId), kShellItemNotMade) << "not UTF-8: does not convert";
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C") << "creation leaves the classic locale";
}

// The buffer takes what fits, as the run-time's conversion writes it in the
// classic locale (its own tests hold the terminator rules): the size given
// is the size used, and the conversion stops at a character it cannot write.
// A text read of a number fails with the text read's code (the table of
// checks holds the other operations' codes); an absent property is absent
// in every form and leaves the buffer alone.
TEST_F(ShellItem, TextIsConvertedInTheClassicLocaleIntoTheGivenSize) {
  RequireUserXattrs();
  const std::string path = File("a.txt");
  ASSERT_TRUE(SetUserXattr(path, "user.dublincore.title", "Caf\xC3\xA9"));
  ASSERT_TRUE(SetUserXattr(path, "user.kxutils96.subtitle", "a\xCE\xA9z"));  // a, omega, z
  ASSERT_TRUE(SetUserXattr(path, "user.baloo.rating", "4"));
  const int nId = NewId(path);
  const std::tuple<INT_PTR, UINT, int, std::string> cases[] = {
      {kShellTitle, 3, kShellItemDone, "Caf#####"},
      {kShellTitle, 8, kShellItemDone, std::string("Caf\xE9\0###", 8)},
      {kShellSubtitle, 8, kShellItemDone, "a#######"},
      {kShellRating, 8, kShellGetStringFailed, "########"},
      {kShellComment, 8, kShellPropertyMissing, "########"}};
  for (const auto& [nProperty, cb, nResult, expected] : cases) {
    std::string buffer(8, '#');
    EXPECT_EQ(Read(nId, SHELLITEM_GET_STRING, nProperty, buffer.data(), cb), nResult);
    EXPECT_EQ(buffer, expected);
  }
  BOOL b = TRUE;
  EXPECT_EQ(Read(nId, SHELLITEM_GET_BOOL, kShellComment, &b), kShellPropertyMissing);
}

}  // namespace
