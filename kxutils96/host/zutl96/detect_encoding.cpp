// Encoding detection of text files from their first bytes.
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include <kxutils96/host/zutl96/detect_encoding.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/text/byte_order_mark.h>
#include <kxutils96/platform/text/unicode.h>

using namespace kxu::zutl96;

namespace {

// Bytes looked at: enough to judge a text, small enough to stay cheap.
constexpr UINT kSampleBytes = UINT{64} * 1024;
constexpr std::size_t kLongestUtf8Sequence = 4;

using Bytes = std::span<const BYTE>;

// The encoding a byte-order mark names, or -1 when there is none.
int EncodingOfMark(Bytes bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  switch (kxu::platform::ByteOrderMarkOf(text).mark) {
    case kxu::platform::ByteOrderMark::kUtf8:
      return kEncodingUtf8;
    case kxu::platform::ByteOrderMark::kUtf16LE:
      return kEncodingUtf16LE;
    case kxu::platform::ByteOrderMark::kUtf16BE:
      return kEncodingUtf16BE;
    case kxu::platform::ByteOrderMark::kNone:
      break;
  }
  return -1;
}

// UTF-16 of either order when ASCII-heavy text shows zero high bytes in one
// position of the units and (almost) none in the other; -1 otherwise.
int Utf16ByZeroPattern(Bytes bytes) {
  const std::size_t nUnits = bytes.size() / 2;
  if (nUnits == 0) return -1;
  std::size_t nZeroEven = 0;
  std::size_t nZeroOdd = 0;
  for (std::size_t i = 0; i < nUnits; ++i) {
    nZeroEven += bytes[2 * i] == 0 ? 1 : 0;
    nZeroOdd += bytes[2 * i + 1] == 0 ? 1 : 0;
  }
  // "Almost none": fewer than one in sixteen of the zeros in the other position.
  constexpr std::size_t kStrayZeroRatio = 16;
  if (2 * nZeroOdd >= nUnits && kStrayZeroRatio * nZeroEven < nZeroOdd) return kEncodingUtf16LE;
  if (2 * nZeroEven >= nUnits && kStrayZeroRatio * nZeroOdd < nZeroEven) return kEncodingUtf16BE;
  return -1;
}

// The sample without a UTF-8 sequence that the sample's end cut short.
Bytes WithoutCutSequence(Bytes bytes) {
  const std::size_t nSize = bytes.size();
  for (std::size_t k = 1; k < kLongestUtf8Sequence && k <= nSize; ++k) {
    const BYTE b = bytes[nSize - k];
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    if (b < 0xC0) break;               // ASCII: nothing was cut
    const std::size_t nNeeded = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    return nNeeded > k ? bytes.first(nSize - k) : bytes;
  }
  return bytes;
}

int EncodingOfText(Bytes bytes, bool bComplete) {
  const Bytes whole = bComplete ? bytes : WithoutCutSequence(bytes);
  const std::string_view text(reinterpret_cast<const char*>(whole.data()), whole.size());
  return kxu::platform::IsValidUtf8(text) ? kEncodingUtf8 : kEncodingCodePage;
}

}  // namespace

namespace kxu::zutl96 {

int DetectEncodingOfOpenFile(CFile& file, int nFlags) {
  std::vector<BYTE> sample(kSampleBytes);
  UINT nRead = 0;
  if (!kxu::platform::DeletingFrameworkExceptions([&] {
        file.Seek(0, CFile::begin);
        nRead = file.Read(sample.data(), kSampleBytes);
        file.Seek(0, CFile::begin);
      }))
    return kEncodingUtf8;
  const Bytes bytes(sample.data(), nRead);
  if (const int marked = EncodingOfMark(bytes); marked >= 0) return marked;
  if ((nFlags & kDetectUtf16WithoutMark) != 0) {
    if (const int utf16 = Utf16ByZeroPattern(bytes); utf16 >= 0) return utf16;
  }
  return EncodingOfText(bytes, nRead < kSampleBytes);
}

}  // namespace kxu::zutl96

int KESUTIL_DetectEncodingFile(const char* lpcszFile, int /*nReserved*/, int nFlags) {
  if (lpcszFile == nullptr) return kEncodingUtf8;
  const std::basic_string<WCHAR> name =
      kxu::platform::Utf8ToUtf16(lpcszFile, kxu::platform::InvalidInput::kEscape);
  CFile file;
  if (!file.Open(name.c_str(), CFile::modeRead | CFile::shareDenyWrite)) return kEncodingUtf8;
  return kxu::zutl96::DetectEncodingOfOpenFile(file, nFlags);
}
