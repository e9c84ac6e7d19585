// Wine's ntdll exports wine_get_version; Windows' does not.
#include "support/wine.h"

#include <windows.h>

namespace kxu::test {

bool UnderWine() {
  const HMODULE hNtdll = ::GetModuleHandleW(L"ntdll.dll");
  return hNtdll != nullptr && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr;
}

}  // namespace kxu::test
