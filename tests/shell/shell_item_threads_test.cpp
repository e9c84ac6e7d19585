// One table of shell items used by several threads at once: each creates,
// reads and releases items of its own while the others do the same.
#include <kxutils96/shell/shell_item.h>

#include <gtest/gtest.h>

#include <string>

#include <kxutils96/platform/com_shell/com_base.h>

#include "shell/shell_item_fixture.h"
#include "support/concurrently.h"
#include "support/shell_reads.h"

namespace {

using kxu::test::ShellItem;
using namespace kxu::shell;  // the result codes and property indexes

constexpr int kRounds = 8;

// Every id a thread is given names its own item until it releases it.
TEST_F(ShellItem, ThreadsCreateReadAndReleaseTheirOwnItems) {
  const std::string path = File("a.txt");
  const int nReadResult =
      kxu::test::ShellReadsProperties(path) ? kShellItemDone : kShellGetFileTimeFailed;
  kxu::test::RunConcurrently(kxu::test::kThreads, [&](int) {
    // Each host thread that uses the shell has initialised COM for itself.
    const HRESULT hrCom = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int i = 0; i < kRounds; ++i) {
      int nId = 0;
      ASSERT_EQ(Create(path, &nId), kShellItemDone);
      FILETIME time{};
      EXPECT_EQ(Read(nId, SHELLITEM_GET_FILETIME, kShellDateModified, &time), nReadResult);
      EXPECT_EQ(Release(nId), kShellItemDone) << nId;
    }
    if (SUCCEEDED(hrCom)) CoUninitialize();
  });
}

}  // namespace
