// Whether the system's shell items read properties at all. Wine's answer
// every property read with E_NOTIMPL; tests of property values then check
// that the library hands that on as the failure it is, and skip the values.
#pragma once

#include <filesystem>

#include <kxutils96/platform/com_shell/shell_items.h>

namespace kxu::test {

inline constexpr char kShellReadsNoProperties[] =
    "the system's shell items read no properties (E_NOTIMPL, as under Wine)";

// False when the shell item of the existing `file` answers a read of its
// modification time with E_NOTIMPL.
inline bool ShellReadsProperties(const std::filesystem::path& file) {
  void* pv = nullptr;
  if (FAILED(SHCreateItemFromParsingName(file.u16string().c_str(), nullptr, IID_IShellItem2, &pv)))
    return true;  // the caller's own creation reports the failure
  auto* pItem = static_cast<IShellItem2*>(pv);
  FILETIME time{};
  const HRESULT hr = pItem->GetFileTime(PKEY_DateModified, &time);
  pItem->Release();
  return hr != E_NOTIMPL;
}

}  // namespace kxu::test
