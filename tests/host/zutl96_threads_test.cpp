// The utility library's process-wide state under threads: the list of loaded
// message stores and the host's code page.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <string>

#include <kxutils96/platform/win32/win_nls.h>

#include "support/concurrently.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

using kxu::test::kThreads;
using kxu::test::RunConcurrently;

constexpr int kRounds = 50;

// Two stores, each loaded by two threads at once while the others look up:
// every handle a thread gets reads its own store's text.
TEST(MessageStoreThreads, ConcurrentLoadsAndLookupsFindEachStoresText) {
  kxu::test::TempDir dir;
  const std::array<std::string, 2> texts = {"First store", "Second store"};
  std::array<std::u16string, 2> paths;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string name = "store" + std::to_string(i) + ".kxmsg";
    kxu::test::WriteBytes(dir.Path(name),
                          "default 0x0409\nlanguage 0x0409 English\n10000 " + texts[i] + "\n");
    paths[i] = dir.Path(name).u16string();
  }
  RunConcurrently(kThreads, [&](int k) {
    const std::size_t nStore = static_cast<std::size_t>(k) % paths.size();
    for (int i = 0; i < kRounds; ++i) {
      const HMODULE hStore = utlLoadMessageStore(paths[nStore].c_str());
      ASSERT_NE(hStore, nullptr);
      std::array<char, 64> buffer{};
      ASSERT_EQ(utlLoadModuleString(hStore, 10000, buffer.data(), 64, 0x0409, 0, 0),
                static_cast<int>(texts[nStore].size()));
      EXPECT_EQ(buffer.data(), texts[nStore]);
    }
  });
}

// The host writes its code page at any time, as one aligned int; a
// conversion that reads it sees either the old or the new page, never a mix
// of the two (here: never the -1 that means "none" instead of the ANSI page).
TEST(HostCodePageThreads, AChoiceSeesOneValueOfTheHostsPage) {
  constexpr int kHostPage = 932;
  const int nAnsi = static_cast<int>(GetACP());
  std::atomic_ref<int> hostPage(g_nCodePage);
  const int nSaved = hostPage.load();
  RunConcurrently(kThreads, [&](int k) {
    for (int i = 0; i < kRounds * 20; ++i) {
      if (k == 0) {
        hostPage.store(i % 2 == 0 ? kHostPage : -1);
      } else {
        const int nChosen = utlChooseCodePage(-1);
        EXPECT_TRUE(nChosen == kHostPage || nChosen == nAnsi) << nChosen;
      }
    }
  });
  hostPage.store(nSaved);
}

}  // namespace
