// The floating-point class tests of crt.h, which Windows' run-time library has.
#include <kxutils96/platform/crt/crt.h>

#include <cmath>

int _isnan(double x) noexcept {
  return std::isnan(x) ? 1 : 0;
}

int _finite(double x) noexcept {
  return std::isfinite(x) ? 1 : 0;
}
