// utlStrToDouble: strtod's parse under the "C" locale, whatever the
// process's locale is.
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/crt.h>

double utlStrToDouble(const char* psz) {
  if (psz == nullptr) return 0.0;
  return kxu::platform::StrToDoubleC(psz, nullptr);
}
