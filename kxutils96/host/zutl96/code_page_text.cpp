// The host's code page and the in-place conversion of code-page text to UTF-8.
#include <kxutils96/host/zutl96/code_page_text.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/simd.h>
#include <kxutils96/platform/text/single_byte_page.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

using namespace kxu::platform;
using namespace kxu::zutl96;

// The host's page, in the plain int layout the host writes; the library
// reads it only through std::atomic_ref (utlChooseCodePage).
extern "C" {
KXU_API int g_nCodePage = -1;
}

namespace {

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

// A text converted beside its source. The buffers are left uninitialised:
// the conversions write every unit that counts.
template <class Unit>
struct ConvertedText {
  std::unique_ptr<Unit[]> pUnits;
  int nUnits = 0;  // 0 when the text did not convert
};

// The UTF-16 form of the `nBytes` bytes at `p` in `nPage`.
ConvertedText<WCHAR> Utf16Of(const char* p, int nBytes, UINT nPage) {
  ConvertedText<WCHAR> wide;
  wide.nUnits = kxu::platform::MultiByteToWideWhole(nPage, 0, p, nBytes, 0, [&wide](int nRoom) {
    wide.pUnits.reset(new WCHAR[static_cast<std::size_t>(nRoom)]);
    return wide.pUnits.get();
  });
  return wide;
}

// The UTF-8 form of the `nBytes` bytes at `p` in `nPage`. The text converts
// whole: a cut anywhere could split a character of a page whose codes hold
// bytes of every value (GB18030's four-byte codes) or carry a state (UTF-7,
// ISO-2022).
ConvertedText<char> Utf8Of(const char* p, int nBytes, UINT nPage) {
  const ConvertedText<WCHAR> wide = Utf16Of(p, nBytes, nPage);
  if (wide.nUnits == 0) return {};
  const std::size_t nRoom =
      kxu::platform::kMaxUtf8BytesPerUnit * static_cast<std::size_t>(wide.nUnits);
  ConvertedText<char> utf8{std::unique_ptr<char[]>(new char[nRoom])};
  utf8.nUnits = WideCharToMultiByte(CP_UTF8, 0, wide.pUnits.get(), wide.nUnits, utf8.pUnits.get(),
                                    static_cast<int>(std::min<std::size_t>(nRoom, INT_MAX)),
                                    nullptr, nullptr);
  return utf8;
}

// Rewrites, going back, the byte before `iEnd` as its UTF-8 form ending at
// `iOut`, and moves both back. The whole entry is stored when its spare
// bytes land on output still to be written, not on input still to be read.
void RewriteByteBack(const SingleBytePage& page, unsigned char* p, int& iEnd, int& iOut) noexcept {
  constexpr int kEntry = SingleBytePage::kEntryBytes;
  const unsigned char byte = p[--iEnd];
  const int nBytes = page.nUtf8Bytes[byte];
  if (iOut - kEntry >= iEnd) {
    std::memcpy(p + iOut - kEntry, page.utf8[byte], kEntry);
  } else {
    std::memcpy(p + iOut - nBytes, page.utf8[byte] + kEntry - nBytes,
                static_cast<std::size_t>(nBytes));
  }
  iOut -= nBytes;
}

// Rewrites the `nLength` bytes at `p` in the single-byte `page` as their
// `nUtf8` bytes of UTF-8 in place (room for them and a NUL at `p`). It goes
// from the end back: a byte's UTF-8 is never shorter than the byte, so what
// is written never reaches a byte not yet read. ASCII blocks move whole; once
// the output meets the input, the rest is ASCII already in place.
void RewriteAsUtf8(const SingleBytePage& page, unsigned char* p, int nLength, int nUtf8) noexcept {
  namespace simd = kxu::platform::simd;
  constexpr int kBlock = static_cast<int>(simd::kBlockBytes);
  p[nUtf8] = '\0';
  int iEnd = nLength;  // bytes [0, iEnd) not yet rewritten
  int iOut = nUtf8;    // output [iOut, nUtf8) written
  while (iOut > iEnd && iEnd >= kBlock) {
    const simd::Block block = simd::LoadBlock(p + iEnd - kBlock);
    if (simd::HighBitMask(block) == 0) {
      simd::StoreBlock(p + iOut - kBlock, block);
      iEnd -= kBlock;
      iOut -= kBlock;
      continue;
    }
    for (int n = 0; n < kBlock; ++n) RewriteByteBack(page, p, iEnd, iOut);
  }
  while (iOut > iEnd) RewriteByteBack(page, p, iEnd, iOut);
}

// The single-byte conversion of the record's text of `nLength` bytes: the
// UTF-8 length first, then the room (grown once, for the exact size, when
// the buffer is short), then the text rewritten in place.
int ConvertSingleByteInPlace(MbcsConversion& record, int nLength, const SingleBytePage& page) {
  const std::size_t nUtf8 = kxu::zutl96::Utf8LengthIn(
      page, std::string_view(record.pBuffer, static_cast<std::size_t>(nLength)));
  if (!kxu::platform::FitsInt(nUtf8 + 1)) return 0;
  const int nResult = static_cast<int>(nUtf8);
  if (!MakeRoom(record, nResult + 1)) return 0;
  RewriteAsUtf8(page, reinterpret_cast<unsigned char*>(record.pBuffer), nLength, nResult);
  return nResult;
}

}  // namespace

int utlChooseCodePage(int nCodePage) {
  if (nCodePage >= 0) return nCodePage;
  // The host writes its page from any thread, as one aligned int: it is read
  // once, atomically, so the choice rests on one value of it.
  const int nHostPage = std::atomic_ref<int>(g_nCodePage).load(std::memory_order_relaxed);
  if (nHostPage >= 0) return nHostPage;
  return static_cast<int>(GetACP());
}

namespace kxu::zutl96 {

UINT ConversionPageOf(int nCodePage) {
  const UINT nPage = static_cast<UINT>(utlChooseCodePage(nCodePage));
  return nPage == CP_ACP ? GetACP() : nPage;
}

// ASCII goes a block at a time.
std::size_t Utf8LengthIn(const SingleBytePage& page, std::string_view text) noexcept {
  namespace simd = kxu::platform::simd;
  const auto* const p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t nUtf8 = text.size();
  std::size_t i = 0;
  for (; text.size() - i >= simd::kBlockBytes; i += simd::kBlockBytes) {
    for (simd::Mask high = simd::HighBitMask(simd::LoadBlock(p + i)); high != 0; high &= high - 1) {
      nUtf8 += page.nUtf8Bytes[p[i + std::countr_zero(high)]] - 1u;
    }
  }
  for (; i < text.size(); ++i) nUtf8 += page.nUtf8Bytes[p[i]] - 1u;
  return nUtf8;
}

// Blocks whose characters are all below U+0800 go to the SIMD kernel; a
// block it refuses goes in steps, each an ASCII run and one other byte. Each
// step stores a whole block and a whole entry, which may reach 20 bytes past
// the output so far: steps go while the room holds that, and the rest byte
// by byte, each byte's own bytes only.
std::optional<std::size_t> WriteUtf8Ahead(const SingleBytePage& page, std::string_view text,
                                          char* pOut, std::size_t nRoom) noexcept {
  namespace simd = kxu::platform::simd;
  constexpr std::size_t kEntry = SingleBytePage::kEntryBytes;
  constexpr std::size_t kStepReach = simd::kBlockBytes + kEntry;
  const auto* const pIn = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0;
  std::size_t nOut = 0;
  for (;;) {
    const simd::EncodedRun run =
        simd::EncodePageBelowU0800(page, pIn + i, text.size() - i, pOut + nOut, nRoom - nOut);
    i += run.nUnits;
    nOut += run.nBytes;
    const std::size_t iRefusedEnd = i + simd::kBlockBytes;
    while (i < iRefusedEnd && text.size() - i >= simd::kBlockBytes && nRoom - nOut >= kStepReach) {
      const simd::Block block = simd::LoadBlock(pIn + i);
      const simd::Mask high = simd::HighBitMask(block);
      simd::StoreBlock(pOut + nOut, block);
      if (high == 0) {
        i += simd::kBlockBytes;
        nOut += simd::kBlockBytes;
        continue;
      }
      // The ASCII run before the first other byte, then that byte.
      const auto nRun = static_cast<std::size_t>(std::countr_zero(high));
      const unsigned char byte = pIn[i + nRun];
      std::memcpy(pOut + nOut + nRun, page.utf8Ahead[byte], kEntry);
      i += nRun + 1;
      nOut += nRun + page.nUtf8Bytes[byte];
    }
    if (i < iRefusedEnd) break;  // the text or the room left is short of a step
  }
  for (; i < text.size(); ++i) {
    const unsigned char byte = pIn[i];
    const std::size_t nBytes = page.nUtf8Bytes[byte];
    if (nRoom - nOut < nBytes) return std::nullopt;
    std::memcpy(pOut + nOut, page.utf8Ahead[byte], nBytes);
    nOut += nBytes;
  }
  return nOut;
}

}  // namespace kxu::zutl96

int utlMBCStoUTF8InPlace(MbcsConversion* pRecord, int nCodePage) {
  if (pRecord == nullptr || pRecord->pBuffer == nullptr || pRecord->nBufferSize <= 0) return 0;
  const int nLength = TextLength(pRecord->pBuffer, pRecord->nBufferSize);
  if (nLength == 0) return 0;
  const UINT nPage = kxu::zutl96::ConversionPageOf(nCodePage);
  if (!IsValidCodePage(nPage)) return 0;
  // Well-formed UTF-8 read as UTF-8 is already its own result.
  if (nPage == CP_UTF8 && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pRecord->pBuffer,
                                              nLength, nullptr, 0) != 0) {
    return nLength;
  }

  if (const SingleBytePage* pPage = kxu::platform::SingleBytePageOf(nPage)) {
    return ConvertSingleByteInPlace(*pRecord, nLength, *pPage);
  }
  // The UTF-8 text is built beside the source, then copied into the buffer,
  // grown to its size.
  const ConvertedText<char> utf8 = Utf8Of(pRecord->pBuffer, nLength, nPage);
  if (utf8.nUnits == 0 || !MakeRoom(*pRecord, utf8.nUnits + 1)) return 0;
  std::memcpy(pRecord->pBuffer, utf8.pUnits.get(), static_cast<std::size_t>(utf8.nUnits));
  pRecord->pBuffer[utf8.nUnits] = '\0';
  return utf8.nUnits;
}

POSITION utlNextStrPos(POSITION pos) {
  if (pos == nullptr) return nullptr;
  const char* pszCurrent = reinterpret_cast<const char*>(pos);
  const char* pszNext = pszCurrent + std::strlen(pszCurrent) + 1;
  return *pszNext == '\0' ? nullptr : reinterpret_cast<POSITION>(const_cast<char*>(pszNext));
}
