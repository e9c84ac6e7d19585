// Permission bits bind every process except the superuser's.
#include "support/permissions.h"

#include <unistd.h>

namespace kxu::test {
namespace {

std::string SuperuserIgnoresPermissions() {
  return ::geteuid() == 0 ? "running as root: permission bits do not bind" : "";
}

}  // namespace

std::string ReadRefusalUnsupported() {
  return SuperuserIgnoresPermissions();
}

std::string WriteRefusalUnsupported() {
  return SuperuserIgnoresPermissions();
}

}  // namespace kxu::test
