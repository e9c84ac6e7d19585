// Message stores in memory: loaded once per path, never unloaded, found
// again by handle for each lookup; other handles are read as modules with
// string tables.
#include <kxutils96/host/zutl96/message_store.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <kxutils96/host/zutl96/detail/message_store_parser.h>
#include <kxutils96/host/zutl96/detail/string_table.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/text/unicode.h>

using namespace kxu::zutl96;

namespace {

constexpr ULONGLONG kMaxStoreBytes = 64ULL << 20;

// A loaded store. Stores form a list that only grows; a handle is the
// address of its node, and a lookup accepts a handle only when it finds it
// in the list, so a stray module handle reads nothing.
struct LoadedStore {
  std::string path;
  MessageStoreIndex index;
  LoadedStore* pNext = nullptr;
};

std::atomic<LoadedStore*> g_pFirstStore{nullptr};

LoadedStore* StoreOf(HMODULE hModule) {
  for (LoadedStore* pStore = g_pFirstStore.load(std::memory_order_acquire); pStore != nullptr;
       pStore = pStore->pNext) {
    if (reinterpret_cast<HMODULE>(pStore) == hModule) return pStore;
  }
  return nullptr;
}

LoadedStore* StoreLoadedFrom(const std::string& path) {
  for (LoadedStore* pStore = g_pFirstStore.load(std::memory_order_acquire); pStore != nullptr;
       pStore = pStore->pNext) {
    if (pStore->path == path) return pStore;
  }
  return nullptr;
}

// Adds `pStore` at the head of the list. Two threads loading the same path
// at once may both add a store; each gets a valid handle, and later loads
// find one of them.
void Publish(LoadedStore* pStore) {
  pStore->pNext = g_pFirstStore.load(std::memory_order_relaxed);
  while (!g_pFirstStore.compare_exchange_weak(pStore->pNext, pStore, std::memory_order_release,
                                              std::memory_order_relaxed)) {
  }
}

// The bytes of the file, or false when it cannot be read whole or is too large.
bool ReadStoreFile(LPCWSTR lpszFileName, std::string& content) {
  CFile file;
  if (!file.Open(lpszFileName, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary))
    return false;
  bool bWhole = false;
  kxu::platform::DeletingFrameworkExceptions([&] {
    const ULONGLONG nLength = file.GetLength();
    if (nLength > kMaxStoreBytes) return;
    content.resize(static_cast<std::size_t>(nLength));
    const UINT nRead = content.empty() ? 0 : file.Read(content.data(), static_cast<UINT>(nLength));
    file.Close();
    bWhole = nRead == nLength;
  });
  return bWhole;
}

// Copies `text` into `pBuffer` of `nBufferSize` (at least 2) bytes, cut
// after the last whole UTF-8 character that fits; returns the bytes copied.
int CopyCut(std::string_view text, char* pBuffer, int nBufferSize) {
  std::size_t nCopy = std::min(text.size(), static_cast<std::size_t>(nBufferSize) - 1);
  if (nCopy < text.size()) {
    // Step back over continuation bytes to the start of the cut character.
    while (nCopy > 0 && (static_cast<unsigned char>(text[nCopy]) & 0xC0) == 0x80) --nCopy;
  }
  std::memcpy(pBuffer, text.data(), nCopy);
  pBuffer[nCopy] = '\0';
  return static_cast<int>(nCopy);
}

}  // namespace

HMODULE utlLoadMessageStore(LPCWSTR lpszFileName) {
  if (lpszFileName == nullptr || *lpszFileName == 0) return nullptr;
  const std::string path = kxu::platform::Utf16ToUtf8(std::basic_string_view<WCHAR>(lpszFileName));
  if (LoadedStore* pLoaded = StoreLoadedFrom(path)) return reinterpret_cast<HMODULE>(pLoaded);
  std::string content;
  if (!ReadStoreFile(lpszFileName, content)) return nullptr;
  auto pStore = std::make_unique<LoadedStore>();
  if (!kxu::zutl96::ParseMessageStore(content, pStore->index, nullptr)) return nullptr;
  pStore->path = path;
  LoadedStore* pPublished = pStore.release();  // stores live until the process ends
  Publish(pPublished);
  return reinterpret_cast<HMODULE>(pPublished);
}

int utlLoadModuleString(HMODULE hModule, int nID, char* pBuffer, int nBufferSize, int nLangId,
                        int /*nReserved1*/, int /*nReserved2*/) {
  if (pBuffer == nullptr || nBufferSize < 2) return 0;
  const LoadedStore* pStore = StoreOf(hModule);
  if (pStore == nullptr) {
    std::string text;
    if (!kxu::zutl96::LoadStringTableText(hModule, nID, nLangId, text)) return 0;
    return CopyCut(text, pBuffer, nBufferSize);
  }
  const StoredMessage* pMessage = pStore->index.Find(nID, nLangId);
  if (pMessage == nullptr) return 0;
  return CopyCut(std::string_view(pStore->index.texts).substr(pMessage->nOffset, pMessage->nLength),
                 pBuffer, nBufferSize);
}

int utlWriteMessageModuleRc(LPCWSTR lpszStore, LPCWSTR lpszRc) {
  std::string content;
  if (lpszStore == nullptr || lpszRc == nullptr || !ReadStoreFile(lpszStore, content)) return -1;
  std::string rc;
  if (!kxu::zutl96::MessageStoreRc(content, rc)) return 0;
  CFile file;
  if (!file.Open(lpszRc, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) return -1;
  const bool bWritten = kxu::platform::DeletingFrameworkExceptions([&] {
    file.Write(rc.data(), static_cast<UINT>(rc.size()));
    file.Close();
  });
  return bWritten ? 1 : -1;
}

int utlCheckMessageStore(LPCWSTR lpszFileName, MessageStoreReport pfnReport, void* pContext) {
  std::string content;
  if (lpszFileName == nullptr || !ReadStoreFile(lpszFileName, content)) return -1;
  MessageStoreIndex index;
  StoreProblems problems;
  kxu::zutl96::ParseMessageStore(content, index, &problems);
  if (pfnReport == nullptr) return problems.Count();
  for (const StoreProblem& problem : problems.Listed())
    pfnReport(pContext, problem.nLine, problem.nKind, problem.text.c_str());
  const int nLeftOut = problems.Count() - static_cast<int>(problems.Listed().size());
  if (nLeftOut > 0) {
    const std::string text = std::to_string(nLeftOut) + " more problems are not listed";
    pfnReport(pContext, 0, problems.ErrorLeftOut() ? kStoreError : kStoreWarning, text.c_str());
  }
  return problems.Count();
}
