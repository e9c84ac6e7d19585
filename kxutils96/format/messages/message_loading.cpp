// The message exports over the host's two message modules.
#include <kxutils96/format/messages/message_loading.h>

#include <array>
#include <atomic>
#include <cstdarg>
#include <initializer_list>
#include <span>
#include <string_view>

#include <kxutils96/format/messages/detail/supplied_format.h>
#include <kxutils96/format/messages/ordered_format.h>
#include <kxutils96/host/zutl96/message_store.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_message_box.h>
#include <kxutils96/platform/framework/afx_module_state.h>
#include <kxutils96/platform/framework/afx_string.h>
#include <kxutils96/platform/win32/path_parts.h>
#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/platform/win32/win_resource.h>
#include <kxutils96/strings/wide_conversion.h>

using namespace kxu::format;

namespace {

constexpr const char* kErrorStoreName = "zErrMsg";
constexpr const char* kRuntimeStoreName = "ZKSmsg96";
// What follows a message module's name in its file name: a module with
// string tables where the system's modules carry them, else a message store.
constexpr const char* kModuleExtension = ".dll";
constexpr const char* kStoreExtension = ".kxmsg";

constexpr int kErrorTextBufferSize = 4096;
constexpr int kRuntimeTextBufferSize = 1024;
constexpr DWORD kModuleFileNameSize = 520;

// Asks the caller's language of the stores: no language.
constexpr int kNoLanguage = -1;

constexpr int kFirstWarningId = 10000;
constexpr int kLastWarningId = 14999;
constexpr int kFirstErrorId = 15000;
constexpr int kLastErrorId = 19999;

// The error store, loaded at the first call that needs it. Once a load has
// failed it is never tried again in this process. Threads that load it at
// once may each load a copy, and each copy holds the same messages; the
// handle is published with release order, so a thread that reads it also
// sees the store it names.
std::atomic<HMODULE> g_hErrorStore{nullptr};
std::atomic<bool> g_bErrorStoreFailed{false};

// Where a prefix install puts the message stores, relative to the folder of
// its programs ("../share/kxutils96/" from PREFIX/bin/): the build says it.
constexpr const char* kInstalledStoreFolder = KXU_STORES_FROM_PROGRAMS;

// Loads the message module `lpcszName` that lies beside the program whose
// framework state is current (the host's program for the host's calls) into
// `*phModule` (null on failure); returns whether it loaded. Where modules
// carry string tables that is NAME.dll, loaded with LoadLibraryW; elsewhere
// the message store NAME.kxmsg stands in for it, beside the program or else
// where a prefix install puts it.
bool LoadMessageModule(HMODULE* phModule, const char* lpcszName) {
  std::array<WCHAR, kModuleFileNameSize> programPath{};
  GetModuleFileNameW(AfxGetModuleState()->m_hCurrentInstanceHandle, programPath.data(),
                     kModuleFileNameSize);
  CStringUTF8 strPath;
  kxu::strings::ConvertWideToUTF8(strPath, programPath.data(), CP_UTF8, -1);
  const std::string_view folder =
      kxu::platform::FolderPart(std::string_view(strPath, strPath.GetLength()));
  const CStringUTF8 strFolder(folder.data(), kxu::platform::CheckedInt(folder.size()));
  const bool bModules = kxu::platform::ModulesCarryStringTables();
  const auto load = [&](const char* lpcszPlace) {
    const CStringUTF8 strFile =
        strFolder + lpcszPlace + lpcszName + (bModules ? kModuleExtension : kStoreExtension);
    CString strWidePath;
    kxu::strings::ConvertToWide(strWidePath, strFile, CP_UTF8, -1);
    *phModule = bModules ? LoadLibraryW(strWidePath) : utlLoadMessageStore(strWidePath);
    return *phModule != nullptr;
  };
  return load("") || (!bModules && load(kInstalledStoreFolder));
}

// The error store's handle, loading it at the first call; null when it
// cannot be loaded now or could not be at an earlier call.
HMODULE ErrorStore() {
  if (g_bErrorStoreFailed.load(std::memory_order_relaxed)) return nullptr;
  HMODULE hStore = g_hErrorStore.load(std::memory_order_acquire);
  if (hStore != nullptr) return hStore;
  const bool bLoaded = LoadMessageModule(&hStore, kErrorStoreName);
  g_bErrorStoreFailed.store(!bLoaded, std::memory_order_relaxed);
  if (bLoaded) g_hErrorStore.store(hStore, std::memory_order_release);
  return hStore;
}

const char* HeadingPrefix(int nID) {
  if (nID >= kFirstWarningId && nID <= kLastWarningId) return "WARN";
  if (nID >= kFirstErrorId && nID <= kLastErrorId) return "ERR";
  return nullptr;
}

int LanguageIdOf(int nLang) {
  return nLang >= 1 ? utlLanguageToLangId(nLang) & 0xFFFF : 0;
}

// The values of kxu_load_msg_str that fit the text `strText` by the first
// rule that applies; false when no rule does, and `bCopyAsIs` set when the
// text is to be copied as it is.
struct Filling {
  std::array<SuppliedValue, 2> values;
  std::size_t nValues = 0;
  bool bCopyAsIs = false;
};

bool ChooseFilling(const CStringUTF8& strText, const char* lpcsz1, const int* pnValue,
                   const char* lpcsz2, Filling& filling) {
  const int nFirstD = strText.Find("%d");
  const int nFirstS = strText.Find("%s");
  const bool bHasD = nFirstD >= 0;
  const bool bHasS = nFirstS >= 0;
  const bool bTwoS = bHasS && strText.Find("%s", nFirstS + 2) >= 0;
  const auto use = [&filling](std::initializer_list<SuppliedValue> values) {
    for (const SuppliedValue& value : values) filling.values[filling.nValues++] = value;
    return true;
  };
  if (bTwoS && !bHasD && lpcsz1 != nullptr && lpcsz2 != nullptr && pnValue == nullptr)
    return use({SuppliedValue::Text(lpcsz1), SuppliedValue::Text(lpcsz2)});
  if (bHasD && bHasS && pnValue != nullptr && lpcsz1 != nullptr) {
    if (nFirstD < nFirstS) return use({SuppliedValue::Int(*pnValue), SuppliedValue::Text(lpcsz1)});
    return use({SuppliedValue::Text(lpcsz1), SuppliedValue::Int(*pnValue)});
  }
  if (bHasD && pnValue != nullptr && lpcsz1 == nullptr) return use({SuppliedValue::Int(*pnValue)});
  if (bHasS && lpcsz1 != nullptr && pnValue == nullptr) return use({SuppliedValue::Text(lpcsz1)});
  if (!bHasD && !bHasS) {
    filling.bCopyAsIs = true;
    return true;
  }
  return false;
}

}  // namespace

int kxu_err_msg_heading(int nID, CStringUTF8* pstrMsg) {
  const char* pszPrefix = HeadingPrefix(nID);
  if (pszPrefix == nullptr) return 0;
  if (pstrMsg != nullptr) pstrMsg->Format("%s%07d", pszPrefix, nID);
  return 1;
}

int kxu_load_err_msg_str(int nID, CStringUTF8* pstrMsg, int nLang) {
  const HMODULE hStore = ErrorStore();
  if (hStore == nullptr) return 0;
  if (pstrMsg == nullptr) return 1;
  std::array<char, kErrorTextBufferSize> text;
  if (utlLoadModuleString(hStore, nID, text.data(), kErrorTextBufferSize, LanguageIdOf(nLang), 0,
                          0) == 0) {
    return 0;
  }
  CStringUTF8 strHeading;
  if (kxu_err_msg_heading(nID, &strHeading) != 0) {
    pstrMsg->Format("%s: %s", static_cast<const char*>(strHeading), text.data());
  } else {
    *pstrMsg = text.data();
  }
  return 1;
}

int kxu_load_msg_str(int nID, CStringUTF8* pstrMsg, const char* lpcsz1, int* pnValue,
                     const char* lpcsz2, int nLang) {
  CStringUTF8 strText;
  if (kxu_load_err_msg_str(nID, &strText, nLang) == 0) return 0;
  if (pstrMsg == nullptr) return 1;
  Filling filling;
  if (!ChooseFilling(strText, lpcsz1, pnValue, lpcsz2, filling)) return 0;
  if (filling.bCopyAsIs) {
    *pstrMsg = strText;
  } else {
    kxu::format::FormatSupplied(*pstrMsg, strText,
                                std::span(filling.values.data(), filling.nValues));
  }
  return 1;
}

int kxu_load_msg_str_ex(int nID, CStringUTF8* pstrMsg, int nLang, ...) {
  CStringUTF8 strText;
  if (kxu_load_err_msg_str(nID, &strText, nLang) == 0 || pstrMsg == nullptr) return 0;
  va_list args;
  va_start(args, nLang);
  int nResult = 1;
  try {
    if (strText.Find("}%", 1) >= 1) {
      nResult = kxuStringOrderedFormat(*pstrMsg, strText, args);
    } else {
      pstrMsg->FormatV(strText, args);
    }
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
  return nResult;
}

int kxu_load_runtime_err(int nID, CStringUTF8* pstrMsg) {
  if (pstrMsg == nullptr) return 0;
  HMODULE hStore = nullptr;
  if (!LoadMessageModule(&hStore, kRuntimeStoreName)) return 0;
  char* pBuffer = pstrMsg->GetBuffer(kRuntimeTextBufferSize);
  const int nResult = utlLoadModuleString(hStore, nID, pBuffer, kRuntimeTextBufferSize, 0, 0, 0);
  pstrMsg->ReleaseBuffer(-1);
  return nResult;
}

int kxu_err_msgbox(int nID, unsigned int nType, const char* lpcsz1, int* pnValue,
                   const char* lpcsz2) {
  CStringUTF8 strText;
  if (lpcsz1 == nullptr && pnValue == nullptr && lpcsz2 == nullptr) {
    kxu_load_err_msg_str(nID, &strText, kNoLanguage);
  } else {
    kxu_load_msg_str(nID, &strText, lpcsz1, pnValue, lpcsz2, kNoLanguage);
  }
  CString strWide;
  kxu::strings::ConvertToWide(strWide, strText, CP_UTF8, -1);
  return AfxMessageBox(strWide, nType, 0);
}

int kxuCheckMessageStore(const char* lpcszFile, KxuStoreProblemReport pfnReport, void* pContext) {
  if (lpcszFile == nullptr) return -1;
  CString strWidePath;
  kxu::strings::ConvertToWide(strWidePath, lpcszFile, CP_UTF8, -1);
  return utlCheckMessageStore(strWidePath, pfnReport, pContext);
}

int kxuMakeMessageModuleRc(const char* lpcszStore, const char* lpcszRc) {
  if (lpcszStore == nullptr || lpcszRc == nullptr) return -1;
  CString strWideStore;
  CString strWideRc;
  kxu::strings::ConvertToWide(strWideStore, lpcszStore, CP_UTF8, -1);
  kxu::strings::ConvertToWide(strWideRc, lpcszRc, CP_UTF8, -1);
  return utlWriteMessageModuleRc(strWideStore, strWideRc);
}
