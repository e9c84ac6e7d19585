// Whether tests can take access to a file away from this process with
// std::filesystem::permissions. On POSIX the permission bits bind every
// process but the superuser's; on Windows removing every write permission
// sets the read-only attribute, which refuses writing, and nothing refuses
// reading.
#pragma once

#include <string>

namespace kxu::test {

// Why removing the read permissions would not stop this process reading a
// file or listing a folder; empty when it would.
std::string ReadRefusalUnsupported();

// Why removing the write permissions would not stop this process writing a
// file; empty when it would.
std::string WriteRefusalUnsupported();

}  // namespace kxu::test
