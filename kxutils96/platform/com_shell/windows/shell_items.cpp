// Shell items of the system's own shell: SHCreateItemFromParsingName makes
// the system's item, and the library's IShellItem2 around it hands each
// property read to it with the same key, returning the system's answer
// unchanged. The wrapper is what lets callers use the library's interface
// types (and calling convention) while the system's item does the work.
#include <kxutils96/platform/com_shell/shell_items.h>

#include <new>
#include <type_traits>

#include <kxutils96/platform/com_shell/shell_item_object.h>
#include <kxutils96/platform/com_shell/windows/shell_system.h>

namespace windows = kxu::platform::windows;

static_assert(sizeof(PROPERTYKEY) == 20 && std::is_standard_layout_v<PROPERTYKEY>,
              "PROPERTYKEY is laid out as the system's");

namespace {

// Runs `read` into `*pOut` after the out-pointer check; `*pOut` is zero (or
// null) unless the read succeeds, whatever the system left there.
template <class Value, class Read>
HRESULT ReadInto(Value* pOut, Read read) noexcept {
  if (pOut == nullptr) return E_POINTER;
  *pOut = Value{};
  const HRESULT hr = read(pOut);
  if (FAILED(hr)) *pOut = Value{};
  return hr;
}

// Holds one reference to the system's item and gives it back when the last
// reference to this object goes.
class SystemShellItem final : public kxu::platform::ShellItemObject {
 public:
  explicit SystemShellItem(void* pSystemItem) noexcept : m_pSystemItem(pSystemItem) {}

  HRESULT GetString(REFPROPERTYKEY key, LPWSTR* ppsz) noexcept override {
    return ReadInto(
        ppsz, [&](LPWSTR* pOut) { return windows::GetShellItemString(m_pSystemItem, &key, pOut); });
  }

  HRESULT GetUInt32(REFPROPERTYKEY key, ULONG* pui) noexcept override {
    return ReadInto(
        pui, [&](ULONG* pOut) { return windows::GetShellItemUInt32(m_pSystemItem, &key, pOut); });
  }

  HRESULT GetBool(REFPROPERTYKEY key, BOOL* pf) noexcept override {
    return ReadInto(
        pf, [&](BOOL* pOut) { return windows::GetShellItemBool(m_pSystemItem, &key, pOut); });
  }

  HRESULT GetFileTime(REFPROPERTYKEY key, FILETIME* pft) noexcept override {
    return ReadInto(pft, [&](FILETIME* pOut) {
      return windows::GetShellItemFileTime(m_pSystemItem, &key, &pOut->dwLowDateTime,
                                           &pOut->dwHighDateTime);
    });
  }

 private:
  ~SystemShellItem() override { windows::ReleaseShellItem(m_pSystemItem); }

  void* m_pSystemItem;
};

}  // namespace

HRESULT SHCreateItemFromParsingName(LPCWSTR pszPath, IBindCtx* pbc, REFIID riid,
                                    void** ppv) noexcept {
  const HRESULT hrRequest = kxu::platform::CheckShellItemRequest(pszPath, pbc, ppv);
  if (FAILED(hrRequest)) return hrRequest;
  void* pSystemItem = nullptr;
  const HRESULT hr = windows::CreateShellItem(pszPath, &pSystemItem);
  if (FAILED(hr)) return hr;
  auto* pItem = new (std::nothrow) SystemShellItem(pSystemItem);
  if (pItem == nullptr) {
    windows::ReleaseShellItem(pSystemItem);
    return E_OUTOFMEMORY;
  }
  return kxu::platform::HandOutShellItem(pItem, riid, ppv);
}
