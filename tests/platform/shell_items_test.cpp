// Shell items on every system: the file's modification time to the tick
// (the interfaces and the forms of the properties are tested through the shell
// item export; the property sources of one system in its own subfolder).
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "platform/shell_items_fixture.h"
#include "support/shell_reads.h"

namespace {

using kxu::test::ShellItems;

TEST_F(ShellItems, ModificationTimeIsTheFilesInFileTimeTicks) {
  if (!kxu::test::ShellReadsProperties(m_file)) GTEST_SKIP() << kxu::test::kShellReadsNoProperties;
  // 2021-03-04 05:06:07.123456789 UTC, in 100 ns steps since 1601.
  const auto when = std::chrono::sys_time<std::chrono::nanoseconds>(
      std::chrono::seconds(1614834367) + std::chrono::nanoseconds(123456789));
  std::filesystem::last_write_time(m_file, std::chrono::file_clock::from_sys(when));
  FILETIME time{};
  ASSERT_EQ(m_pItem->GetFileTime(PKEY_DateModified, &time), S_OK);
  EXPECT_EQ((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, 132593079671234567u);
}

}  // namespace
