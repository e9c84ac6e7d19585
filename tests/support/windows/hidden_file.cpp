// On Windows a file is hidden by its attribute, whatever its name.
#include "support/hidden_file.h"

#include <windows.h>

#include <system_error>

namespace kxu::test {

void MarkHidden(const std::filesystem::path& path) {
  const DWORD dwAttributes = ::GetFileAttributesW(path.c_str());
  if (dwAttributes == INVALID_FILE_ATTRIBUTES ||
      !::SetFileAttributesW(path.c_str(), dwAttributes | FILE_ATTRIBUTE_HIDDEN)) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                            "hiding " + path.string());
  }
}

}  // namespace kxu::test
