// The host's code page and the in-place conversion of code-page text to UTF-8.
#include <kxutils96/host/zutl96/zutl96.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include <kxutils96/platform/win_nls.h>

extern "C" {
KXU_API int g_nCodePage = -1;
}

namespace {

// Text converts a chunk of about this many bytes at a time, through a UTF-16
// buffer of one chunk, so that long texts need no UTF-16 copy of their own.
constexpr std::ptrdiff_t kChunkBytes = 1 << 16;
// Bytes below this value stand for a character of their own in every page
// served (no lead or trail byte of a double-byte code, no part of a UTF-8
// sequence), so a chunk may end after one.
constexpr unsigned char kFirstCodeByte = 0x40;

bool EndsCharacter(char byte) noexcept {
  return static_cast<unsigned char>(byte) < kFirstCodeByte;
}

// The end of the chunk that starts at `p`: after the last byte within
// kChunkBytes that ends a character, else after the first one past that,
// else `end`.
const char* ChunkEnd(const char* p, const char* end) noexcept {
  if (end - p <= kChunkBytes) return end;
  for (const char* q = p + kChunkBytes; q != p; --q) {
    if (EndsCharacter(q[-1])) return q;
  }
  for (const char* q = p + kChunkBytes; q != end; ++q) {
    if (EndsCharacter(*q)) return q + 1;
  }
  return end;
}

// The length of the NUL-terminated text in `pBuffer`, at most `nSize` - 1.
int TextLength(const char* pBuffer, int nSize) noexcept {
  const void* pNul = std::memchr(pBuffer, '\0', static_cast<std::size_t>(nSize));
  return pNul == nullptr ? nSize - 1 : static_cast<int>(static_cast<const char*>(pNul) - pBuffer);
}

// True when `nNeeded` bytes fit in the record's buffer, growing it through
// the record's growth routine when they do not.
bool MakeRoom(MbcsConversion& record, int nNeeded) {
  if (record.nBufferSize >= nNeeded) return true;
  if (record.pfnGrow == nullptr || record.pfnGrow(&record, nNeeded) == 0) return false;
  return record.pBuffer != nullptr && record.nBufferSize >= nNeeded;
}

// The most UTF-8 bytes one source byte gives in any page served: a byte
// (or half a double-byte code, or an invalid UTF-8 byte) gives at most one
// UTF-16 unit of the basic plane, which takes at most three bytes.
constexpr std::size_t kMaxUtf8BytesPerByte = 3;

// Converts chunks of code-page text to UTF-8 through the system conversions
// and a UTF-16 buffer that holds one chunk.
class ChunkConverter {
 public:
  explicit ChunkConverter(UINT nPage) : m_nPage(nPage) {}

  // Writes the UTF-8 form of the `nBytes` bytes at `p` to `out`, which has
  // room for kMaxUtf8BytesPerByte bytes per source byte; returns the bytes
  // written, 0 when the chunk does not convert.
  int Convert(const char* p, int nBytes, char* out) {
    // A byte gives at most one UTF-16 unit (a four-byte UTF-8 sequence two).
    if (m_wide.size() < static_cast<std::size_t>(nBytes)) {
      m_wide.resize(static_cast<std::size_t>(nBytes));
    }
    const int nUnits = MultiByteToWideChar(m_nPage, 0, p, nBytes, m_wide.data(), nBytes);
    if (nUnits == 0) return 0;
    const std::size_t nRoom = std::min<std::size_t>(kMaxUtf8BytesPerByte * nBytes, INT_MAX);
    return WideCharToMultiByte(CP_UTF8, 0, m_wide.data(), nUnits, out, static_cast<int>(nRoom),
                               nullptr, nullptr);
  }

 private:
  UINT m_nPage;
  std::vector<WCHAR> m_wide;
};

}  // namespace

int utlChooseCodePage(int nCodePage) {
  if (nCodePage >= 0) return nCodePage;
  if (g_nCodePage >= 0) return g_nCodePage;
  return static_cast<int>(GetACP());
}

int utlMBCStoUTF8InPlace(MbcsConversion* pRecord, int nCodePage) {
  if (pRecord == nullptr || pRecord->pBuffer == nullptr || pRecord->nBufferSize <= 0) return 0;
  const int nLength = TextLength(pRecord->pBuffer, pRecord->nBufferSize);
  if (nLength == 0) return 0;
  UINT nPage = static_cast<UINT>(utlChooseCodePage(nCodePage));
  if (nPage == CP_ACP) nPage = GetACP();
  if (!IsValidCodePage(nPage)) return 0;
  // Well-formed UTF-8 read as UTF-8 is already its own result.
  if (nPage == CP_UTF8 && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pRecord->pBuffer,
                                              nLength, nullptr, 0) != 0) {
    return nLength;
  }

  // The UTF-8 text is built beside the source, a chunk at a time, then
  // copied into the buffer, grown to its size.
  ChunkConverter converter(nPage);
  const std::unique_ptr<char[]> utf8(
      new char[kMaxUtf8BytesPerByte * static_cast<std::size_t>(nLength)]);
  std::size_t nConverted = 0;
  const char* const pEnd = pRecord->pBuffer + nLength;
  for (const char* p = pRecord->pBuffer; p != pEnd;) {
    const auto nChunkBytes = static_cast<int>(ChunkEnd(p, pEnd) - p);
    const int nUtf8Bytes = converter.Convert(p, nChunkBytes, utf8.get() + nConverted);
    if (nUtf8Bytes == 0) return 0;
    nConverted += static_cast<std::size_t>(nUtf8Bytes);
    p += nChunkBytes;
  }
  if (nConverted >= INT_MAX) return 0;
  const auto nBytes = static_cast<int>(nConverted);
  if (!MakeRoom(*pRecord, nBytes + 1)) return 0;
  std::memcpy(pRecord->pBuffer, utf8.get(), nConverted);
  pRecord->pBuffer[nBytes] = '\0';
  return nBytes;
}

POSITION utlNextStrPos(POSITION pos) {
  if (pos == nullptr) return nullptr;
  const char* pszCurrent = reinterpret_cast<const char*>(pos);
  const char* pszNext = pszCurrent + std::strlen(pszCurrent) + 1;
  return *pszNext == '\0' ? nullptr : reinterpret_cast<POSITION>(const_cast<char*>(pszNext));
}
