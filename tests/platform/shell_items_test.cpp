// Shell items on every system: a path with backslashes, the interfaces'
// shared reference count, and the file's modification time to the tick. The
// property sources of one system are tested in its own subfolder.
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/shell_items_fixture.h"
#include "support/shell_reads.h"

namespace {

using kxu::test::ShellItems;
using kxu::test::Ticks;
using kxu::test::U16;
using kxu::test::Wide;

TEST_F(ShellItems, BackslashesSeparateFoldersAndInterfacesShareOneCount) {
  U16 path = Wide(m_file);
  std::replace(path.begin(), path.end(), u'/', u'\\');
  void* pv = nullptr;
  ASSERT_EQ(SHCreateItemFromParsingName(path.c_str(), nullptr, IID_IShellItem, &pv), S_OK);
  auto* pItem = static_cast<IShellItem*>(pv);
  ASSERT_EQ(pItem->QueryInterface(IID_IShellItem2, &pv), S_OK);
  EXPECT_EQ(pItem->AddRef(), 3u);
  EXPECT_EQ(pItem->Release(), 2u);
  EXPECT_EQ(static_cast<IShellItem2*>(pv)->Release(), 1u);
  constexpr IID kOther = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  EXPECT_EQ(pItem->QueryInterface(kOther, &pv), E_NOINTERFACE);
  EXPECT_EQ(pv, nullptr);
  pItem->Release();
}

TEST_F(ShellItems, ModificationTimeIsTheFilesInFileTimeTicks) {
  if (!kxu::test::ShellReadsProperties(m_file)) GTEST_SKIP() << kxu::test::kShellReadsNoProperties;
  // 2021-03-04 05:06:07.123456789 UTC, in 100 ns steps since 1601.
  const auto when = std::chrono::sys_time<std::chrono::nanoseconds>(
      std::chrono::seconds(1614834367) + std::chrono::nanoseconds(123456789));
  std::filesystem::last_write_time(m_file, std::chrono::file_clock::from_sys(when));
  FILETIME time{};
  ASSERT_EQ(m_item.p->GetFileTime(PKEY_DateModified, &time), S_OK);
  EXPECT_EQ(Ticks(time), 132593079671234567u);
}

}  // namespace
