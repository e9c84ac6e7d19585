// Shell items of the system's shell: why a creation fails. (The properties
// are the shell's own; the shared tests read the file's times.)
#include <kxutils96/platform/com_shell/shell_items.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <kxutils96/platform/win32/win_error.h>

#include "platform/shell_items_fixture.h"

namespace {

using kxu::test::ShellItems;
using kxu::test::Wide;

constexpr HRESULT kFileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
constexpr HRESULT kPathNotFound = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);

// The shell tells a missing folder, or a file taken for one, by either of
// its two codes (Wine says "file not found" for both); the contract allows
// either.
TEST_F(ShellItems, CreationTellsWhyNothingIsThere) {
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(SHCreateItemFromParsingName(Wide(m_dir.Path("missing.txt")).c_str(), nullptr,
                                        IID_IShellItem, &pv),
            kFileNotFound);
  EXPECT_EQ(pv, nullptr);
  for (const std::filesystem::path& path : {m_dir.Path("missing/photo.txt"), m_file / "inside"}) {
    pv = reinterpret_cast<void*>(1);
    const HRESULT hr =
        SHCreateItemFromParsingName(Wide(path).c_str(), nullptr, IID_IShellItem, &pv);
    EXPECT_TRUE(hr == kFileNotFound || hr == kPathNotFound) << path << ": " << std::hex << hr;
    EXPECT_EQ(pv, nullptr);
  }
}

}  // namespace
