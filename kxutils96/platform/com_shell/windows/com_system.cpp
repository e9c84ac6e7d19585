// The only translation unit of the component bridge that sees <objbase.h>.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <objbase.h>
#include <windows.h>

#include <kxutils96/platform/com_shell/windows/com_system.h>

namespace kxu::platform::windows {

std::int32_t CoInitializeEx(void* pvReserved, std::uint32_t dwCoInit) noexcept {
  return ::CoInitializeEx(pvReserved, dwCoInit);
}

void CoUninitialize() noexcept {
  ::CoUninitialize();
}

void* CoTaskMemAlloc(std::size_t cb) noexcept {
  return ::CoTaskMemAlloc(cb);
}

void CoTaskMemFree(void* pv) noexcept {
  ::CoTaskMemFree(pv);
}

}  // namespace kxu::platform::windows
