// The run-time pieces of crt.h that Windows' run-time library lacks: the
// "C"-locale number parse through a locale object of its own, and a byte
// search.
#include <kxutils96/platform/crt.h>

#include <locale.h>
#include <stdlib.h>

#include <string_view>

namespace kxu::platform {

double StrToDoubleC(const char* psz, char** ppEnd) noexcept {
  // One "C" locale object for the life of the process; _create_locale fails
  // only when out of memory, and then the process's own locale is the fallback.
  static const _locale_t cLocale = _create_locale(LC_ALL, "C");
  char* pEnd = nullptr;
  const double value = cLocale != nullptr ? _strtod_l(psz, &pEnd, cLocale) : strtod(psz, &pEnd);
  if (ppEnd != nullptr) *ppEnd = pEnd;
  return value;
}

const char* FindBytes(const char* pText, std::size_t nText, const char* pSub,
                      std::size_t nSub) noexcept {
  const std::string_view text(pText, nText);
  const std::size_t at = text.find(std::string_view(pSub, nSub));
  return at == std::string_view::npos ? nullptr : pText + at;
}

}  // namespace kxu::platform
