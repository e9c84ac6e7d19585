// The framework's module state: which module's resources and files the
// framework code running now belongs to. Library code uses it to find files
// that are installed beside the program that loaded it.
#pragma once

#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_types.h>

using HINSTANCE = HMODULE;

struct AFX_MODULE_STATE {
  // The module whose code is running: null stands for the running program
  // itself, as GetModuleFileNameW reads a null module.
  HINSTANCE m_hCurrentInstanceHandle;
  // The module the framework loads resources from (the same here).
  HINSTANCE m_hCurrentResourceHandle;
  // The application's name; null when the host has not named it.
  LPCWSTR m_lpszCurrentAppName;
};

// The module state current on this thread. The library never switches it,
// so a call from the host's program finds the program's state: its instance
// handle names the running program. The state lives as long as the process.
// Example: GetModuleFileNameW(AfxGetModuleState()->m_hCurrentInstanceHandle,
// buf, 520) gives the path of the running program.
AFX_MODULE_STATE* AfxGetModuleState() noexcept;
