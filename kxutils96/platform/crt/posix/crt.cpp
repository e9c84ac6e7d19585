// The run-time pieces of crt.h over the C library.
#include <kxutils96/platform/crt/crt.h>

#include <string.h>  // memmem

#include <cmath>

namespace kxu::platform {

// memmem is several times faster on long texts than scanning for the first
// byte and comparing.
const char* FindBytes(const char* pText, std::size_t nText, const char* pSub,
                      std::size_t nSub) noexcept {
  return static_cast<const char*>(memmem(pText, nText, pSub, nSub));
}

}  // namespace kxu::platform

int _isnan(double x) noexcept {
  return std::isnan(x) ? 1 : 0;
}

int _finite(double x) noexcept {
  return std::isfinite(x) ? 1 : 0;
}
