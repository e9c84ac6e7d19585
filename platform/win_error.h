// The system's last-error value: one per thread, set by a platform call that
// fails and read by its caller right after, as the system does it.
#pragma once

#include <kxutils96/platform/win_types.h>

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_ARITHMETIC_OVERFLOW = 534;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

// The calling thread's last-error value (ERROR_SUCCESS until a call sets one).
// A successful call leaves it as it was.
// Example: after a failed MultiByteToWideChar with code page 12345,
// GetLastError() == ERROR_INVALID_PARAMETER.
DWORD GetLastError() noexcept;

// Sets the calling thread's last-error value.
// Example: SetLastError(ERROR_SUCCESS); GetLastError() == 0.
void SetLastError(DWORD dwErrCode) noexcept;
