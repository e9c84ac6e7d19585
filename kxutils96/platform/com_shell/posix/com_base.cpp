// Per-thread initialisation counts and the task allocator over malloc.
#include <kxutils96/platform/com_shell/com_base.h>

#include <cstdlib>

namespace {

// The calling thread's initialisations and the model the first one chose.
struct ThreadInit {
  int nCount = 0;
  bool bApartment = false;
};

thread_local ThreadInit t_init;

}  // namespace

HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit) noexcept {
  if (!kxu::platform::IsValidCoInitRequest(pvReserved, dwCoInit)) return E_INVALIDARG;
  const bool bApartment = (dwCoInit & COINIT_APARTMENTTHREADED) != 0;
  if (t_init.nCount == 0) {
    t_init = {1, bApartment};
    return S_OK;
  }
  if (t_init.bApartment != bApartment) return RPC_E_CHANGED_MODE;
  ++t_init.nCount;
  return S_FALSE;
}

void CoUninitialize() noexcept {
  if (t_init.nCount > 0) --t_init.nCount;
}

void* CoTaskMemAlloc(std::size_t cb) noexcept {
  return std::malloc(cb == 0 ? 1 : cb);
}

void CoTaskMemFree(void* pv) noexcept {
  std::free(pv);
}
