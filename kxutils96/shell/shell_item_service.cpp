#include <kxutils96/shell/shell_item_service.h>

#include <clocale>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

#include <kxutils96/platform/com_shell/com_base.h>
#include <kxutils96/platform/com_shell/shell_items.h>
#include <kxutils96/platform/crt/crt_locale.h>
#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/shell/shell_item.h>

namespace kxu::shell {
namespace {

// The converted path and its NUL must fit this many UTF-16 units.
constexpr std::size_t kPathUnits = 1024;
constexpr std::size_t kConversionFailed = static_cast<std::size_t>(-1);

// The keys of the property indexes, in index order.
constexpr const PROPERTYKEY* kPropertyKeys[] = {
    &PKEY_Title,   &PKEY_Media_SubTitle, &PKEY_Rating,
    &PKEY_Comment, &PKEY_DateCreated,    &PKEY_DateModified,
};

// A pointer argument of the export, carried in a pointer-sized integer.
template <class T>
T* PointerOf(INT_PTR nArg) noexcept {
  return reinterpret_cast<T*>(nArg);  // NOLINT(performance-no-int-to-ptr): how the caller passes it
}

// The key of property index `nProperty`, or null when it is not 0 to 5.
const PROPERTYKEY* PropertyKeyOf(INT_PTR nProperty) noexcept {
  const bool bKnown = nProperty >= 0 && nProperty < static_cast<INT_PTR>(std::size(kPropertyKeys));
  return bKnown ? kPropertyKeys[nProperty] : nullptr;
}

// Converts the path, in the user's default code page, to UTF-16 in
// `wszPath`: under the user's default locale, after which the process's
// locale is set to "C". False when the path is null, does not convert, or
// does not fit with its NUL.
bool ConvertPath(const char* pszPath, WCHAR (&wszPath)[kPathUnits]) {
  if (pszPath == nullptr) return false;
  std::setlocale(LC_ALL, "");
  const std::size_t nUnits = mbstowcs(static_cast<WCHAR*>(nullptr), pszPath, 0);
  const bool bFits = nUnits != kConversionFailed && nUnits < kPathUnits;
  if (bFits) mbstowcs(wszPath, pszPath, nUnits + 1);
  std::setlocale(LC_ALL, "C");
  return bFits;
}

// Makes the shell item for `pszPath` through the shell module's entry point,
// found at run time, and stores both of its interfaces in `record`. False
// when any step fails; what `record` holds by then is the caller's to
// release.
bool MakeItem(const char* pszPath, CZShellItem& record) {
  WCHAR wszPath[kPathUnits];
  if (!ConvertPath(pszPath, wszPath)) return false;
  // The module is never freed; loading it again only finds it.
  const HMODULE hShell = LoadLibraryW(u"shell32.dll");
  if (hShell == nullptr) return false;
  const FARPROC proc = GetProcAddress(hShell, "SHCreateItemFromParsingName");
  if (proc == nullptr) return false;
  PFN_SHCreateItemFromParsingName pfnCreate = nullptr;
  static_assert(sizeof proc == sizeof pfnCreate);
  std::memcpy(&pfnCreate, &proc, sizeof proc);
  void* pvItem = nullptr;
  const HRESULT hr = pfnCreate(wszPath, nullptr, IID_IShellItem, &pvItem);
  record.item = static_cast<IShellItem*>(pvItem);
  if (FAILED(hr)) return false;
  void* pvItem2 = nullptr;
  const HRESULT hr2 = record.item->QueryInterface(IID_IShellItem2, &pvItem2);
  record.item2 = static_cast<IShellItem2*>(pvItem2);
  return SUCCEEDED(hr2);
}

// The export's result for a getter's `hr`, `nFailure` being the getter's own code.
int ResultOfRead(HRESULT hr, int nFailure) noexcept {
  if (hr == HRESULT_FROM_WIN32(ERROR_NOT_FOUND)) return kShellPropertyMissing;
  return FAILED(hr) ? nFailure : kShellItemDone;
}

// Reads the text of `key` into the caller's buffer with wcstombs under the
// current locale, at most `cbBuffer` bytes, a NUL only when there is room.
int ReadText(IShellItem2& item, REFPROPERTYKEY key, char* pBuffer, UINT cbBuffer) {
  if (pBuffer == nullptr) return kShellGetStringFailed;
  LPWSTR pszText = nullptr;
  const int nResult = ResultOfRead(item.GetString(key, &pszText), kShellGetStringFailed);
  // A text that has no form in the locale is cut short there; the read
  // still counts as done.
  if (nResult == kShellItemDone) wcstombs(pBuffer, pszText, cbBuffer);
  CoTaskMemFree(pszText);
  return nResult;
}

int ReadProperty(IShellItem2& item, int nOperation, REFPROPERTYKEY key, INT_PTR nOut,
                 UINT cbBuffer) {
  switch (nOperation) {
    case SHELLITEM_GET_BOOL:
      return ResultOfRead(item.GetBool(key, PointerOf<BOOL>(nOut)), kShellGetBoolFailed);
    case SHELLITEM_GET_FILETIME:
      return ResultOfRead(item.GetFileTime(key, PointerOf<FILETIME>(nOut)),
                          kShellGetFileTimeFailed);
    case SHELLITEM_GET_STRING:
      return ReadText(item, key, PointerOf<char>(nOut), cbBuffer);
    default:  // SHELLITEM_GET_UINT32
      return ResultOfRead(item.GetUInt32(key, PointerOf<ULONG>(nOut)), kShellGetUInt32Failed);
  }
}

}  // namespace

ShellItemService::~ShellItemService() {
  delete m_pTable;
}

int ShellItemService::Call(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5) {
  const std::lock_guard lock(m_mutex);
  return Serve(pnId, nOperation, nArg3, nArg4, nArg5);
}

int ShellItemService::Serve(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5) {
  if (nOperation == SHELLITEM_CREATE) return Create(pnId, PointerOf<const char>(nArg3));
  CZShellItem* pRecord = (m_pTable != nullptr && pnId != nullptr) ? m_pTable->Find(*pnId) : nullptr;
  if (pRecord == nullptr) return kShellNoSuchItem;
  if (nOperation == SHELLITEM_RELEASE) {
    m_pTable->Remove(*pnId);
    return kShellItemDone;
  }
  if (nOperation < SHELLITEM_GET_BOOL || nOperation > SHELLITEM_GET_UINT32)
    return kShellBadOperation;
  const PROPERTYKEY* pKey = PropertyKeyOf(nArg3);
  if (pKey == nullptr) return kShellBadProperty;
  return ReadProperty(*pRecord->item2, nOperation, *pKey, nArg4, nArg5);
}

int ShellItemService::Create(int* pnId, const char* pszPath) {
  if (pnId == nullptr) return kShellItemNotMade;
  if (m_pTable == nullptr) {
    std::unique_ptr<ShellItemTable> pTable(new (std::nothrow) ShellItemTable);
    if (pTable == nullptr) return kShellTableNotAllocated;
    // S_FALSE (already initialised on this thread) counts as success.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
      return kShellComNotInitialised;
    m_pTable = pTable.release();
  }
  std::unique_ptr<CZShellItem> pRecord(new (std::nothrow) CZShellItem);
  if (pRecord == nullptr) return kShellRecordNotAllocated;
  if (!MakeItem(pszPath, *pRecord)) return kShellItemNotMade;
  *pnId = m_pTable->Insert(std::move(pRecord));
  return kShellItemDone;
}

}  // namespace kxu::shell
