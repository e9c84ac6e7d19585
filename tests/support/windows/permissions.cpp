// On Windows std::filesystem::permissions only sets or clears the read-only
// attribute: nothing refuses reading, and whether the attribute refuses
// writing is tried on a probe file (under Wine run by the superuser it does
// not).
#include "support/permissions.h"

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace kxu::test {

std::string ReadRefusalUnsupported() {
  return "Windows keeps no permission that refuses reading; std::filesystem::permissions only "
         "sets the read-only attribute";
}

std::string WriteRefusalUnsupported() {
  const TempDir dir;
  const std::filesystem::path probe = dir.Path("read_only_probe");
  std::ofstream(probe) << "x";
  std::filesystem::permissions(probe, std::filesystem::perms::owner_read);
  const bool bWritable = std::ofstream(probe, std::ios::app).is_open();
  std::filesystem::permissions(probe, std::filesystem::perms::owner_all);
  return bWritable ? "the read-only attribute does not refuse writing to this process" : "";
}

}  // namespace kxu::test
