// AfxGetModuleState: one state for the process, naming the running program.
#include <kxutils96/platform/framework/afx_module_state.h>

AFX_MODULE_STATE* AfxGetModuleState() noexcept {
  // Constructed once, by whichever thread asks first; the library never
  // writes it afterwards, so any thread may read it.
  static AFX_MODULE_STATE s_state{nullptr, nullptr, nullptr};
  return &s_state;
}
