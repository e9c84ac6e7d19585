// The shell item object's interfaces and reference count, the creation
// checks, and the desktop rating scale.
#include <kxutils96/platform/com_shell/shell_item_object.h>

#include <iterator>

namespace kxu::platform {

HRESULT ShellItemObject::QueryInterface(REFIID riid, void** ppvObject) noexcept {
  if (ppvObject == nullptr) return E_POINTER;
  if (riid == IID_IUnknown) {
    *ppvObject = static_cast<IUnknown*>(this);
  } else if (riid == IID_IShellItem) {
    *ppvObject = static_cast<IShellItem*>(this);
  } else if (riid == IID_IShellItem2) {
    *ppvObject = static_cast<IShellItem2*>(this);
  } else {
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ShellItemObject::AddRef() noexcept {
  return ++m_nReferences;
}

ULONG ShellItemObject::Release() noexcept {
  const ULONG nLeft = --m_nReferences;
  if (nLeft == 0) delete this;
  return nLeft;
}

HRESULT CheckShellItemRequest(LPCWSTR pszPath, IBindCtx* pbc, void** ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pszPath == nullptr || *pszPath == 0 || pbc != nullptr) return E_INVALIDARG;
  return S_OK;
}

HRESULT HandOutShellItem(ShellItemObject* pItem, REFIID riid, void** ppv) noexcept {
  const HRESULT hr = pItem->QueryInterface(riid, ppv);
  pItem->Release();
  return hr;
}

ULONG ShellRatingOfDesktopRating(ULONG nDesktop) noexcept {
  static constexpr ULONG kShellRating[] = {0, 1, 1, 13, 25, 38, 50, 63, 75, 88, 99};
  constexpr ULONG kHighest = std::size(kShellRating) - 1;
  return kShellRating[nDesktop < kHighest ? nDesktop : kHighest];
}

}  // namespace kxu::platform
