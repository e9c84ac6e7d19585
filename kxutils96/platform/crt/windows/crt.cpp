// The run-time piece of crt.h that Windows' run-time library lacks: a byte
// search.
#include <kxutils96/platform/crt/crt.h>

#include <string_view>

namespace kxu::platform {

const char* FindBytes(const char* pText, std::size_t nText, const char* pSub,
                      std::size_t nSub) noexcept {
  const std::string_view text(pText, nText);
  const std::size_t at = text.find(std::string_view(pSub, nSub));
  return at == std::string_view::npos ? nullptr : pText + at;
}

}  // namespace kxu::platform
