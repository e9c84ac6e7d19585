// GetModuleHandleW finds a loaded module and loads nothing.
#include "support/loaded_module.h"

#include <windows.h>

namespace kxu::test {

bool ModuleLoaded(const std::filesystem::path& path) {
  return ::GetModuleHandleW(path.c_str()) != nullptr;
}

}  // namespace kxu::test
