#include <kxutils96/files/wide_file_name.h>

#include <kxutils96/platform/win_nls.h>

namespace kxu::files {

WideFileName::WideFileName(const char* lpcszFile) : m_stack{} {
  if (lpcszFile == nullptr) return;
  const int nUnits = MultiByteToWideChar(CP_UTF8, 0, lpcszFile, -1, nullptr, 0);
  WCHAR* pBuffer = m_stack;
  if (nUnits > kStackUnits) {
    m_heap = std::make_unique<WCHAR[]>(static_cast<std::size_t>(nUnits));
    pBuffer = m_heap.get();
  }
  MultiByteToWideChar(CP_UTF8, 0, lpcszFile, -1, pBuffer, nUnits);
  m_pName = pBuffer;
}

}  // namespace kxu::files
