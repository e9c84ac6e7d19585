// The one-time lookup of the host's numeric converter and the conversion
// through it or through utlStrToDouble.
#include <kxutils96/sort/numeric_text.h>

#include <cstring>

#include <kxutils96/host/zutl96/number_parsing.h>
#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/sort/sort_family.h>

namespace kxu::sort {

namespace {

// Loads ZQUTIL96.dll and looks up its converter; null when either fails.
StrToDoubleEx FindConverter() {
  WCHAR szModule[32] = {};
  if (MultiByteToWideChar(CP_UTF8, 0, "ZQUTIL96.dll", -1, szModule, 32) == 0) return nullptr;
  HMODULE hModule = LoadLibraryW(szModule);
  if (hModule == nullptr) return nullptr;
  const FARPROC proc = GetProcAddress(hModule, "cvt_str_to_double_ex");
  StrToDoubleEx pfnConverter = nullptr;
  static_assert(sizeof proc == sizeof pfnConverter);
  std::memcpy(&pfnConverter, &proc, sizeof proc);
  return pfnConverter;
}

// The process's converter, looked for at the first call only. The lookup is a
// once-only initialisation: threads that arrive while it runs wait for its
// result, so every conversion of the process goes the same way.
StrToDoubleEx Converter() {
  static const StrToDoubleEx s_pfnConverter = FindConverter();
  return s_pfnConverter;
}

}  // namespace

double NumericTextValue(const char* psz) {
  const StrToDoubleEx pfnConverter = Converter();
  if (pfnConverter == nullptr) return utlStrToDouble(psz);
  double value = 0.0;
  return pfnConverter(psz, &value, 0) != 0 ? value : NANUM;
}

}  // namespace kxu::sort
