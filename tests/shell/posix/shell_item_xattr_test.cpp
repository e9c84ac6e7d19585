// The shell item export over POSIX: the text and rating properties read
// from user extended attributes.
#include <kxutils96/shell/shell_item.h>

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <tuple>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace {

using namespace kxu::test;
using namespace kxu::shell;  // the result codes and property indexes

// The buffer takes what fits, as the run-time's conversion writes it in the
// classic locale (its own tests hold the terminator rules): the size given
// is the size used, and the conversion stops at a character it cannot write.
// A text read of a number fails with the text read's code (the table of
// checks holds the other operations' codes); an absent property is absent
// in every form and leaves the buffer alone.
TEST(ShellItemXattrs, TextIsConvertedInTheClassicLocaleIntoTheGivenSize) {
  const kxu::test::TempDir dir;
  const std::string path = dir.Path("a.txt").string();
  WriteBytes(path, "data");
  if (const std::string why = UserXattrsUnsupported(dir.Path()); !why.empty()) GTEST_SKIP() << why;
  ASSERT_TRUE(SetUserXattr(path, "user.dublincore.title", "Caf\xC3\xA9"));
  ASSERT_TRUE(SetUserXattr(path, "user.kxutils96.subtitle", "a\xCE\xA9z"));  // a, omega, z
  ASSERT_TRUE(SetUserXattr(path, "user.baloo.rating", "4"));
  const std::string savedLocale = std::setlocale(LC_ALL, nullptr);
  int nId = 0;
  const auto call = [&nId](int nOperation, INT_PTR nProperty, const void* p, UINT cb) {
    return kxu_shell_item(&nId, nOperation, nProperty, reinterpret_cast<INT_PTR>(p), cb);
  };
  ASSERT_EQ(call(SHELLITEM_CREATE, reinterpret_cast<INT_PTR>(path.c_str()), nullptr, 0),
            kShellItemDone);
  const std::tuple<INT_PTR, UINT, int, std::string> cases[] = {
      {kShellTitle, 3, kShellItemDone, "Caf#####"},
      {kShellTitle, 8, kShellItemDone, std::string("Caf\xE9\0###", 8)},
      {kShellSubtitle, 8, kShellItemDone, "a#######"},
      {kShellRating, 8, kShellGetStringFailed, "########"},
      {kShellComment, 8, kShellPropertyMissing, "########"}};
  for (const auto& [nProperty, cb, nResult, expected] : cases) {
    std::string buffer(8, '#');
    EXPECT_EQ(call(SHELLITEM_GET_STRING, nProperty, buffer.data(), cb), nResult);
    EXPECT_EQ(buffer, expected);
  }
  BOOL b = TRUE;
  EXPECT_EQ(call(SHELLITEM_GET_BOOL, kShellComment, &b, 0), kShellPropertyMissing);
  EXPECT_EQ(call(SHELLITEM_RELEASE, 0, nullptr, 0), kShellItemDone);
  std::setlocale(LC_ALL, savedLocale.c_str());
}

}  // namespace
