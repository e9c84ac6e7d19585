#include <kxutils96/files/wide_file_name.h>

#include <string_view>

#include <kxutils96/platform/text/unicode.h>

namespace kxu::files {

WideFileName::WideFileName(const char* lpcszFile) : m_stack{} {
  if (lpcszFile == nullptr) return;
  using namespace kxu::platform;
  const std::string_view file(lpcszFile);
  const std::size_t nRoom = kxu::platform::Utf16UnitsBound(file.size());
  WCHAR* pBuffer = m_stack;
  if (nRoom >= kStackUnits) {
    m_heap = std::make_unique_for_overwrite<WCHAR[]>(nRoom + 1);
    pBuffer = m_heap.get();
  }
  pBuffer[kxu::platform::Utf8ToUtf16(file, pBuffer, nRoom, InvalidInput::kEscape).nUnits] = 0;
  m_pName = pBuffer;
}

}  // namespace kxu::files
