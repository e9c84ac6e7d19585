// GetModuleFileNameW and the module state that names the running program.
#include <kxutils96/platform/framework/afx_module_state.h>
#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_module.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/program_path.h"

namespace {

std::u16string ProgramPath() {
  return kxu::test::ProgramPath().u16string();
}

TEST(GetModuleFileNameW, NamesTheRunningProgramForNull) {
  std::array<WCHAR, 4096> buffer{};
  const DWORD nLength = GetModuleFileNameW(nullptr, buffer.data(), buffer.size());
  EXPECT_EQ(std::u16string(buffer.data()), ProgramPath());
  EXPECT_EQ(nLength, ProgramPath().size());
}

TEST(GetModuleFileNameW, CutsAPathThatDoesNotFit) {
  std::array<WCHAR, 6> buffer{};
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), buffer.size()), 6U);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer.data()), ProgramPath().substr(0, 5));
  EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 10), 0U);
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), 0), 0U);
}

TEST(AfxGetModuleState, NamesTheRunningProgram) {
  const AFX_MODULE_STATE* pState = AfxGetModuleState();
  ASSERT_NE(pState, nullptr);
  EXPECT_EQ(pState, AfxGetModuleState());
  std::array<WCHAR, 4096> buffer{};
  GetModuleFileNameW(pState->m_hCurrentInstanceHandle, buffer.data(), buffer.size());
  EXPECT_EQ(std::u16string(buffer.data()), ProgramPath());
}

}  // namespace
