// Where no framework exception may escape: a destructor, or an export whose
// contract turns every failure into a result.
#pragma once

#include <kxutils96/platform/framework/afx_exception.h>

#include <utility>

namespace kxu::platform {

// Calls `action()`; a framework exception it raises is deleted there, so
// that none escapes (a destructor, or an export whose contract turns every
// failure into a result). Returns false when `action` raised one. Other
// exceptions pass through.
// Example: `if (!DeletingFrameworkExceptions([&] { file.Close(); })) return 0;`
template <class Action>
bool DeletingFrameworkExceptions(Action&& action) {
  try {
    std::forward<Action>(action)();
    return true;
  } catch (CException* pException) {
    pException->Delete();
    return false;
  }
}

}  // namespace kxu::platform
