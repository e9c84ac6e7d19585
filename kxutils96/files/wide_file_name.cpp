#include <kxutils96/files/wide_file_name.h>

#include <string_view>

#include <kxutils96/platform/win32/unicode.h>

namespace kxu::files {

WideFileName::WideFileName(const char* lpcszFile) : m_stack{} {
  if (lpcszFile == nullptr) return;
  using kxu::platform::InvalidInput;
  const std::string_view file(lpcszFile);
  const std::size_t nUnits =
      kxu::platform::Utf8ToUtf16(file, nullptr, 0, InvalidInput::kEscape).nUnits + 1;
  WCHAR* pBuffer = m_stack;
  if (nUnits > kStackUnits) {
    m_heap = std::make_unique<WCHAR[]>(nUnits);
    pBuffer = m_heap.get();
  }
  kxu::platform::Utf8ToUtf16(file, pBuffer, nUnits - 1, InvalidInput::kEscape);
  pBuffer[nUnits - 1] = 0;
  m_pName = pBuffer;
}

}  // namespace kxu::files
