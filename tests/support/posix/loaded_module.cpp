// dlopen with RTLD_NOLOAD finds a loaded shared object and loads nothing.
#include "support/loaded_module.h"

#include <dlfcn.h>

namespace kxu::test {

bool ModuleLoaded(const std::filesystem::path& path) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  ::dlclose(handle);  // drops only the reference this call took
  return true;
}

}  // namespace kxu::test
