// On POSIX the leading dot of the name is what hides a file: nothing to do.
#include "support/hidden_file.h"

namespace kxu::test {

void MarkHidden(const std::filesystem::path& /*path*/) {}

}  // namespace kxu::test
