// Whether a shared module is loaded in this process, asked without loading it.
#pragma once

#include <filesystem>

namespace kxu::test {

bool ModuleLoaded(const std::filesystem::path& path);

}  // namespace kxu::test
