// The one-time lookup of the host's numeric converter and the conversion
// through it or through utlStrToDouble.
#include <kxutils96/sort/numeric_text.h>

#include <cstring>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/win_module.h>
#include <kxutils96/platform/win_nls.h>
#include <kxutils96/sort/sort_family.h>

namespace kxu::sort {

namespace {

// Process-wide converter state, unlocked: the flag is set before the one
// attempt, so a failed attempt is never repeated; a second thread that
// arrives during the attempt converts with utlStrToDouble.
bool g_bConverterAttempted = false;
StrToDoubleEx g_pfnConverter = nullptr;

void AttemptConverterLoad() {
  g_bConverterAttempted = true;
  WCHAR szModule[32] = {};
  if (MultiByteToWideChar(CP_UTF8, 0, "ZQUTIL96.dll", -1, szModule, 32) == 0) return;
  HMODULE hModule = LoadLibraryW(szModule);
  if (hModule == nullptr) return;
  const FARPROC proc = GetProcAddress(hModule, "cvt_str_to_double_ex");
  static_assert(sizeof proc == sizeof g_pfnConverter);
  std::memcpy(&g_pfnConverter, &proc, sizeof proc);
}

}  // namespace

double NumericTextValue(const char* psz) {
  if (!g_bConverterAttempted) AttemptConverterLoad();
  if (g_pfnConverter == nullptr) return utlStrToDouble(psz);
  double value = 0.0;
  return g_pfnConverter(psz, &value, 0) != 0 ? value : NANUM;
}

}  // namespace kxu::sort
