// The component layer's calls that the Windows form of com_base hands its
// work to, declared with plain C++ types so that their callers need not see
// <windows.h> (whose names clash with the library's own declarations). Each
// does exactly what the system call of the same name does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kxu::platform::windows {

std::int32_t CoInitializeEx(void* pvReserved, std::uint32_t dwCoInit) noexcept;
void CoUninitialize() noexcept;
void* CoTaskMemAlloc(std::size_t cb) noexcept;
void CoTaskMemFree(void* pv) noexcept;

}  // namespace kxu::platform::windows
