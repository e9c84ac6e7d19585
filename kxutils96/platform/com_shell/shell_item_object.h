// What the shell items of every platform share: one object behind the three
// interfaces with one reference count, and the checks a creation request
// passes before the platform looks at the path.
#pragma once

#include <atomic>

#include <kxutils96/platform/com_shell/shell_items.h>

namespace kxu::platform {

// A shell item: answers QueryInterface for IUnknown, IShellItem and
// IShellItem2, counts references from 1 and deletes itself at 0. Each
// platform derives the property getters.
class ShellItemObject : public IShellItem2 {
 public:
  ShellItemObject(const ShellItemObject&) = delete;
  ShellItemObject& operator=(const ShellItemObject&) = delete;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) noexcept final;
  ULONG AddRef() noexcept final;
  ULONG Release() noexcept final;

 protected:
  ShellItemObject() noexcept = default;
  virtual ~ShellItemObject() = default;

 private:
  std::atomic<ULONG> m_nReferences{1};
};

// The argument checks of SHCreateItemFromParsingName: E_POINTER for a null
// `ppv`; else `*ppv` is set to null, and E_INVALIDARG for a null or empty
// path or a non-null `pbc`. S_OK when the request may go on.
HRESULT CheckShellItemRequest(LPCWSTR pszPath, IBindCtx* pbc, void** ppv) noexcept;

// Stores the new `pItem` in `*ppv` as the interface `riid` and gives back the
// creation's own reference, so that `*ppv` holds the caller's one; with
// another `riid` the item is gone, `*ppv` is null and E_NOINTERFACE returned.
HRESULT HandOutShellItem(ShellItemObject* pItem, REFIID riid, void** ppv) noexcept;

}  // namespace kxu::platform
