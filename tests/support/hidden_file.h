// Hidden files in tests. A file whose name starts with a dot is hidden on
// POSIX by its name alone; on Windows hiding takes the hidden attribute.
#pragma once

#include <filesystem>

namespace kxu::test {

// Makes the existing dot-named file or folder `path` hidden on this system.
void MarkHidden(const std::filesystem::path& path);

}  // namespace kxu::test
