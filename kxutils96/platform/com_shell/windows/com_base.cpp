// The component layer is the system's own. Only the argument checks are the
// library's: the system lets a reserved pointer and unknown bits pass, the
// contract refuses them.
#include <kxutils96/platform/com_shell/com_base.h>

#include <kxutils96/platform/com_shell/windows/com_system.h>

namespace system = kxu::platform::windows;

HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit) noexcept {
  if (!kxu::platform::IsValidCoInitRequest(pvReserved, dwCoInit)) return E_INVALIDARG;
  return system::CoInitializeEx(pvReserved, dwCoInit);
}

void CoUninitialize() noexcept {
  system::CoUninitialize();
}

void* CoTaskMemAlloc(std::size_t cb) noexcept {
  return system::CoTaskMemAlloc(cb);
}

void CoTaskMemFree(void* pv) noexcept {
  system::CoTaskMemFree(pv);
}
